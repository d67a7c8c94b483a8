#!/usr/bin/env bash
# Idle cost of the running program: one note open (a message shown at every start), the main window hidden in
# the notification area, on Xvfb with openbox and trayer. Prints the CPU time of one minute, read from /proc:
# utime+stime (10 ms ticks) and, to the nanosecond, the run time of every thread (schedstat), with the
# voluntary context switches.
# Usage: idle_cpu.sh TAVANOTE MKSTORE [SECONDS]
set -u
program=$1
mkstore=$2
seconds=${3:-60}
source "$(dirname "$0")/../tests/desktop/xserver.sh"
desktop_test_init
start_x_server trayer
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
pids+=($!)
sleep 1
mkdir -p "$work/program" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/program/tavanote"
"$mkstore" "$work/program/messages.fdm" >/dev/null
sqlite3 "$work/program/messages.fdm" "INSERT INTO message (titre, message, datemessage, heuremessage, etat,
    periodicite, prochainaffichage, dernieraffichage) VALUES ('Idle', 'Une note', '', '', 'actif', '9', '', '')"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
    "$work/program/tavanote" >/dev/null 2>&1 &
copy=$!
pids+=($copy)
sleep 10  # start-up done, note shown, icon docked
sample() {
    local ticks switches ns
    ticks=$(awk '{print $14 + $15}' "/proc/$copy/stat")
    switches=$(cat /proc/$copy/task/*/status | awk '/^voluntary_ctxt_switches/ {n += $2} END {print n}')
    ns=$(cat /proc/$copy/task/*/schedstat | awk '{n += $1} END {printf "%d", n}')
    echo "$ticks $switches $ns"
}
read -r t0 s0 n0 < <(sample)
sleep "$seconds"
read -r t1 s1 n1 < <(sample)
hz=$(getconf CLK_TCK)
echo "over ${seconds} s: utime+stime $(( (t1 - t0) * 1000 / hz )) ms, run time $(( (n1 - n0) / 1000 )) us," \
    "voluntary context switches $((s1 - s0))"
