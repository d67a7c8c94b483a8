#!/usr/bin/env bash
# Remakes the pictures of doc/screenshots/ from the real program on its own X server (Xvfb with openbox): a note on
# a desktop, the main window with its lists and legend, the message editor, the report preview and the import
# window, over a store of sample messages made here. The build folder's own messages.fdm and the user's settings
# are never touched: the program runs from a scratch program folder with a scratch home.
# Usage: scripts/screenshots.sh [BUILD_DIR]      (after `make build`; BUILD_DIR is build/ by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
out=$PWD/doc/screenshots
for tool in Xvfb openbox trayer xdotool xwd import sqlite3; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup.sh installs it)"; exit 1; }
done
[ -x "$build/tavanote" ] && [ -x "$build/tavanote_mkstore" ] || { echo "build first: make build"; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "screenshots: $*" >&2; exit 1; }
# Runs a command until it succeeds, for at most $1 tenths of a second.
wait_for() {
    local tries=$1
    shift
    for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}
window() { xdotool search --onlyvisible --name "$1" | head -n 1; }
# Waits for a window whose title matches the pattern and prints its id.
wait_window() {
    wait_for 600 window "$1" || fail "no window \"$1\""
    window "$1"
}
keys() {  # window, then xdotool keys: the window takes the focus first
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    wait_for 50 bash -c "[ \"\$(xdotool getactivewindow)\" = $1 ]" || true
    shift
    xdotool "$@"
}
# The part of the screen a window covers with its frame: WIDTHxHEIGHT+X+Y.
frame_of() {
    local x y width height left right top bottom
    read -r x y width height < <(xwininfo -id "$1" |
        awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2}
             END {print x, y, w, h}')
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | tr -d , | awk '{print $3, $4, $5, $6}')
    echo "$((width + ${left:-0} + ${right:-0}))x$((height + ${top:-0} + ${bottom:-0}))+$((x - ${left:-0}))+$((y - ${top:-0}))"
}
# Saves the part $2 of the screen (WIDTHxHEIGHT+X+Y) as doc/screenshots/$1 once two captures a moment apart are
# alike: every window has finished drawing. Taken from the screen as a user sees it, what lies on top included.
shot() {
    local previous="" current
    for _ in $(seq 100); do
        current=$(xwd -silent -root | md5sum)
        [ "$current" = "$previous" ] && break
        previous=$current
        sleep 0.3
    done
    import -window root -crop "$2" +repage -strip "$out/$1"
    echo "doc/screenshots/$1"
}

# A program folder and a home of our own, a French clock, and the sample messages.
program=$work/program
mkdir -p "$program" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$build/tavanote" "$build/aide.qch" "$program/"
"$build/tavanote_mkstore" "$program/messages.fdm"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/runtime TZ=Europe/Paris LC_ALL=C.UTF-8
unset QT_QPA_PLATFORM WAYLAND_DISPLAY SESSION_MANAGER
day() { date -d "$1" +%d/%m/%Y; }
add() {  # titre, message, date, heure, etat, periodicite, fin
    local q=("${@//\'/\'\'}")
    sqlite3 "$program/messages.fdm" "INSERT INTO message (titre, message, datemessage, heuremessage, etat,
        periodicite, prochainaffichage, dernieraffichage) VALUES ('${q[0]}', '${q[1]}', '${q[2]}', '${q[3]}',
        '${q[4]}', '${q[5]}', '${q[2]} ${q[3]}', '$([ -n "${q[6]}" ] && echo "${q[6]} ${q[3]}")')"
}
add "Arroser les plantes" "Les plantes du salon et le ficus du bureau." "" "" actif 9 ""
add "Dentiste" "Rendez-vous chez le Dr Martin, 12 rue des Lilas." "$(day '+3 days')" 10:30 actif 0 ""
add "Réunion d'équipe" "Salle B, préparer le point d'avancement." "$(day 'next monday')" 09:00 actif 3 "$(day '+1 year')"
add "Anniversaire de Julie" "Penser au cadeau et à appeler." "$(day '+12 days')" 08:00 actif 8 "$(day '+10 years')"
add "Payer le loyer" "Virement au propriétaire." "$(day '+20 days')" 09:00 actif 4 "$(day '+1 year')"
add "Sortir les poubelles" "Bac jaune le mardi." "$(day 'next tuesday')" 19:00 actif 3 "$(day '+6 months')"
add "Vidange voiture" "Garage du centre, avant les vacances." "$(day '-40 days')" 14:00 errone 0 ""
add "Prendre le médicament" "Un comprimé au déjeuner." "$(day 'today')" 12:30 affiche 2 "$(day '+1 month')"
mkdir -p "$HOME/Documents"
csv=$HOME/Documents/rendez-vous.csv
printf 'Cours de piano;Mercredi, apporter les partitions;%s;17:00;actif;3;%s 17:00\n' "$(day '+2 days')" \
    "$(day '+6 months')" >"$csv"
