#!/usr/bin/env bash
# The built program on a real X server: it stays resident, docks in a notification area when there is one,
# shows its main window when there is none, opens the editor on Ctrl+N and ends on Esc and Yes.
# Usage: smoke.sh TAVANOTE MKSTORE
set -u
program=$1
mkstore=$2
source "$(dirname "$0")/xserver.sh"
desktop_test_init
start_x_server trayer

docked() { xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {inpanel=1; next} inpanel && /\("tavanote" "Tavanote"\)/ {found=1} END {exit !found}'; }

# Starts a copy in a fresh program folder and home; its pid in $copy.
start_copy() {
    local name=$1
    mkdir -p "$work/$name/program" "$work/$name/home" "$work/$name/runtime"
    chmod 700 "$work/$name/runtime"
    cp "$program" "$work/$name/program/tavanote"
    "$mkstore" "$work/$name/program/messages.fdm" >/dev/null || fail "cannot make messages.fdm"
    HOME="$work/$name/home" XDG_CONFIG_HOME="$work/$name/home/.config" XDG_RUNTIME_DIR="$work/$name/runtime" \
        "$work/$name/program/tavanote" >"$work/$name/log" 2>&1 &
    copy=$!
    pids+=($copy)
}

# With a notification area: the icon docks there and the main window stays hidden.
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
tray=$!
pids+=($tray)
wait_for 120 bash -c "xwininfo -root -tree | grep -q '(\"panel\" \"trayer\")'" || fail "trayer did not start"
start_copy with-tray
wait_for 120 docked || fail "the icon did not dock in the notification area"
kill -0 "$copy" 2>/dev/null || fail "the program ended by itself"
visible "Gestion des messages" >/dev/null && fail "the main window is shown although the icon docked"
kill "$copy" "$tray"
wait "$copy" "$tray" 2>/dev/null
wait_for 120 bash -c "! xwininfo -root -tree | grep -q '(\"panel\" \"trayer\")'" || fail "trayer did not go"

# Without one: the main window shows, Ctrl+N opens the editor, Esc and Yes end the program.
start_copy without-tray
wait_for 120 visible "Gestion des messages" || fail "the main window did not show without a notification area"
main=$(visible "Gestion des messages" | head -n 1)
to_window "$main" key ctrl+n
wait_for 120 visible "Créer un nouveau message" || fail "Ctrl+N did not open the editor"
editor=$(visible "Créer un nouveau message" | head -n 1)
to_window "$editor" key Escape
wait_for 120 bash -c "! xdotool search --onlyvisible --name '^Créer un nouveau message$'" || fail "Esc did not close the editor"
to_window "$main" key Escape
wait_for 120 visible "Tavanote" || fail "Esc did not ask to quit"
to_window "$(visible Tavanote | head -n 1)" key Return
wait_for 120 gone "$copy" || fail "the program did not end after Esc and Yes"
echo "desktop smoke test: all checks passed"
