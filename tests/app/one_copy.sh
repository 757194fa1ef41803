#!/usr/bin/env bash
# One copy per configuration: a second start hands over and ends while the first runs on; a
# copy killed with SIGKILL does not block the next start; two configurations run side by side.
set -u
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
mkdir -p "$work/program"
cp "$1" "$work/program/towerwatch"
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen
source "$(dirname "$0")/../support/program_runs.sh"
listening() { grep -c " $work/" /proc/net/unix; }

# first_copy <config>: starts a copy and waits until it listens, as only the one copy does.
first_copy() {
    local before
    before=$(listening)
    XDG_CONFIG_HOME=$work/$1 start_program "$work/$1.txt" "$work/program/towerwatch" -startup
    pids+=("$program_pid")
    for _ in $(seq 300); do
        [ "$(listening)" -gt "$before" ] && return 0
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "FAIL: the copy on $1 did not start listening"; cat "$work/$1.txt"; return 1
}

# second_copy_hands_over <config>: ends by itself, and the first runs on.
second_copy_hands_over() {
    if ! XDG_CONFIG_HOME=$work/$1 timeout 20 "$work/program/towerwatch" >"$work/second.txt" 2>&1; then
        echo "FAIL: a second copy on $1 did not end by itself"; cat "$work/second.txt"; return 1
    fi
    expect_up "$program_pid" "$work/$1.txt" "first copy on $1 after a second start"
}

first_copy one && second_copy_hands_over one || exit 1
{ kill -KILL "$program_pid"; wait "$program_pid"; } 2>/dev/null
first_copy one && second_copy_hands_over one || exit 1
restarted=$program_pid
first_copy two && sleep 2 && expect_up "$program_pid" "$work/two.txt" "second configuration" || exit 1
expect_up "$restarted" "$work/one.txt" "beside a second configuration" || exit 1
stop_program "$program_pid" "$work/two.txt" "second configuration" &&
    stop_program "$restarted" "$work/one.txt" "restarted after SIGKILL" || exit 1
echo "one copy per configuration; a killed copy does not block; two configurations side by side"
