#!/usr/bin/env bash
# The built program on a real X server with a one-time message due yesterday: its note opens at start, and only
# closing it (Esc, then the boxes) deletes the message.
# Usage: late_note.sh TAVANOTE MKSTORE
set -u
program=$1
mkstore=$2
source "$(dirname "$0")/xserver.sh"
desktop_test_init
start_x_server sqlite3

mkdir -p "$work/program" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/program/tavanote"
store="$work/program/messages.fdm"
"$mkstore" "$store" >/dev/null || fail "cannot make messages.fdm"
day=$(date -d yesterday +%d/%m/%Y)
sqlite3 "$store" "INSERT INTO message (titre, message, datemessage, heuremessage, etat, periodicite, prochainaffichage,
    dernieraffichage) VALUES ('Dentiste hier', 'Rendez-vous', '$day', '10:00', 'actif', '0', '$day 10:00', '')" ||
    fail "cannot insert the message"
state() { sqlite3 "$store" "SELECT etat || ' ' || prochainaffichage FROM message WHERE titre = 'Dentiste hier'"; }

HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
    "$work/program/tavanote" >"$work/log" 2>&1 &
copy=$!
pids+=($copy)

wait_for 120 visible "Dentiste hier" || fail "the note of yesterday's message did not open"
[ "$(state)" = "affiche $day 10:00" ] || fail "the row is '$(state)', not displayed"
note=$(visible "Dentiste hier" | head -n 1)
to_window "$note" key Escape
# The question "Êtes-vous sûr(e)..." (asked by default), then the box saying the message is deleted: Return on each.
rows() { sqlite3 "$store" "SELECT count(*) FROM message"; }
for _ in 1 2 3; do
    wait_for 60 visible "Tavanote" || break
    to_window "$(visible Tavanote | head -n 1)" key Return
    wait_for 30 bash -c "[ \"\$(sqlite3 '$store' 'SELECT count(*) FROM message')\" = 0 ]" && break
done
[ "$(rows)" = 0 ] || fail "the message was not deleted on close: '$(state)'"
kill -0 "$copy" 2>/dev/null || fail "the program ended by itself"
echo "desktop late note test: all checks passed"
