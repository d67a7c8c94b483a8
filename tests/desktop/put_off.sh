#!/usr/bin/env bash
# A note put off by its clock button (mouse) and by its context menu (Shift+F10, keys), coming back at its minute
# after the program was killed and started again, and at start when its time passed; its close then steps the
# daily message from the display it stands for.
# Usage: put_off.sh TAVANOTE MKSTORE
set -u
program=$1
mkstore=$2
source "$(dirname "$0")/xserver.sh"
desktop_test_init
start_x_server sqlite3
prepare put-off
db="$dir/program/messages.fdm"
shown=$(date -d '10 minutes ago' '+%d/%m/%Y %H:%M')
sql() { sqlite3 -cmd ".timeout 3000" "$db" "$@"; }
sql "INSERT INTO message (titre, message, etat, periodicite, prochainaffichage, dernieraffichage)
     VALUES ('Dentiste', 'Appeler le dentiste', 'actif', '2', '$shown', '31/12/2099 00:00')"
note() { local id; id=$(visible Dentiste | head -n 1); [ -n "$id" ] && echo "$id"; }
windows() { xdotool search --onlyvisible --pid "$copy" 2>/dev/null | sort; }
# The menu that opened after the windows listed in $1: its id.
menu_after() { local id; id=$(comm -13 <(echo "$1") <(windows) | head -n 1); [ -n "$id" ] && echo "$id"; }
epoch() { date -d "$(echo "$1" | sed -E 's#(..)/(..)/(....)#\3-\2-\1#') ${2:-}" +%s; }  # epoch "dd/mm/yyyy hh:mm" [1 day]
put_off_row() { sql "SELECT retour || '|' || depuis FROM rappel"; }
delay() { IFS='|' read -r r d <<<"$(put_off_row)"; echo $((($(epoch "$r") - $(epoch "$d")) / 60)); }

start
wait_for 300 note || fail "the late note did not open"
id=$(note) && before=$(windows)
eval "$(xdotool getwindowgeometry --shell "$id")"
# The clock button: left of [-], both 32 pixels wide in the bottom row.
xdotool mousemove --window "$id" $((WIDTH - 4 - 32 - 6 - 16)) $((HEIGHT - 14)) click 1
wait_for 100 menu_after "$before" || fail "the clock button opened no menu"
# On a busy machine the menu may still be growing to its size when found: click once its geometry holds.
menu=$(menu_after "$before")
settled() { local a; a=$(xdotool getwindowgeometry "$menu"); sleep 0.3; [ "$a" = "$(xdotool getwindowgeometry "$menu")" ]; }
wait_for 100 settled || fail "the menu did not settle"
eval "$(xdotool getwindowgeometry --shell "$menu")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * 7 / 10)) click 1  # the 4th of 5: "Rappeler dans 1 heure"
wait_for 100 bash -c "[ -z \"\$(xdotool search --onlyvisible --name '^Dentiste\$')\" ]" || fail "the note stayed"
wait_for 50 put_off_row || fail "no put-off row"
[ "$(delay)" = 60 ] || fail "put off by $(delay) minutes, not 60"
[ "$(sql "SELECT etat FROM message")" = affiche ] || fail "the message left the displayed list"

# Killed, then started again: it comes back at its minute, showing the display it stands for.
kill -9 "$copy" && wait "$copy" 2>/dev/null
back=$(date -d '+2 minutes' '+%d/%m/%Y %H:%M')
sql "UPDATE rappel SET retour = '$back'"
start
wait_for 300 visible "Gestion des messages" || fail "the program did not start again"
[ -z "$(note)" ] || [ "$(date +%s)" -ge "$(epoch "$back")" ] || fail "the note came back before its time"
wait_for 2000 note || fail "the put-off note did not come back"
[ -z "$(put_off_row)" ] || fail "the put-off row stayed after the note came back"
[ "$(sql "SELECT etat || ' ' || prochainaffichage FROM message")" = "affiche $shown" ] || fail "row changed"

# By the keyboard: Shift+F10, the first entry.
before=$(windows)
to_window "$(note)" key shift+F10
wait_for 100 menu_after "$before" || fail "Shift+F10 opened no menu"
xdotool key Down Return
wait_for 50 put_off_row || fail "the context menu put nothing off"
[ "$(delay)" = 5 ] || fail "put off by $(delay) minutes, not 5"

# Its time passed while the program was not running: a late note at start, whose close steps the daily message
# from the display it stands for, not from now.
kill "$copy" && wait "$copy" 2>/dev/null
sql "UPDATE rappel SET retour = '$(date -d '1 minute ago' '+%d/%m/%Y %H:%M')'"
start
wait_for 300 note || fail "the put-off note did not open at start"
to_window "$(note)" key Escape
next=$(date -d "@$(epoch "$shown" "1 day")" '+%d/%m/%Y %H:%M')
for _ in 1 2 3; do
    wait_for 50 visible Tavanote || break
    to_window "$(visible Tavanote | head -n 1)" key Return
    wait_for 20 bash -c "[ \"\$(sqlite3 '$db' 'SELECT etat FROM message')\" = actif ]" && break
done
[ "$(sql "SELECT etat || ' ' || prochainaffichage FROM message")" = "actif $next" ] || fail "closed: $(sql 'SELECT * FROM message')"
echo "desktop put-off test: all checks passed"
