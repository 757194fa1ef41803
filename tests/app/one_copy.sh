#!/usr/bin/env bash
# The program from an empty program folder and configuration, with and without -startup: it
# stays up and ends cleanly on SIGTERM. One copy per configuration: a second start hands over
# and ends while the first runs on; a copy killed with SIGKILL does not block the next start;
# two configurations run side by side. With no safe folder for the lock it says so and runs.
set -u
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
mkdir -p "$work/program"
cp "$1" "$work/program/towerwatch"
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen
source "$(dirname "$0")/../support/program_runs.sh"

# first_copy <config> [switch]: starts a copy and waits until it listens, as only the one copy does.
first_copy() {
    local before
    before=$(listening_in "$work")
    XDG_CONFIG_HOME=$work/$1 start_program "$work/$1.txt" "$work/program/towerwatch" "${@:2}"
    pids+=("$program_pid")
    expect_running "$program_pid" "$work" "$work/$1.txt" "copy on $1" "$before"
}

# second_copy_hands_over <config>: ends by itself, and the first runs on.
second_copy_hands_over() {
    if ! XDG_CONFIG_HOME=$work/$1 timeout 20 "$work/program/towerwatch" >"$work/second.txt" 2>&1; then
        echo "FAIL: a second copy on $1 did not end by itself"; cat "$work/second.txt"; return 1
    fi
    expect_up "$program_pid" "$work/$1.txt" "first copy on $1 after a second start"
}

first_copy two || exit 1  # the first start, on empty folders and without the switch
other=$program_pid
first_copy one -startup && second_copy_hands_over one || exit 1
{ kill -KILL "$program_pid"; wait "$program_pid"; } 2>/dev/null
first_copy one -startup && second_copy_hands_over one || exit 1
expect_up "$other" "$work/two.txt" "beside a second configuration" || exit 1
stop_program "$other" "$work/two.txt" "second configuration, no switch" &&
    stop_program "$program_pid" "$work/one.txt" "restarted after SIGKILL, -startup" || exit 1

# Without $XDG_RUNTIME_DIR, and the temporary folder's lock folder open to others: the program
# names the folder and runs on unguarded. Which folders are unsafe, and that a lock planted by
# another account stops nothing, is the lock folder's own test.
unset XDG_RUNTIME_DIR
export TMPDIR=$work/tmp
private=$TMPDIR/towerwatch-$(id -u)
mkdir -p "$private"
chmod 0755 "$private"
XDG_CONFIG_HOME=$work/four start_program "$work/four.txt" "$work/program/towerwatch" -startup
pids+=("$program_pid")
for _ in $(seq 300); do
    catches_sigterm "$program_pid" && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
if ! grep -q "without its one-copy lock.*$private" "$work/four.txt"; then
    echo "FAIL: no word of the unsafe lock folder"; cat "$work/four.txt"; exit 1
fi
stop_program "$program_pid" "$work/four.txt" "without a safe lock folder" || exit 1
echo "started and stopped cleanly; one copy per configuration; a killed copy does not block;" \
    "two configurations side by side; without a safe lock folder the program says so and runs"
