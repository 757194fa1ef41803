#!/usr/bin/env bash
# The program starts with an empty program folder and configuration, stays up, and ends
# cleanly on SIGTERM, with and without -startup (the offscreen display has no tray, so the
# window shows either way).
set -u
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/config"
cp "$exe" "$work/program/towerwatch"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen

run_once() {
    "$work/program/towerwatch" "$@" >"$work/out.txt" 2>&1 &
    local pid=$!
    sleep 2
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "FAIL: the program did not stay up ($*)"; cat "$work/out.txt"; return 1
    fi
    kill -TERM "$pid"
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        echo "FAIL: the program ignored SIGTERM ($*)"; kill -KILL "$pid"; return 1
    fi
    wait "$pid"
    local rc=$?
    if [ "$rc" -ne 0 ]; then echo "FAIL: exit code $rc ($*)"; cat "$work/out.txt"; return 1; fi
    if grep -q "ERROR: AddressSanitizer\|runtime error:" "$work/out.txt"; then
        echo "FAIL: sanitizer report ($*)"; cat "$work/out.txt"; return 1
    fi
    return 0
}

run_once || exit 1
run_once -startup || exit 1
echo "started and stopped cleanly, with and without -startup"
