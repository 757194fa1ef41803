#!/usr/bin/env bash
# Resident memory of towerwatch after many documents, beside a bare Qt tray program on the
# same display. Hours of updates pass in minutes: both programs run under libfaketime with
# the clock sped up (the update timer counts minutes), towerwatch against the herald
# simulator, whose war changes before every download.
#
#   bench/resident_memory.sh [build tree] [seconds] [speed]
#
# build tree: where towerwatch, bench/bare_tray and herald-sim were built (build/plain, with
# -DTOWERWATCH_BENCH=ON); seconds of real time (default 180); speed: how many times faster
# the programs' clocks run (default 600: one 15-minute update every 1.5 seconds).
set -u
tree=${1:-build/plain}
seconds=${2:-180}
speed=${3:-600}
towerwatch=${TOWERWATCH:-$tree/src/app/towerwatch}  # TOWERWATCH=<path> measures another build
bare=$tree/bench/bare_tray
sim=$tree/tools/herald-sim/herald-sim
for exe in "$towerwatch" "$bare" "$sim"; do
    [ -x "$exe" ] || { echo "missing $exe (configure with -DTOWERWATCH_BENCH=ON and build)" >&2; exit 1; }
done
faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
[ -n "$faketime_lib" ] || { echo "libfaketime is needed (apt-get install faketime)" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A virtual display when there is one to be had, the offscreen platform otherwise.
if command -v Xvfb >/dev/null; then
    display_number=$((200 + RANDOM % 100))
    Xvfb ":$display_number" -screen 0 1024x768x24 -dpi 96 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do
        [ -S "/tmp/.X11-unix/X$display_number" ] && break
        sleep 0.1
    done
    export DISPLAY=:$display_number QT_QPA_PLATFORM=xcb
else
    export QT_QPA_PLATFORM=offscreen
fi

"$sim" --port 0 --seed 7 --interval 0 >"$work/sim.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    grep -q '^listening on ' "$work/sim.log" 2>/dev/null && break
    sleep 0.1
done
herald=$(sed -n 's/^listening on //p' "$work/sim.log" | head -n 1)
[ -n "$herald" ] || { echo "the herald simulator did not start" >&2; exit 1; }

# Each program gets folders of its own.
for who in towerwatch bare; do
    mkdir -p "$work/$who/config/towerwatch" "$work/$who/data" "$work/$who/runtime" "$work/$who/program"
    chmod 700 "$work/$who/runtime"
done
program=$work/towerwatch/program
cp "$towerwatch" "$program/towerwatch"
printf '%s/server-info.xml\r\n%s/server-info.xml\r\n' "$herald" "$herald" >"$program/towerwatchlocations.txt"
printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\Vexlor\Towerwatch]' \
    "\"LocationHost\"=\"$herald\"" \
    '"MonitorServer"="Emberfall"' \
    '"LastServer"="Emberfall"' \
    '"Realm"="0"' \
    '"ServerSet"="0"' \
    '"UpdateOnStart"="1"' \
    '"UpdateTime"="0"' \
    '"SystemTray"="1"' >"$work/towerwatch/config/towerwatch/registry.reg"

start() {  # start <who> <exe>: runs it with its own folders and the fast clock
    local who=$1
    shift
    XDG_CONFIG_HOME=$work/$who/config XDG_DATA_HOME=$work/$who/data XDG_RUNTIME_DIR=$work/$who/runtime \
        LD_PRELOAD=$faketime_lib FAKETIME="+0 x$speed" FAKETIME_NO_CACHE=1 \
        "$@" >"$work/$who.log" 2>&1 &
    pids+=($!)
}
start towerwatch "$program/towerwatch"
towerwatch_pid=${pids[-1]}
start bare "$bare"
bare_pid=${pids[-1]}

field() { sed -n "s/^$2:[[:space:]]*\([0-9]*\) kB/\1/p" "/proc/$1/status"; }

sleep "$seconds"
for pid in "$towerwatch_pid" "$bare_pid"; do
    kill -0 "$pid" 2>/dev/null || { echo "a program ended early; its output:" >&2; cat "$work"/*.log >&2; exit 1; }
done
echo "after ${seconds}s at ${speed}x ($((seconds * speed / 3600)) hours of program time)," \
     "$(wc -l <"$work/sim.log") simulator lines, $(wc -l <"$program/Emberfall.log" 2>/dev/null || echo 0) lines in the event log"
printf '%-12s %10s %10s %10s %10s\n' program VmRSS RssAnon RssFile RssShmem
for entry in "towerwatch:$towerwatch_pid" "bare_tray:$bare_pid"; do
    pid=${entry#*:}
    printf '%-12s %7s kB %7s kB %7s kB %7s kB\n' "${entry%%:*}" "$(field "$pid" VmRSS)" "$(field "$pid" RssAnon)" \
        "$(field "$pid" RssFile)" "$(field "$pid" RssShmem)"
done
awk -v a="$(field "$towerwatch_pid" VmRSS)" -v b="$(field "$bare_pid" VmRSS)" \
    'BEGIN { printf "ratio towerwatch / bare_tray: %.3f\n", a / b }'
[ -n "${KEEP_PROGRAMS:-}" ] && { echo "towerwatch $towerwatch_pid, bare_tray $bare_pid; Enter ends them"; read -r _; }
exit 0
