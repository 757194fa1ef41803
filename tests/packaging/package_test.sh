#!/usr/bin/env bash
# Builds the Debian package from the build tree and reads it back, never installing it: the
# installed files inside, the control fields, the libraries found by dpkg-shlibdeps and the
# description taken from the metadata.
set -u
build=$1 id=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.txt" 2>&1 || { cat "$work/cpack.txt"; fail "cpack"; }
package=$(ls "$work"/*.deb 2>/dev/null | head -n 1)
[ -n "$package" ] || fail "no package made"

dpkg-deb -c "$package" | awk '{print $NF}' >"$work/contents.txt" || fail "dpkg-deb -c"
for f in usr/bin/towerwatch usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png; do
    grep -qx "\./$f" "$work/contents.txt" || fail "the package lacks /$f"
done

dpkg-deb -I "$package" >"$work/info.txt" || fail "dpkg-deb -I"
field() { dpkg-deb -f "$package" "$1"; }
[ "$(field Package)" = towerwatch ] || fail "package name $(field Package)"
[ "$(field Section)" = games ] || fail "section $(field Section)"
version=$(sed -n 's/^project(towerwatch VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
[ "$(field Version)" = "$version" ] || fail "version $(field Version), the project's $version"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
for lib in libqt6widgets6 libqt6network6 libstdc++6 libc6; do
    grep -q "\b$lib\b" <<<"$(field Depends)" || fail "Depends lacks $lib: $(field Depends)"
done
summary=$(sed -n 's:.*<summary>\(.*\)</summary>.*:\1:p' "$source/packaging/metainfo.xml.in")
[ "$(field Description | head -n 1)" = "$summary" ] || fail "synopsis '$(field Description | head -n 1)'"
first_words=$(sed -n 's:.*<p>\([^ ]* [^ ]* [^ ]*\).*:\1:p' "$source/packaging/metainfo.xml.in" | head -n 1)
grep -q "^  *$first_words" <<<"$(field Description)" || fail "the description lacks the metadata's text"
echo "package built: $(basename "$package")"
