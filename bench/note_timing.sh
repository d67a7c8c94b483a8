#!/usr/bin/env bash
# How late notes open and how often the idle program wakes, the real program on Xvfb with openbox and trayer (the
# main window hidden in the notification area). One note is open (a message shown at every start); over one idle
# minute the voluntary context switches of all the program's threads are counted (its wake-ups); then COUNT
# one-time messages fall due at the following minutes, and each note's delay after the start of its minute is
# printed (when its window is mapped, found by polling every few milliseconds).
# Usage: note_timing.sh TAVANOTE MKSTORE [COUNT]
set -u
program=$1
mkstore=$2
count=${3:-3}
source "$(dirname "$0")/../tests/desktop/xserver.sh"
desktop_test_init
start_x_server trayer sqlite3
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
pids+=($!)
prepare bench
store="$dir/program/messages.fdm"
insert() {  # insert TITLE CODE WHEN
    sqlite3 "$store" "INSERT INTO message (titre, message, datemessage, heuremessage, etat, periodicite,
        prochainaffichage, dernieraffichage) VALUES ('$1', 'Texte', '${3% *}', '${3#* }', 'actif', '$2', '$3', '')"
}
insert Idle 9 "$(date '+%d/%m/%Y %H:%M')"
# The first due minute leaves room for start-up and one idle minute.
first=$(( ($(date +%s) + 75) / 60 * 60 + 60 ))
for i in $(seq "$count"); do
    insert "Due $i" 0 "$(date -d "@$((first + (i - 1) * 60))" '+%d/%m/%Y %H:%M')"
done
start
wait_for 300 visible Idle || fail "the start-up note did not open"
sleep 3  # the icon docked, the main window hidden
switches() { cat /proc/$copy/task/*/status | awk '/^voluntary_ctxt_switches/ {n += $2} END {print n}'; }
s0=$(switches)
sleep 60
s1=$(switches)
echo "idle minute, one note open, main window hidden: $((s1 - s0)) voluntary context switches"
for i in $(seq "$count"); do
    due=$((first + (i - 1) * 60))
    while [ "$(date +%s)" -lt $((due - 1)) ]; do sleep 0.2; done
    until xdotool search --onlyvisible --name "^Due $i\$" >/dev/null 2>&1; do
        [ "$(date +%s)" -gt $((due + 30)) ] && { echo "Due $i: not open 30 s after its minute"; continue 2; }
    done
    now=$(date +%s.%N)
    echo "Due $i: mapped $(awk -v n="$now" -v d="$due" 'BEGIN {printf "%.3f", n - d}') s after its minute"
done
