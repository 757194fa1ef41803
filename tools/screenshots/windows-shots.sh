#!/usr/bin/env bash
# tools/screenshots/windows-shots.sh [output folder]
# The pictures of the Windows build under Wine on a 96-DPI virtual display: options.png,
# about.png, monitoring.png (the history viewer), chart.png and main-window.png (the program
# against the simulator, through scripts/run --windows, which takes a minute). Default
# output: docs/windows/. Builds what it needs in build/windows (and build/plain for the
# simulator) when those are configured, as ./scripts/test leaves them.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=$(realpath -m "${1:-docs/windows}")
tree=$PWD/build/windows
[ -f "$tree/CMakeCache.txt" ] || { echo "configure build/windows first (./scripts/test does)" >&2; exit 1; }
cmake --build "$tree" -j "$(nproc)" --target dialog_screenshots viewer_screenshot chart_screenshot towerwatch
mkdir -p "$out"

# One virtual display for the tools; the prefix is the tests' own.
display_number=$((90 + RANDOM % 100))
Xvfb ":$display_number" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -S "/tmp/.X11-unix/X$display_number" ] && break
    sleep 0.1
done
export DISPLAY=:$display_number
wine_run=(sh cmake/wine-run.sh "--prefix=$tree/wineprefix")
winpath() { echo "Z:${1//\//\\}"; }

"${wine_run[@]}" "$tree/tools/screenshots/dialog_screenshots.exe" "$(winpath "$out")"
"${wine_run[@]}" "$tree/tools/screenshots/viewer_screenshot.exe" "$(winpath "$out/monitoring.png")"
"${wine_run[@]}" "$tree/tools/screenshots/chart_screenshot.exe" "$(winpath "$out/chart.png")"
kill $xvfb 2>/dev/null || true

# The main window: scripts/run --windows without a display takes it after the first update.
env -u DISPLAY scripts/run-windows --seed 7 >/dev/null
cp build/run/windows-program/main-window.png "$out/main-window.png"
ls -l "$out"
