#!/usr/bin/env bash
# The real program on Xvfb with openbox (no notification area, so the main window shows at the end of its load),
# started on a store of COUNT messages: KIND "start" (shown at every start) or "late" (one-time, due yesterday).
# Prints when the main window was shown and when the last note window was mapped, in seconds after launch, and
# the notes on screen.
# Usage: startup_notes.sh TAVANOTE MKSTORE [COUNT] [KIND]
set -u
program=$1
mkstore=$2
count=${3:-100}
kind=${4:-start}
source "$(dirname "$0")/../tests/desktop/xserver.sh"
desktop_test_init
start_x_server sqlite3
prepare bench
store="$dir/program/messages.fdm"
if [ "$kind" = start ]; then code=9; when=$(date '+%d/%m/%Y %H:%M'); else code=0; when=$(date -d yesterday '+%d/%m/%Y %H:%M'); fi
{
    echo "BEGIN;"
    for i in $(seq "$count"); do
        echo "INSERT INTO message (titre, message, datemessage, heuremessage, etat, periodicite, prochainaffichage,
            dernieraffichage) VALUES ('Note $i', 'Texte', '${when% *}', '${when#* }', 'actif', '$code', '$when', '');"
    done
    echo "COMMIT;"
} | sqlite3 "$store"
notes() { xdotool search --onlyvisible --name '^Note [0-9]+$' 2>/dev/null | wc -l; }
start=$(date +%s.%N)
start
since() { awk -v n="$(date +%s.%N)" -v s="$start" 'BEGIN {printf "%.2f", n - s}'; }
main="" last="" seen=0 steady=0
for _ in $(seq 6000); do
    [ -z "$main" ] && xdotool search --onlyvisible --name '^Gestion des messages$' >/dev/null 2>&1 && main=$(since)
    n=$(notes)
    if [ "$n" -gt "$seen" ]; then seen=$n last=$(since) steady=0; else steady=$((steady + 1)); fi
    [ -n "$main" ] && [ "$steady" -ge 50 ] && break
    [ "$kind" = start ] && [ "$seen" -ge "$count" ] && [ -n "$main" ] && break
    sleep 0.05
done
echo "$count $kind messages: main window shown at ${main:-never} s, $seen notes, the last mapped at ${last:-never} s"
