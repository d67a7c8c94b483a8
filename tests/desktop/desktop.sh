#!/usr/bin/env bash
# The built program on a real desktop (Xvfb and openbox), driven by real key and mouse events: where notes and
# windows land with their frames, the time picker's typing, the on-top button and titles
# shown as typed. Every case has its own program folder and home.
# Usage: desktop.sh TAVANOTE MKSTORE
set -u
program=$1
mkstore=$2
here=$(dirname "$0")
source "$here/xserver.sh"
desktop_test_init
failures=0
check() {  # check DESCRIPTION COMMAND...: a failed check is told and the suite goes on
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

start_x_server xprop sqlite3
read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}')

# A program folder with an empty store and a home: prepare NAME [KEY=VALUE...] writes the settings given.
prepare() {
    local name=$1
    shift
    dir="$work/$name"
    mkdir -p "$dir/program" "$dir/home/.config/Tavanote" "$dir/runtime"
    chmod 700 "$dir/runtime"
    cp "$program" "$dir/program/tavanote"
    "$mkstore" "$dir/program/messages.fdm" >/dev/null || fail "cannot make messages.fdm"
    {
        echo "[parametres]"
        echo "demarrage%20pc=0"
        echo "fin%20programme=0"
        for setting in "$@"; do echo "${setting// /%20}"; done
    } >"$dir/home/.config/Tavanote/Tavanote.ini"
}

# add_note TITLE TEXT: a message shown at every start.
add_note() {
    local now
    now=$(date '+%d/%m/%Y %H:%M')
    sqlite3 "$dir/program/messages.fdm" "INSERT INTO message (titre, message, datemessage, heuremessage, etat,
        periodicite, prochainaffichage, dernieraffichage) VALUES ('$1', '$2', '${now% *}', '${now#* }', 'actif', '9',
        '$now', '')"
}

# The rows of the store of $dir (title, date, time), and whether it holds any.
rows() {
    sqlite3 -cmd ".timeout 2000" "$dir/program/messages.fdm" "SELECT titre, datemessage, heuremessage FROM message"
}
saved() { [ -n "$(rows)" ]; }

# Starts the copy of the folder $dir; its pid in $copy.
start() {
    HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_RUNTIME_DIR="$dir/runtime" \
        "$dir/program/tavanote" >"$dir/log" 2>&1 &
    copy=$!
    pids+=($copy)
}

# The shown window of a copy whose caption is exactly $2.
window_of() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        [ "$(xdotool getwindowname "$id")" = "$2" ] && { echo "$id"; return 0; }
    done
    return 1
}
framed() {  # framed PID CAPTION: the window's id, when it is shown and framed
    local id
    id=$(window_of "$1" "$2") && xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '=' && echo "$id"
}
wait_window() {  # wait_window PID CAPTION: the window's id, once it is shown and framed
    local id until=$((SECONDS + 120))
    while [ "$SECONDS" -le "$until" ]; do
        id=$(framed "$1" "$2") && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# The frame of a window: left top width height, the window manager's frame included.
frame_of() {
    local x y w h l r t b
    read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}

# near A B: within a pixel (halves are rounded either way).
near() { [ $(($1 - $2)) -ge -1 ] && [ $(($1 - $2)) -le 1 ]; }

# Where a note of each placement lands: the frame wholly on screen, at the corner, edge or centre asked for.
placed_as() {  # placed_as CODE LEFT TOP WIDTH HEIGHT
    local code=$1 left=$2 top=$3 width=$4 height=$5 column row
    [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ $((left + width)) -le "$screen_w" ] &&
        [ $((top + height)) -le "$screen_h" ] || return 1
    [ -z "$code" ] && return 0
    column=$((code % 3))
    row=$((code / 3))
    case $column in
        0) [ "$left" -eq 0 ] ;;
        1) near $((2 * left + width)) "$screen_w" ;;
        2) [ $((left + width)) -eq "$screen_w" ] ;;
    esac || return 1
    case $row in
        0) [ "$top" -eq 0 ] ;;
        1) near $((2 * top + height)) "$screen_h" ;;
        2) [ $((top + height)) -eq "$screen_h" ] ;;
    esac
}

# settled ID CODE: the window's frame, once it lies where CODE places it (the window manager frames a window and
# Qt moves it to allow for the frame some time after it shows: a busy machine makes that time long).
settled() {
    wait_for 60 placed_now "$1" "$2"
    frame_of "$1"
}
placed_now() {
    local frame
    frame=$(frame_of "$1")
    # shellcheck disable=SC2086
    placed_as "$2" $frame
}

