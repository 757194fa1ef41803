#!/usr/bin/env bash
# One copy per configuration: a second start hands over and ends while the first runs on; a
# copy killed with SIGKILL does not block the next start; two configurations run side by side.
# Without $XDG_RUNTIME_DIR the lock lives in a private folder of the temporary folder, where
# a lock planted by another account cannot stop it; with no safe folder it says so and runs.
set -u
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
mkdir -p "$work/program"
cp "$1" "$work/program/towerwatch"
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen
source "$(dirname "$0")/../support/program_runs.sh"

# first_copy <config>: starts a copy and waits until it listens, as only the one copy does.
first_copy() {
    local before
    before=$(listening_in "$work")
    XDG_CONFIG_HOME=$work/$1 start_program "$work/$1.txt" "$work/program/towerwatch" -startup
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

first_copy one && second_copy_hands_over one || exit 1
{ kill -KILL "$program_pid"; wait "$program_pid"; } 2>/dev/null
first_copy one && second_copy_hands_over one || exit 1
restarted=$program_pid
first_copy two || exit 1
expect_up "$restarted" "$work/one.txt" "beside a second configuration" || exit 1
stop_program "$program_pid" "$work/two.txt" "second configuration" &&
    stop_program "$restarted" "$work/one.txt" "restarted after SIGKILL" || exit 1

# No $XDG_RUNTIME_DIR, and the lock's old predictable name in the temporary folder taken by
# another account, open to all and held.
unset XDG_RUNTIME_DIR
export TMPDIR=$work/tmp
mkdir -m 0777 "$TMPDIR"
hash=$(printf %s "$work/three/towerwatch" | sha256sum | cut -c1-16)
planted=$TMPDIR/towerwatch-$(id -u)-$hash.lock
: >"$planted"
chmod 0666 "$planted"
[ "$(id -u)" -eq 0 ] && chown nobody "$planted"
( exec 9<"$planted"; flock 9; exec sleep 600 ) &
pids+=("$!")
disown "$!"
first_copy three && second_copy_hands_over three || exit 1
private=$TMPDIR/towerwatch-$(id -u)
if [ "$(stat -c %a "$private")" != 700 ]; then echo "FAIL: $private is not 0700"; exit 1; fi
stop_program "$program_pid" "$work/three.txt" "beside a foreign lock" || exit 1

# unsafe_folder_still_runs <what>: the program says there is no safe place and runs on.
unsafe_folder_still_runs() {
    XDG_CONFIG_HOME=$work/four start_program "$work/four.txt" "$work/program/towerwatch" -startup
    pids+=("$program_pid")
    for _ in $(seq 300); do
        catches_sigterm "$program_pid" && break
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    if ! grep -q "without its one-copy lock.*$private" "$work/four.txt"; then
        echo "FAIL: no word of the unsafe lock folder ($1)"; cat "$work/four.txt"; return 1
    fi
    stop_program "$program_pid" "$work/four.txt" "$1"
}
rm -rf "$private"
mkdir -m 0700 "$work/elsewhere"
ln -s "$work/elsewhere" "$private"
unsafe_folder_still_runs "lock folder is a link" || exit 1
rm "$private"
mkdir -m 0755 "$private"
unsafe_folder_still_runs "lock folder open to others" || exit 1
echo "one copy per configuration; a killed copy does not block; two configurations side by side;" \
    "a foreign lock does not stop it; an unsafe lock folder is named and the program runs"
