#!/usr/bin/env bash
# One copy per configuration: a second start hands over and ends while the first runs on; a
# copy killed with SIGKILL does not block the next start; two configurations run side by side.
set -u
exe=$1
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/one" "$work/two"
cp "$exe" "$work/program/towerwatch"
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen
source "$(dirname "$0")/../support/program_runs.sh"
program="$work/program/towerwatch"

listening() { grep -c " $work/" /proc/net/unix; }

# start_first <config> <log>: a copy that must take the configuration: it listens on a socket
# of its own. Sets program_pid.
start_first() {
    local before
    before=$(listening)
    XDG_CONFIG_HOME=$1 start_program "$2" "$program" -startup
    pids+=("$program_pid")
    for _ in $(seq 300); do
        [ "$(listening)" -gt "$before" ] && return 0
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "FAIL: the copy on $1 did not start listening"; cat "$2"
    return 1
}

# second_copy_hands_over <config> <first pid>
second_copy_hands_over() {
    if ! XDG_CONFIG_HOME=$1 timeout 20 "$program" >"$work/second.txt" 2>&1; then
        echo "FAIL: the second copy on $1 did not end by itself with exit code 0"; cat "$work/second.txt"
        return 1
    fi
    expect_up "$2" "$work/first.txt" "first copy after a second start on $1"
}

start_first "$work/one" "$work/first.txt" || exit 1
first=$program_pid
second_copy_hands_over "$work/one" "$first" || exit 1

{ kill -KILL "$first"; wait "$first"; } 2>/dev/null
start_first "$work/one" "$work/after-kill.txt" || exit 1
after_kill=$program_pid
second_copy_hands_over "$work/one" "$after_kill" || exit 1

start_first "$work/two" "$work/other.txt" || exit 1
other=$program_pid
sleep 2
expect_up "$other" "$work/other.txt" "a second configuration" || exit 1
expect_up "$after_kill" "$work/after-kill.txt" "beside a second configuration" || exit 1
stop_program "$other" "$work/other.txt" "second configuration" || exit 1
stop_program "$after_kill" "$work/after-kill.txt" "restarted after SIGKILL" || exit 1
echo "one copy per configuration; a killed copy does not block; two configurations side by side"
