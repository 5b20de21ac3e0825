#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs what is missing (Debian or Ubuntu), builds, and runs the program
# or the tests.
#   ./build.sh run     build and start Ordavex
#   ./build.sh test    build and run every test
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools libsfml-dev libopenal-dev libgl-dev)
test_packages=(xvfb x11-utils openbox xdotool imagemagick xauth python3 weston qt6-wayland dpkg-dev desktop-file-utils appstream file
    lintian man-db
    mutter kwin-wayland xwayland dbus-daemon pipewire wireplumber gstreamer1.0-pipewire gir1.2-gstreamer-1.0
    python3-dbus python3-gi plasma-wayland-protocols libwayland-dev
    at-spi2-core gir1.2-atspi-2.0 orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng locales
    pipewire-pulse pulseaudio pulseaudio-utils libasound2-plugins)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null || ! sudo -v; then
            echo "$0 needs root or sudo to install: ${missing[*]}" >&2
            exit 1
        fi
        as_root=(sudo)
    fi
    "${as_root[@]}" apt-get update
    # Through env: sudo would drop a variable set in front of it.
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S . -B "${BUILD_DIR:-build}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "${BUILD_DIR:-build}" -j"$(nproc)"
}

case "${1:-}" in
run)
    install_missing "${packages[@]}"
    build -DORDAVEX_BUILD_TESTS=OFF
    exec "${BUILD_DIR:-build}/ordavex"
    ;;
test)
    install_missing "${packages[@]}" "${test_packages[@]}"
    shift
    build -DORDAVEX_BUILD_TESTS=ON "$@"
    cd "${BUILD_DIR:-build}"
    ctest --output-on-failure -j"$(nproc)"
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
