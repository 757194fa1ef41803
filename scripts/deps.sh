#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run need, when any is missing.
# Sourced by scripts/run and scripts/test.
tw_packages=(cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
             libcpp-httplib-dev fonts-wine xvfb x11-apps imagemagick curl libssl-dev openssl
             nginx-light desktop-file-utils appstream dpkg-dev dbus tzdata faketime
             qt6-base-private-dev qt6-wayland libwayland-dev wayland-protocols weston)
# The Windows build: the mingw-w64 cross compiler (posix threads), Wine to run its tests and
# NSIS for its installer.
tw_windows_packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 nsis)

# tw_install_deps [more packages...]: installs what is missing of tw_packages and the rest.
tw_install_deps() {
    local missing=()
    for p in "${tw_packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages. Install them with:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null || true
    apt-get install -y -q "${missing[@]}" >/dev/null
}
