#!/usr/bin/env bash
# with_weston.sh COMMAND...: runs the command in a Wayland session of its own, a headless
# weston on a private runtime folder, with Qt on its Wayland platform; its exit code is the
# command's.
set -u
if ! command -v weston >/dev/null; then echo "weston is not installed (Debian: weston)" >&2; exit 1; fi
runtime=$(mktemp -d)
chmod 0700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
# --debug lets weston-screenshooter take its picture (tools/screenshots/desktop-shots.sh).
weston --backend=headless-backend.so --use-pixman --socket=wayland-tw --width=1280 --height=1024 \
    --idle-time=0 --debug >"$runtime/weston.log" 2>&1 &
weston_pid=$!
trap 'kill "$weston_pid" 2>/dev/null; wait "$weston_pid" 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 200); do
    [ -S "$runtime/wayland-tw" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.05
done
if [ ! -S "$runtime/wayland-tw" ]; then
    echo "weston did not start:" >&2; cat "$runtime/weston.log" >&2; exit 1
fi
# No session bus here: no tray host and no notification server, as on a bare compositor.
unset DISPLAY DBUS_SESSION_BUS_ADDRESS
WAYLAND_DISPLAY=wayland-tw QT_QPA_PLATFORM=wayland TW_TEST_QPA_PLATFORM=wayland "$@"