case_placement() {
    local code copies=() names=() id
    for code in 0 1 2 3 4 5 6 7 8 random; do
        if [ "$code" = random ]; then prepare "place-random" "couleur="; else prepare "place-$code" "position=$code"; fi
        add_note "place $code" "Placement $code"
        start
        copies+=($copy)
        names+=("$code")
    done
    for i in "${!copies[@]}"; do
        code=${names[$i]}
        id=$(wait_window "${copies[$i]}" "place $code") || { check "a note placed \"$code\" shows" false; continue; }
        [ "$code" = random ] && code=""
        read -r left top width height < <(settled "$id" "$code")
        check "a note placed \"${code:-random}\" lies at its place with its frame ($left,$top ${width}x$height)" \
            placed_as "$code" "$left" "$top" "$width" "$height"
    done
    # The main window and the settings window open in the middle of the screen, frame included.
    id=$(wait_window "${copies[4]}" "Gestion des messages") || fail "the main window did not show"
    read -r left top width height < <(settled "$id" 4)
    check "the main window is centred with its frame ($left,$top ${width}x$height)" placed_as 4 "$left" "$top" "$width" "$height"
    to_window "$id" key ctrl+p
    id=$(wait_window "${copies[4]}" "Paramètres") || { check "Ctrl+P opens the settings" false; return; }
    read -r left top width height < <(settled "$id" 4)
    check "the settings window is centred with its frame ($left,$top ${width}x$height)" placed_as 4 "$left" "$top" "$width" "$height"
    for copy in "${copies[@]}"; do kill "$copy"; done
}

# The time picker opens 2000 twips right of and 1700 below the editor's corner, both frames measured alike; typed
# keys reach its lists as a user's do: 7, a letter (refused), Tab, 5 and Enter write 07:05, which the saved row
# keeps (a title, a text and a date to come make the message one the editor accepts).
case_time_picker() {
    local main editor picker el et pl pt
    prepare picker
    start
    main=$(wait_window "$copy" "Gestion des messages") || fail "the main window did not show"
    to_window "$main" key ctrl+n
    editor=$(wait_window "$copy" "Créer un nouveau message") || fail "Ctrl+N did not open the editor"
    to_window "$editor" type "Reveil"
    xdotool key Tab type "Texte"
    xdotool key Tab type "31/12/2099"
    xdotool key Tab Tab Tab space
    picker=$(wait_window "$copy" "Heure") || { check "the time picker opens from the editor" false; return; }
    read -r el et _ _ < <(frame_of "$editor")
    read -r pl pt _ _ < <(frame_of "$picker")
    check "the time picker lies 133,113 pixels from the editor's frame ($((pl - el)),$((pt - et)))" \
        test $((pl - el)) -eq 133 -a $((pt - et)) -eq 113
    to_window "$picker" key 7 a Tab 5 Return
    wait_for 120 bash -c "! xwininfo -id $picker 2>/dev/null | grep -q IsViewable"
    to_window "$editor" key ctrl+e
    wait_for 120 saved
    check "7, a letter, Tab, 5 and Enter in the time picker write 07:05, saved with the message ($(rows))" \
        test "$(rows)" = "Reveil|31/12/2099|07:05"
    kill "$copy"
}

# [-] twice: the note dragged aside stays where it was dragged, with its size, and is on top again.
case_on_top() {
    local id left top width height x y w h moved
    prepare on-top "position=0"
    add_note "dessus" "Au premier plan"
    start
    id=$(wait_window "$copy" "dessus") || fail "the note did not show"
    read -r left top width height < <(frame_of "$id")
    # A drag by the title bar, as a user's hand does it; on a busy machine the window manager may miss a
    # quick one, so the hand tries again.
    for _ in 1 2 3; do
        xdotool mousemove $((left + 60)) $((top + 8)) sleep 0.2 mousedown 1 sleep 0.2 \
            mousemove $((left + 160)) $((top + 58)) sleep 0.2 mousemove $((left + 260)) $((top + 108)) sleep 0.2 \
            mouseup 1
        wait_for 30 bash -c "[ \"\$(xwininfo -id $id | awk '/Absolute upper-left X/ {print \$NF}')\" -gt $((left + 100)) ]" &&
            break
    done
    read -r left top width height < <(frame_of "$id")
    check "the note can be dragged aside ($left,$top)" test "$left" -gt 100
    read -r x y w h < <(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
    xdotool mousemove $((x + w - 20)) $((y + h - 12)) click 1
    wait_for 60 bash -c "! xprop -id $id _NET_WM_STATE | grep -q ABOVE"
    check "one click on [-] puts the note behind" bash -c "! xprop -id $id _NET_WM_STATE | grep -q ABOVE"
    check "and leaves it in place" test "$(frame_of "$id")" = "$left $top $width $height"
    xdotool click 1
    wait_for 60 bash -c "xprop -id $id _NET_WM_STATE | grep -q ABOVE"
    check "a second click puts it on top again" bash -c "xprop -id $id _NET_WM_STATE | grep -q ABOVE"
    moved=$(frame_of "$id")
    check "still where it was dragged, with its size ($moved)" test "$moved" = "$left $top $width $height"
    kill "$copy"
}

# A title holding markup and Qt's modified mark shows as typed, in the caption and in the closing box.
case_literal_title() {
    local id box
    prepare literal "confirmation fermeture=0" "suppression=1"
    add_note '<b>x</b> [*]' 'Texte'
    start
    id=$(wait_window "$copy" '<b>x</b> [*]')
    check "the caption shows <b>x</b> [*] as typed" test -n "$id"
    [ -n "$id" ] || { kill "$copy"; return; }
    to_window "$id" key Escape
    box=$(wait_window "$copy" "Tavanote")
    check "closing the note tells what became of it" test -n "$box"
    kill "$copy"
}

started=$(date +%s%N)
for name in ${DESKTOP_CASES:-placement time_picker on_top literal_title}; do "case_$name"; done
echo "desktop suite: $failures failed, $((($(date +%s%N) - started) / 1000000)) ms"
[ "$failures" -eq 0 ]
