#!/usr/bin/env bash
# The built program's answers to its options, without a display, and without making its lock, settings or start-up
# entry: the configuration, runtime and home folders stay empty. Usage: command_line.sh TAVANOTE
set -u
program=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

# check STATUS FIRST_LINE ARGUMENT...: the first line printed (on the error output, then the usage, for a status 2).
check() {
    local status=$1 line=$2 out=1
    shift 2
    rm -rf "${home:?}"/* && mkdir -p "$home/config" "$home/runtime" && chmod 700 "$home/runtime"
    (unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
        HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" "$program" "$@" >"$home/1" 2>"$home/2")
    local got=$? left
    [ "$status" -eq 0 ] || out=2
    left=$(find "$home" -mindepth 1 -not -path "$home/config" -not -path "$home/runtime" -not -path "$home/[12]")
    if [ "$got" -ne "$status" ] || [ "$(head -n 1 "$home/$out")" != "$line" ] || [ -n "$left" ] ||
        { [ "$status" -ne 0 ] && ! grep -q -- "Usage : tavanote \[option\]" "$home/2"; }; then
        echo "FAIL: tavanote $*: status $got (expected $status), left behind: $left" && cat "$home/1" "$home/2" && exit 1
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
