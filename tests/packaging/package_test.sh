#!/usr/bin/env bash
# Builds the Debian package from the build tree and reads it back, never installing it: the
# files inside, the control fields, the libraries dpkg-shlibdeps found, the metadata's summary.
set -u
build=$1 id=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.txt" 2>&1 || { cat "$work/cpack.txt"; fail "cpack"; }
package=$(ls "$work"/*.deb 2>/dev/null | head -n 1)
[ -n "$package" ] && dpkg-deb -I "$package" >/dev/null || fail "no readable package made"
contents=$(dpkg-deb -c "$package" | awk '{print $NF}')
for f in usr/bin/towerwatch usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png; do
    grep -qx "\./$f" <<<"$contents" || fail "the package lacks /$f"
done

field() { dpkg-deb -f "$package" "$1"; }
version=$(sed -n 's/^project(towerwatch VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
summary=$(sed -n 's:.*<summary>\(.*\)</summary>.*:\1:p' "$source/packaging/metainfo.xml.in")
[ "$(field Package) $(field Version) $(field Section)" = "towerwatch $version games" ] ||
    fail "package $(field Package) $(field Version) in $(field Section)"
[ "$(field Description | head -n 1)" = "$summary" ] || fail "synopsis '$(field Description | head -n 1)'"
for lib in libqt6widgets6 libqt6dbus6 libstdc++6 libssl3; do
    grep -q "\b$lib\b" <<<"$(field Depends)" || fail "Depends lacks $lib: $(field Depends)"
done
echo "package built: $(basename "$package")"