printf 'Contrôle technique;Centre auto, se munir de la carte grise;%s;08:30;actif;0;\n' "$(day '+30 days')" >>"$csv"
printf 'Appeler maman;Pour son retour de voyage;%s;18:00;actif;0;\n' "$(day '+5 days')" >>"$csv"

# The X server, its window manager and a plain desktop background.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
wait_for 100 xprop -root _NET_SUPPORTING_WM_CHECK || fail "openbox did not start"
display -window root -size 1280x800 gradient:'#46708f-#a9c2d6' >/dev/null 2>&1 || true

# 1. A note on a desktop: with a notification area the program stays in it, and the message shown at every start
#    opens as a note.
trayer --edge bottom --align right --widthtype request --height 28 >/dev/null 2>&1 &
tray=$!
pids+=($tray)
"$program/tavanote" >"$work/program.log" 2>&1 &
copy=$!
pids+=($copy)
note=$(wait_window "^Arroser les plantes\$")
# The note with some of the desktop around it, and the notification area when it is near.
IFS='x+' read -r w h x y < <(frame_of "$note")
left=$((x + w / 2 - 400)) top=$((y + h / 2 - 250))
left=$((left < 0 ? 0 : left > 480 ? 480 : left)) top=$((top < 0 ? 0 : top > 300 ? 300 : top))
shot note.png "800x500+$left+$top"
kill "$copy" "$tray"
wait "$copy" "$tray" 2>/dev/null || true
# From now on the watering message is one of the displayed ones, and no note covers the main window.
sqlite3 "$program/messages.fdm" "UPDATE message SET periodicite = '2', datemessage = '$(day today)',
    heuremessage = '07:00', prochainaffichage = '$(day tomorrow) 07:00', dernieraffichage = '$(day '+1 year') 07:00'
    WHERE periodicite = '9'"

# 2. Without a notification area the main window stays on screen.
# Started from the home folder, where the import finds Documents/rendez-vous.csv.
(cd "$HOME" && exec "$program/tavanote") >>"$work/program.log" 2>&1 &
pids+=($!)
main=$(wait_window "^Gestion des messages\$")
shot main-window.png "$(frame_of "$main")"

# 3. The editor, with a message being written.
keys "$main" key ctrl+n
editor=$(wait_window "^Créer un nouveau message\$")
keys "$editor" type --delay 20 "Rendez-vous chez le notaire"
xdotool key Tab
xdotool type --delay 20 "Signature de l'acte, apporter une pièce d'identité."
shot editor.png "$(frame_of "$editor")"
keys "$editor" key Escape
wait_for 100 bash -c "[ -z \"\$(xdotool search --onlyvisible --name '^Créer un nouveau message\$')\" ]"

# 4. The report of the active messages.
keys "$main" key ctrl+a
report=$(wait_window "^Aperçu")
shot report-preview.png "$(frame_of "$report")"
keys "$report" key Escape

# 5. The import window with a file read into its grid.
keys "$main" key ctrl+o
import_window=$(wait_window "^Importation\$")
keys "$import_window" type --delay 5 "Documents/rendez-vous.csv"
xdotool key alt+v
wait_for 300 bash -c "[ \"\$(xwininfo -id $import_window | awk '/Height:/ {print \$2}')\" -gt 300 ]" ||
    fail "the import window did not show the file's rows"
shot import.png "$(frame_of "$import_window")"
