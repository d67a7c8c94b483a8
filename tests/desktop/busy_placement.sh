#!/usr/bin/env bash
# Notes placed at each fixed position (0 to 8) while both cores are busy and the window manager answers late (it is
# stopped until every note is on its way): a note framed after it was placed moves so that its whole frame lies at
# its place.
# Usage: busy_placement.sh TAVANOTE MKSTORE
set -u
program=$1
mkstore=$2
source "$(dirname "$0")/xserver.sh"
desktop_test_init
start_x_server xprop sqlite3
read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}')
for _ in 1 2; do
    bash -c 'while :; do :; done' &
    pids+=($!)
done

# The frame of the shown window captioned $1: left top right bottom, the window manager's frame included.
frame_of() {
    local id x y w h l r t b
    id=$(xdotool search --onlyvisible --name "^$1\$" | head -n 1) && [ -n "$id" ] || return 1
    read -r l r t b < <(xprop -id "$id" _NET_FRAME_EXTENTS | grep '=' | sed 's/.*= //; s/,//g') && [ -n "$b" ] || return 1
    read -r x y w h < <(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
    echo $((x - l)) $((y - t)) $((x + w + r)) $((y + h + b))
}
# Within a pixel (centring rounds halves either way).
near() { [ $(($1 - $2)) -ge -1 ] && [ $(($1 - $2)) -le 1 ]; }
placed() {  # placed CODE: the note of that code at its corner, edge or centre, wholly on screen
    local code=$1 left top right bottom
    read -r left top right bottom < <(frame_of "place $code") && [ -n "$bottom" ] || return 1
    [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ "$right" -le "$screen_w" ] && [ "$bottom" -le "$screen_h" ] || return 1
    case $((code % 3)) in
        0) [ "$left" -eq 0 ] ;;
        1) near $((left + right)) "$screen_w" ;;
        2) [ "$right" -eq "$screen_w" ] ;;
    esac || return 1
    case $((code / 3)) in
        0) [ "$top" -eq 0 ] ;;
        1) near $((top + bottom)) "$screen_h" ;;
        2) [ "$bottom" -eq "$screen_h" ] ;;
    esac
}

now=$(date '+%d/%m/%Y %H:%M')
kill -STOP "${pids[1]}"  # openbox
for code in 0 1 2 3 4 5 6 7 8; do
    dir="$work/$code"
    mkdir -p "$dir/program" "$dir/home/.config/Tavanote" "$dir/runtime"
    chmod 700 "$dir/runtime"
    cp "$program" "$dir/program/tavanote"
    "$mkstore" "$dir/program/messages.fdm" >/dev/null || fail "cannot make messages.fdm"
    printf '[parametres]\ndemarrage%%20pc=0\nposition=%s\n' "$code" >"$dir/home/.config/Tavanote/Tavanote.ini"
    sqlite3 "$dir/program/messages.fdm" "INSERT INTO message (titre, message, datemessage, heuremessage, etat,
        periodicite, prochainaffichage, dernieraffichage) VALUES ('place $code', 'Texte', '', '', 'actif', '9', '$now', '')"
    HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_RUNTIME_DIR="$dir/runtime" \
        "$dir/program/tavanote" >"$dir/log" 2>&1 &
    pids+=($!)
done
for code in 0 1 2 3 4 5 6 7 8; do
    wait_for 600 xdotool search --name "^place $code\$" || { kill -CONT "${pids[1]}"; fail "no note of position $code"; }
done
kill -CONT "${pids[1]}"
for code in 0 1 2 3 4 5 6 7 8; do
    wait_for 600 placed "$code" || fail "the note of position $code is framed at '$(frame_of "place $code")'"
done
echo "busy placement test: all checks passed"
