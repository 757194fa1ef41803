#!/usr/bin/env bash
# tools/screenshots/desktop-shots.sh [output folder]
# How the Linux program meets the desktops players have, into docs/desktops/ by default:
# the main window and the dialogs at Qt's 150 % and 200 % scaling and under a dark desktop
# palette (offscreen), and the program itself in a Wayland session (headless weston, its
# screenshooter). Builds what it needs in build/plain, as ./scripts/test leaves it.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=$(realpath -m "${1:-docs/desktops}")
tree=$PWD/build/plain
[ -f "$tree/CMakeCache.txt" ] || { echo "configure build/plain first (./scripts/test does)" >&2; exit 1; }
cmake --build "$tree" -j "$(nproc)" --target dialog_screenshots viewer_screenshot chart_screenshot \
    main_window_screenshot towerwatch herald-sim
mkdir -p "$out"
shots=$tree/tools/screenshots
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# shoot <suffix> <environment...>: every picture with that look, named <picture>-<suffix>.png.
shoot() {
    local suffix=$1
    shift
    env QT_QPA_PLATFORM=offscreen "$@" "$shots/main_window_screenshot" "$out/main-window-$suffix.png"
    env QT_QPA_PLATFORM=offscreen "$@" "$shots/viewer_screenshot" "$out/monitoring-$suffix.png"
    env QT_QPA_PLATFORM=offscreen "$@" "$shots/chart_screenshot" "$out/chart-$suffix.png"
    env QT_QPA_PLATFORM=offscreen "$@" "$shots/dialog_screenshots" "$scratch"
    mv "$scratch/options.png" "$out/options-$suffix.png"
    mv "$scratch/about.png" "$out/about-$suffix.png"
}
shoot 150 QT_SCALE_FACTOR=1.5
shoot 200 QT_SCALE_FACTOR=2
shoot dark TW_SHOT_PALETTE=dark

# The program in a Wayland session against the simulator: weston places the window.
run=$scratch/wayland
mkdir -p "$run/program" "$run/config/towerwatch"
cp "$tree/src/app/towerwatch" "$run/program/"
"$tree/tools/herald-sim/herald-sim" --port 0 --seed 11 --interval 0 >"$run/sim.log" &
sim=$!
trap 'kill $sim 2>/dev/null || true; rm -rf "$scratch"' EXIT
for _ in $(seq 100); do grep -q '^listening on ' "$run/sim.log" && break; sleep 0.1; done
herald=$(sed -n 's/^listening on //p' "$run/sim.log" | head -n 1)
printf '%s/server-info.xml\r\n%s/server-info.xml\r\n' "$herald" "$herald" >"$run/program/towerwatchlocations.txt"
# Cached first, as after an earlier run, so the last server is shown.
curl -s "http://$herald/server-info.xml" >"$run/program/server-info.xml"
printf '\r\n' >>"$run/program/server-info.xml"
printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Vexlor\Towerwatch]' "\"LocationHost\"=\"$herald\"" \
    '"MonitorServer"="Emberfall"' '"LastServer"="Emberfall"' '"UpdateOnStart"="1"' >"$run/config/towerwatch/registry.reg"
# In the Wayland test's own session: the program until its first download is cached, then
# the compositor's screenshooter.
XDG_CONFIG_HOME=$run/config XDG_DATA_HOME=$run/data tests/support/with_weston.sh bash -c '
    run=$1
    cached=$(stat -c %Y.%s "$run/program/server-info.xml")
    "$run/program/towerwatch" >"$run/towerwatch.log" 2>&1 &
    program=$!
    for _ in $(seq 100); do [ "$(stat -c %Y.%s "$run/program/server-info.xml")" != "$cached" ] && break; sleep 0.1; done
    sleep 2  # the window draws the new document; a picture, not a test
    (cd "$run" && weston-screenshooter)
    kill $program; wait $program' shots "$run"
mv "$run"/wayland-screenshot-*.png "$out/wayland-session.png"
echo "wrote the pictures in $out"
