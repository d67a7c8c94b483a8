#!/usr/bin/env bash
# The built program on a real X server facing message files it must not use, and killed during its start-up
# pass: each unusable file is told in one box and left byte for byte, and the program ends with a non-zero
# status; a pass killed at any moment leaves every row as it was or every row brought up to date.
# Usage: store_faults.sh TAVANOTE MKSTORE
set -u
program=$1
mkstore=$2
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

source "$(dirname "$0")/xserver.sh"
start_x_server sqlite3 md5sum

# A program folder and a home for one case; the message file is $folder/messages.fdm.
prepare() {
    folder="$work/$1/program"
    home="$work/$1/home"
    mkdir -p "$folder" "$home/runtime"
    chmod 700 "$home/runtime"
    cp "$program" "$folder/tavanote"
}
start() {
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/runtime" "$folder/tavanote" \
        >"$home/log" 2>&1 &
    copy=$!
    pids+=($copy)
}

# Answers every box titled Tavanote until the program ends; its exit status in $status.
answer_until_end() {
    local until=$((SECONDS + 180))
    while [ "$SECONDS" -le "$until" ]; do
        kill -0 "$copy" 2>/dev/null || break
        for window in $(xdotool search --onlyvisible --name '^Tavanote$' 2>/dev/null); do
            xdotool windowactivate --sync "$window" key Return 2>/dev/null
        done
        sleep 0.1
    done
    kill -0 "$copy" 2>/dev/null && fail "$case: the program did not end"
    wait "$copy"
    status=$?
}

# Each kind of fault is classified and told by the core and the main window (their own tests); here the real
# program meets a file that is no database, one protected by its mode and one locked by another program.
for case in text read-only locked; do
    prepare "$case"
    db="$folder/messages.fdm"
    case $case in
        text) printf 'titre;message\nDentiste;Appeler\n' >"$db" ;;
        read-only) "$mkstore" "$db" >/dev/null && sqlite3 "$db" "INSERT INTO message (titre, etat, periodicite,
                   prochainaffichage) VALUES ('Passé', 'actif', '0', '01/01/2020 08:00')" && chmod 444 "$db" ;;
        locked) "$mkstore" "$db" >/dev/null
                # Another program holds the file's lock until its input closes.
                mkfifo "$work/hold"
                sqlite3 "$db" <"$work/hold" >/dev/null 2>&1 &
                holder=$!
                pids+=($holder)
                exec 4>"$work/hold"
                echo "BEGIN EXCLUSIVE;" >&4
                wait_for 120 bash -c "! sqlite3 '$db' 'BEGIN IMMEDIATE; ROLLBACK;'" || fail "the lock was not taken" ;;
    esac
    before=$(md5sum "$db" 2>/dev/null)
    start
    answer_until_end
    [ "$status" -ne 0 ] || fail "$case: the program ended with status 0"
    [ "$(md5sum "$db" 2>/dev/null)" = "$before" ] || fail "$case: the message file was changed"
    [ "$case" = locked ] && exec 4>&-
    [ "$(ls -A "$folder")" = "$(printf 'messages.fdm\ntavanote')" ] ||
        fail "$case: files were left beside the message file: $(ls -A "$folder")"
done
echo "unusable files: each told, left as it was, non-zero status"

# 100,000 daily messages overdue since 2020, marked "errone" so that none opens late; killed during the start-up pass, the file keeps them all as they
# were or all brought up to date, never some of each.
prepare killed
db="$folder/messages.fdm"
"$mkstore" "$db" >/dev/null || fail "cannot make messages.fdm"
sqlite3 "$db" "BEGIN; INSERT INTO message (titre, message, datemessage, heuremessage, etat, periodicite,
               prochainaffichage, dernieraffichage)
               WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
               SELECT 'Message ' || i, 'Texte', '01/06/2020', '08:00', 'errone', '2', '01/06/2020 08:00',
                      '31/12/2099 08:00' FROM n; COMMIT;" || fail "cannot fill messages.fdm"
old="100000|1|01/06/2020 08:00"
state() { sqlite3 "$db" "SELECT count(*), count(DISTINCT prochainaffichage), max(prochainaffichage) FROM message"; }
stepped=0
# The pass has begun once its transaction writes the journal (or has already ended); the kill then lands at a
# different point of it each time.
begun() { [ -e "$db-journal" ] || [ "$(state 2>/dev/null)" != "$old" ]; }
for try in 1 2 3 4 5 6 7 8; do
    start
    wait_for 180 begun || fail "the start-up pass did not begin"
    delay=$(awk -v t="$try" -v r="$RANDOM" 'BEGIN { printf "%.2f", (t - 1) * 0.08 + (r % 10) / 100 }')
    sleep "$delay"
    kill -9 "$copy"
    wait "$copy" 2>/dev/null
    now=$(state)
    [ "$(sqlite3 "$db" "PRAGMA integrity_check")" = ok ] || fail "killed after ${delay}s: the file is damaged"
    case $now in
        "$old") ;;
        "100000|1|"*) stepped=$((stepped + 1)) ;;
        *) fail "killed after ${delay}s: rows half brought up to date: $now" ;;
    esac
    echo "killed after ${delay}s: $now"
    [ "$now" != "$old" ] && break
done
# Once a pass has run to its end every row is stepped alike.
if [ "$stepped" -eq 0 ]; then
    start
    done_pass() { case $(state 2>/dev/null) in "$old") return 1 ;; "100000|1|"*) return 0 ;; *) return 1 ;; esac; }
    wait_for 300 done_pass || fail "the start-up pass did not bring the rows up to date"
    kill -9 "$copy"
    wait "$copy" 2>/dev/null
fi
[ "$(state)" != "$old" ] || fail "no start brought the rows up to date"
echo "store faults: all checks passed"
