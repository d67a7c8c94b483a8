# Sourced by the desktop tests: a display of our own (Xvfb) with openbox, and waiting helpers.

# A scratch folder $work, removed at exit with every process listed in pids, and fail().
desktop_test_init() {
    work=$(mktemp -d)
    pids=()
    trap desktop_test_cleanup EXIT
}
desktop_test_cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
fail() { echo "FAIL: $*"; exit 1; }

# Starts Xvfb and openbox (its pid in $wm) and exports DISPLAY; Qt is left to choose X11 by itself.
start_x_server() {
    for tool in Xvfb openbox xdotool xwininfo "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
    done
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    wait_for 120 test -s "$work/display" || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$work/display")"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    # The window manager is ready once it has named itself on the root window. One that died while starting (seen
    # once among parallel tests) is started again rather than waited for.
    local tries
    for tries in 1 2 3; do
        openbox >"$work/openbox.log" 2>&1 &
        wm=$!
        pids+=($wm)
        local until=$((SECONDS + 60))
        while [ "$SECONDS" -le "$until" ] && kill -0 "$wm" 2>/dev/null; do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
            sleep 0.1
        done
        kill "$wm" 2>/dev/null
    done
    cat "$work/openbox.log"
    fail "openbox did not start"
}

# Waits until a command succeeds, for at most $1 seconds (limits are generous: only a real hang reaches them,
# however busy the machine).
wait_for() {
    local until=$((SECONDS + $1))
    shift
    while [ "$SECONDS" -le "$until" ]; do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# True once the process is gone.
gone() { ! kill -0 "$1" 2>/dev/null; }

visible() { xdotool search --onlyvisible --name "^$1\$"; }

# Gives a window the focus and waits until the window manager says it has it (on a busy machine the first
# activation can be lost, and keys meant for a note would reach the main window), then runs the xdotool command
# that follows (key ..., type ...).
to_window() {
    local id=$1
    shift
    for _ in 1 2 3; do
        xdotool windowactivate --sync "$id" 2>/dev/null
        wait_for 30 bash -c "[ \"\$(xdotool getactivewindow 2>/dev/null)\" = \"$id\" ]" && break
    done
    xdotool "$@"
}

# A program folder with a copy of the program $program, an empty store made by $mkstore, and a home, in
# dir=$work/NAME: prepare NAME [KEY=VALUE...] writes the settings given.
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

# Starts the copy of the folder $dir; its pid in $copy.
start() {
    HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_RUNTIME_DIR="$dir/runtime" \
        "$dir/program/tavanote" >>"$dir/log" 2>&1 &
    copy=$!
    pids+=($copy)
}
