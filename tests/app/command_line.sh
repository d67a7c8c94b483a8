#!/usr/bin/env bash
# The built program answers --version, --help and a wrong option without a display, and without making its lock,
# settings or start-up entry: the configuration, runtime and home folders stay empty.
# Usage: command_line.sh TAVANOTE
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# check EXPECTED_STATUS STDOUT_FIRST_LINE STDERR_FIRST_LINE ARGUMENT...
check() {
    local status=$1 out=$2 err=$3
    shift 3
    rm -rf "$work/home" && mkdir -p "$work/home/config" "$work/home/runtime" && chmod 700 "$work/home/runtime"
    (
        unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
        HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work/home/runtime" \
            "$program" "$@" >"$work/out" 2>"$work/err"
    )
    local got=$?
    [ "$got" -eq "$status" ] || fail "tavanote $*: status $got, expected $status"
    [ "$(head -n 1 "$work/out")" = "$out" ] || fail "tavanote $*: printed '$(head -n 1 "$work/out")'"
    [ "$(head -n 1 "$work/err")" = "$err" ] || fail "tavanote $*: error output '$(head -n 1 "$work/err")'"
    local left
    left=$(find "$work/home" -mindepth 1 -not -path "$work/home/config" -not -path "$work/home/runtime")
    [ -z "$left" ] || fail "tavanote $* left files behind: $left"
}

usage="Usage : tavanote [option]"
check 0 "Tavanote 2.0.0" "" --version
check 0 "$usage" "" --help
check 2 "" "Option inconnue : --bogus" --bogus
check 2 "" "Argument inattendu : notes" notes
grep -q -- "--version" "$work/err" || fail "a wrong option does not show the usage"
echo "command line: all checks passed"
