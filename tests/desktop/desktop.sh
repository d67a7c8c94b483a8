#!/usr/bin/env bash
# The built program on a real desktop (Xvfb and openbox), driven by real key and mouse events: where notes and
# windows land with their frames, the time picker's typing, the on-top button, titles shown as typed, docking in a
# notification area, a note due while the program was closed, message files it must not use, and a kill -9
# during its start-up pass. Every case has its own program folder and home; DESKTOP_CASES chooses the cases.
# Usage: desktop.sh TAVANOTE MKSTORE
set -u
program=$1
mkstore=$2
source "$(dirname "$0")/xserver.sh"
desktop_test_init
failures=0
check() {  # check DESCRIPTION COMMAND...: a failed check is told and the suite goes on
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

start_x_server xprop sqlite3 md5sum
read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}')

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
wait_window() {  # wait_window PID CAPTION: the window's id, from the same look that found it shown and framed
    local until=$((SECONDS + 120))
    until framed "$1" "$2"; do
        [ "$SECONDS" -le "$until" ] || return 1
        sleep 0.1
    done
}

# The frame of a window: left top width height, the window manager's frame included.
frame_of() {
    local x y w h l r t b
    read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}

# aligned PART POSITION SIZE TOTAL: 0 at the start, 1 centred (within a pixel: halves are rounded either way),
# 2 at the end.
aligned() {
    case $1 in
        0) [ "$2" -eq 0 ] ;;
        1) [ $((2 * $2 + $3 - $4)) -ge -1 ] && [ $((2 * $2 + $3 - $4)) -le 1 ] ;;
        2) [ $(($2 + $3)) -eq "$4" ] ;;
    esac
}
# placed_as CODE LEFT TOP WIDTH HEIGHT: the frame wholly on screen, at the corner, edge or centre CODE asks for.
placed_as() {
    [ "$2" -ge 0 ] && [ "$3" -ge 0 ] && [ $(($2 + $4)) -le "$screen_w" ] && [ $(($3 + $5)) -le "$screen_h" ] &&
        { [ -z "$1" ] || { aligned $(($1 % 3)) "$2" "$4" "$screen_w" && aligned $(($1 / 3)) "$3" "$5" "$screen_h"; }; }
}
# settled ID CODE: the window's frame, once it lies where CODE places it (the window manager frames a window and
# Qt moves it to allow for the frame some time after it shows: a busy machine makes that time long).
placed_now() {
    # shellcheck disable=SC2046
    placed_as "$2" $(frame_of "$1")
}
settled() {
    wait_for 60 placed_now "$1" "$2"
    frame_of "$1"
}

# Stops the window manager, but never while it holds the X server (openbox grabs it while it sets a window up):
# every other client would wait for it. Once stopped it cannot take the server: an answer from it tells.
stop_window_manager() {
    for _ in $(seq 100); do
        kill -STOP "$wm"
        timeout 10 xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && return 0
        kill -CONT "$wm"
        wait_for 120 xprop -root _NET_SUPPORTING_WM_CHECK || fail "the X server does not answer"
    done
    fail "the window manager kept the X server"
}

# Both cores are kept busy and the window manager is stopped until every note exists, as at a login where the
# program starts with the desktop: a window framed after it was placed moves so that its whole frame lies at its place.
case_placement() {
    local code copies=() names=() id hogs=()
    for _ in 1 2; do
        bash -c 'while :; do :; done' &
        hogs+=($!)
        pids+=($!)
    done
    stop_window_manager
    for code in 0 1 2 3 4 5 6 7 8 random; do
        if [ "$code" = random ]; then prepare "place-random" "couleur="; else prepare "place-$code" "position=$code"; fi
        add_note "place $code" "Placement $code"
        start
        copies+=($copy)
        names+=("$code")
    done
    for code in "${names[@]}"; do
        wait_for 600 xdotool search --name "^place $code\$" || { kill -CONT "$wm"; fail "no note of position $code"; }
    done
    kill -CONT "$wm"
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
    # With the frame known, every note of a program lies at its place, not only the first.
    prepare place-8-twice "position=8"
    add_note "bottom 1" "Premier"
    add_note "bottom 2" "Second"
    start
    copies+=($copy)
    for name in "bottom 1" "bottom 2"; do
        id=$(wait_window "$copy" "$name") || { check "the note \"$name\" shows" false; continue; }
        read -r left top width height < <(settled "$id" 8)
        check "the note \"$name\" lies at the bottom right with its frame ($left,$top ${width}x$height)" \
            placed_as 8 "$left" "$top" "$width" "$height"
    done
    kill "${copies[@]}" "${hogs[@]}"
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

# With a notification area the icon docks there and the main window stays hidden.
case_tray() {
    command -v trayer >/dev/null || fail "trayer is missing (scripts/setup.sh installs it)"
    trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
    pids+=($!)
    wait_for 120 bash -c "xwininfo -root -tree | grep -q '(\"panel\" \"trayer\")'" || fail "trayer did not start"
    prepare tray
    start
    docked() {
        xwininfo -root -tree |
            awk '/"panel": \("panel" "trayer"\)/ {p=1; next} p && /\("tavanote" "Tavanote"\)/ {f=1} END {exit !f}'
    }
    check "the icon docks in the notification area" wait_for 120 docked
    check "the program stays resident, its main window hidden" \
        bash -c "kill -0 $copy && ! xdotool search --onlyvisible --name '^Gestion des messages$'"
    kill "$copy"
}

# A one-time message due yesterday: its note opens at start, and only closing it (Esc, then the question and the
# box that tells the message is deleted) deletes the message.
case_late_note() {
    local day note
    prepare late
    day=$(date -d yesterday +%d/%m/%Y)
    sqlite3 "$dir/program/messages.fdm" "INSERT INTO message (titre, message, datemessage, heuremessage, etat,
        periodicite, prochainaffichage, dernieraffichage) VALUES ('Dentiste hier', 'Rendez-vous', '$day', '10:00',
        'actif', '0', '$day 10:00', '')" || fail "cannot insert the message"
    start
    note=$(wait_window "$copy" "Dentiste hier") || fail "the note of yesterday's message did not open"
    check "the row is displayed while its note is open" \
        test "$(sqlite3 "$dir/program/messages.fdm" "SELECT etat || ' ' || prochainaffichage FROM message")" = \
        "affiche $day 10:00"
    to_window "$note" key Escape
    for _ in 1 2 3; do
        wait_for 60 visible "Tavanote" || break
        to_window "$(visible Tavanote | head -n 1)" key Return
        wait_for 30 bash -c "[ -z \"\$(sqlite3 '$dir/program/messages.fdm' 'SELECT 1 FROM message')\" ]" && break
    done
    check "closing the note deletes the message ($(rows))" test -z "$(rows)"
    check "the program stays resident" kill -0 "$copy"
    kill "$copy"
}

