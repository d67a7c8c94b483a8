#!/usr/bin/env bash
# The built program's answers to its options, without a display, and without making its lock, settings or start-up
# entry: the configuration, runtime and home folders stay empty. Usage: command_line.sh TAVANOTE
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# check EXPECTED_STATUS FIRST_LINE ARGUMENT...: the first line printed, on the error output when the status is not 0;
# a wrong option shows the usage after it.
check() {
    local status=$1 line=$2 out=out
    shift 2
    rm -rf "$work/home" && mkdir -p "$work/home/config" "$work/home/runtime" && chmod 700 "$work/home/runtime"
    (unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
        HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work/home/runtime" \
            "$program" "$@" >"$work/out" 2>"$work/err")
    local got=$? left
    [ "$status" -eq 0 ] || out=err
    left=$(find "$work/home" -mindepth 1 -not -path "$work/home/config" -not -path "$work/home/runtime")
    if [ "$got" -ne "$status" ] || [ "$(head -n 1 "$work/$out")" != "$line" ] || [ -n "$left" ] ||
        { [ "$status" -ne 0 ] && ! grep -q -- "Usage : tavanote \[option\]" "$work/err"; }; then
        echo "FAIL: tavanote $*: status $got (expected $status), printed:" && cat "$work/out" "$work/err"
        echo "left behind: $left" && exit 1
    fi
}

check 0 "Tavanote 2.0.0" --version
check 0 "Tavanote 2.0.0" -platform offscreen --version
check 0 "Usage : tavanote [option]" --help
check 0 "Usage : tavanote [option]" --version -h
check 2 "Option inconnue : --bogus" --bogus
check 2 "Option inconnue : -x" -x=1
check 2 "Option incomplète : il manque sa valeur." -platform
check 2 "Argument inattendu : notes" notes
echo "command line: all checks passed"
