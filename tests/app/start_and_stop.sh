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
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen

source "$(dirname "$0")/../support/program_runs.sh"

run_once() {
    start_program "$work/out.txt" "$work/program/towerwatch" "$@"
    expect_running "$program_pid" "$work" "$work/out.txt" "$*" && stop_program "$program_pid" "$work/out.txt" "$*"
}

run_once || exit 1
run_once -startup || exit 1
echo "started and stopped cleanly, with and without -startup"
