#!/bin/sh
# wine-run.sh --prefix=<folder> (program.exe [arguments...] | --start | --stop)
# Runs a Windows program under Wine in the build folder's own prefix, made on first use.
# Quiet: no debug channels, no Mono or Gecko download prompt. --start brings up Wine's
# server and its service processes detached from our output (a program run while none is
# up waits on them for seconds), --stop ends them.
set -e
case $1 in
    --prefix=*) WINEPREFIX=${1#--prefix=}; shift ;;
esac
[ -n "$WINEPREFIX" ] && [ $# -gt 0 ] || { echo "usage: wine-run.sh --prefix=<folder> program.exe [arguments...]" >&2; exit 2; }
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

if command -v wine64 >/dev/null 2>&1; then wine=wine64
elif [ -x /usr/lib/wine/wine64 ]; then wine=/usr/lib/wine/wine64
else wine=wine
fi

# Tests run in parallel: the first to come makes the prefix, the others wait for it.
if [ ! -f "$WINEPREFIX/.towerwatch-ready" ]; then
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.towerwatch-ready" ]; then
            "$wine" wineboot -i </dev/null >/dev/null 2>&1 || true
            wineserver -w </dev/null >/dev/null 2>&1 || true
            # Windows has Tahoma, the program's face; Debian's Wine ships one but does not
            # find it outside the prefix, and would fall back to a face of other metrics.
            for face in /usr/share/wine/fonts/tahoma*.ttf; do
                [ -f "$face" ] && cp "$face" "$WINEPREFIX/drive_c/windows/Fonts/"
            done
            touch "$WINEPREFIX/.towerwatch-ready"
        fi
    ) 9>"$WINEPREFIX/.lock"
fi

case $1 in
    --start)
        wineserver -p </dev/null >/dev/null 2>&1 || true
        "$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
        exit 0 ;;
    --stop)
        wineserver -k </dev/null >/dev/null 2>&1 || true
        exit 0 ;;
esac
exec "$wine" "$@"
