#!/usr/bin/env bash
# Installs into a temporary prefix and checks what a desktop and a user meet there: the menu
# entry, the metadata and the icons in place and valid, and the installed program answering
# --version and --help without touching anything, then running on an empty configuration
# with its files kept per user.
set -u
build=$1 id=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../support/program_runs.sh"
fail() { echo "FAIL: $*"; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.txt" 2>&1 || { cat "$work/install.txt"; fail "install"; }
entry=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
for f in "$prefix/bin/towerwatch" "$entry" "$metainfo"; do [ -f "$f" ] || fail "missing $f"; done
desktop-file-validate "$entry" || fail "desktop entry rejected"
appstreamcli validate --no-net "$metainfo" >"$work/validate.txt" 2>&1 || { cat "$work/validate.txt"; fail "metadata rejected"; }
[ "$(grep -c -x -e "Icon=$id" -e "Exec=towerwatch" -e "Categories=Game;[A-Za-z]*;" "$entry")" = 3 ] &&
    grep -q ">$id.desktop</launchable>" "$metainfo" || fail "the entry and the metadata do not name the icon, program and entry"

# Each icon a PNG of the size its theme folder says.
for size in 16 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ "$(identify -format '%m %w %h' "$icon" 2>&1)" = "PNG $size $size" ] || fail "$icon is not a $size-pixel PNG"
done

# --version and --help answer with no display to open and leave every folder untouched.
mkdir -p "$work/untouched"
quiet_env=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb HOME="$work/untouched"
           XDG_CONFIG_HOME="$work/untouched" XDG_DATA_HOME="$work/untouched" XDG_RUNTIME_DIR="$work/untouched")
release=$(sed -n 's/.*<release version="\([0-9]*\)\.\([0-9]*\)\.\([0-9]*\)".*/Version \1.\2 build \3/p' "$metainfo")
version=$("${quiet_env[@]}" "$prefix/bin/towerwatch" --version) || fail "--version failed"
[ "$version" = "Towerwatch $release" ] || fail "--version says '$version', the metadata's release '$release'"
help=$("${quiet_env[@]}" "$prefix/bin/towerwatch" --help) || fail "--help failed"
for option in -startup --help --version; do
    grep -q -- "^ *$option " <<<"$help" || fail "--help does not describe $option"
done
[ -z "$(ls -A "$work/untouched")" ] || fail "--version or --help wrote $(ls -A "$work/untouched")"

# Started from the prefix on an empty configuration, it stays up and keeps its files per user.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen
start_program "$work/out.txt" "$prefix/bin/towerwatch" -startup
expect_running "$program_pid" "$work" "$work/out.txt" "installed, -startup" || exit 1
stop_program "$program_pid" "$work/out.txt" "installed, -startup" || exit 1
[ -d "$work/data/towerwatch" ] || fail "the installed copy has no folder under XDG_DATA_HOME"
[ "$(ls -A "$prefix/bin")" = towerwatch ] || fail "the installed copy wrote beside itself: $(ls -A "$prefix/bin")"
echo "installed, valid, and runs from the prefix"
