#!/usr/bin/env bash
# tools/screenshots/windows-shots.sh [output folder]
# The pictures of the Windows build under Wine on a 96-DPI virtual display: options.png,
# about.png, monitoring.png (the history viewer), chart.png and main-window.png (the program
# against the simulator). Default
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
"${wine_run[@]}" --stop  # Wine's own processes hold the display
kill $xvfb 2>/dev/null || true

# The main window against the simulator, in a prefix of its own (the program's settings are
# its registry key), started on a cached document so the last server is shown; notifications
# off, so no balloon covers the window.
run=$PWD/build/run/windows-shots
linux_tree=$PWD/build/plain
[ -x "$linux_tree/tools/herald-sim/herald-sim" ] || { echo "build build/plain's herald-sim first" >&2; exit 1; }
rm -rf "$run/program" && mkdir -p "$run/program"
cp "$tree/src/app/towerwatch.exe" "$run/program/"
"$linux_tree/tools/herald-sim/herald-sim" --port 0 --seed 7 --interval 0 --exit-after 120 >"$run/sim.log" &
sim=$!
Xvfb ":$display_number" -screen 0 1024x768x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb $sim 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    grep -q '^listening on ' "$run/sim.log" 2>/dev/null && [ -S "/tmp/.X11-unix/X$display_number" ] && break
    sleep 0.1
done
herald=$(sed -n 's/^listening on //p' "$run/sim.log" | head -n 1)
printf '%s/server-info.xml\r\n%s/server-info.xml\r\n' "$herald" "$herald" >"$run/program/towerwatchlocations.txt"
curl -s "http://$herald/server-info.xml" >"$run/program/server-info.xml"
printf '\r\n' >>"$run/program/server-info.xml"
cached=$(stat -c %Y.%s "$run/program/server-info.xml")
sleep 1  # a rewrite in the same second must still show
printf '%s\r\n' 'REGEDIT4' '' '[-HKEY_CURRENT_USER\Software\Vexlor]' '' \
    '[HKEY_CURRENT_USER\Software\Vexlor\Towerwatch]' "\"LocationHost\"=\"$herald\"" \
    '"MonitorServer"="Emberfall"' '"LastServer"="Emberfall"' '"Realm"="2"' '"UpdateOnStart"="1"' \
    '"SystemTray"="1"' '"Notify"="0"' >"$run/settings.reg"
wine_run=(sh cmake/wine-run.sh "--prefix=$run/wineprefix")
"${wine_run[@]}" reg import "$(winpath "$run/settings.reg")" </dev/null >/dev/null 2>&1
"${wine_run[@]}" "$run/program/towerwatch.exe" </dev/null >"$run/towerwatch.log" 2>&1 &
app=$!
for _ in $(seq 300); do
    [ "$(stat -c %Y.%s "$run/program/server-info.xml")" != "$cached" ] && break
    sleep 0.1
done
sleep 2  # the window repaints the new list
xwd -silent -name Towerwatch -out "$run/main.xwd" && convert "xwd:$run/main.xwd" "png:$out/main-window.png"
"${wine_run[@]}" --stop
wait "$app" 2>/dev/null || true
ls -l "$out"