# A file that is no database, one protected by its mode and one locked by another program: each is told in a box
# (answered here), left byte for byte, nothing is left beside it, and the program ends with a non-zero status.
case_unusable_files() {
    local kind db before holder status until
    for kind in text read-only locked; do
        prepare "$kind"
        db="$dir/program/messages.fdm"
        case $kind in
            text) printf 'titre;message\nDentiste;Appeler\n' >"$db" ;;
            read-only) add_note "Passé" "Texte" && chmod 444 "$db" ;;
            locked)  # another program holds the file's lock until its input closes (waiting for the checks' own)
                mkfifo "$work/hold"
                sqlite3 -cmd ".timeout 60000" "$db" <"$work/hold" >/dev/null 2>&1 &
                holder=$!
                pids+=($holder)
                exec 4>"$work/hold"
                echo "BEGIN EXCLUSIVE;" >&4
                wait_for 120 bash -c "! sqlite3 '$db' 'BEGIN IMMEDIATE; ROLLBACK;'" || fail "the lock was not taken" ;;
        esac
        before=$(md5sum "$db")
        start
        until=$((SECONDS + 180))
        while kill -0 "$copy" 2>/dev/null && [ "$SECONDS" -le "$until" ]; do
            for window in $(visible Tavanote 2>/dev/null); do
                xdotool windowactivate --sync "$window" key Return 2>/dev/null
            done
            sleep 0.1
        done
        gone "$copy" || fail "$kind: the program did not end"
        wait "$copy"
        status=$?
        [ "$kind" = locked ] && exec 4>&-
        check "$kind: told, non-zero status ($status)" test "$status" -ne 0
        check "$kind: the message file is left as it was" test "$(md5sum "$db")" = "$before"
        check "$kind: nothing left beside it" test "$(ls -A "$dir/program")" = "$(printf 'messages.fdm\ntavanote')"
    done
}

# 100,000 daily messages overdue since 2020 (marked "errone", so that none opens late), the program killed during
# its start-up pass at a different moment each time: every row as it was or every row brought up to date.
case_killed_pass() {
    local db old now delay
    prepare killed
    db="$dir/program/messages.fdm"
    sqlite3 "$db" "INSERT INTO message (titre, message, datemessage, heuremessage, etat, periodicite,
        prochainaffichage, dernieraffichage) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n
        WHERE i < 100000) SELECT 'Message ' || i, 'Texte', '01/06/2020', '08:00', 'errone', '2', '01/06/2020 08:00',
        '31/12/2099 08:00' FROM n" || fail "cannot fill messages.fdm"
    old="100000|1|01/06/2020 08:00"
    state() { sqlite3 "$db" "SELECT count(*), count(DISTINCT prochainaffichage), max(prochainaffichage) FROM message"; }
    # The pass has begun once its transaction writes the journal (or has already ended).
    begun() { [ -e "$db-journal" ] || [ "$(state 2>/dev/null)" != "$old" ]; }
    stepped() { case $(state 2>/dev/null) in "$old") return 1 ;; "100000|1|"*) return 0 ;; *) return 1 ;; esac; }
    for try in 1 2 3 4 5 6 7 8; do
        start
        wait_for 180 begun || fail "the start-up pass did not begin"
        delay=$(awk -v t="$try" -v r="$RANDOM" 'BEGIN { printf "%.2f", (t - 1) * 0.08 + (r % 10) / 100 }')
        sleep "$delay"  # not a wait: where the kill lands in the pass
        kill -9 "$copy"
        wait "$copy" 2>/dev/null
        now=$(state)
        check "killed after ${delay}s: the file is sound" test "$(sqlite3 "$db" "PRAGMA integrity_check")" = ok
        check "killed after ${delay}s: all rows as they were or all stepped ($now)" \
            bash -c "[ '$now' = '$old' ] || [[ '$now' == '100000|1|'* ]]"
        [ "$now" != "$old" ] && return
    done
    # No kill landed after the pass: one run to its end steps every row alike.
    start
    check "a pass run to its end brings every row up to date" wait_for 300 stepped
    kill -9 "$copy"
}

for name in ${DESKTOP_CASES:-placement time_picker on_top literal_title}; do "case_$name"; done
echo "desktop suite: $failures failed"
[ "$failures" -eq 0 ]
