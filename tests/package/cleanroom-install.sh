#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the Debian package on a freshly bootstrapped, minimal Debian 12
# and starts it there. This catches a dependency the package fails to name,
# which the other tests cannot: they run where everything is installed.
#   cleanroom-install.sh BUILD_DIR
# BUILD_DIR is a configured and built tree. Needs root, mmdebstrap, the
# Debian mirror of this machine's apt sources (tools/debian-mirror.sh), and
# xvfb, openbox and xdotool. It takes a minute or two, so CI runs it
# (.ci/run) rather than ctest.
#
# Everything that mounts runs in a private mount namespace: no mount can
# outlive the script, however it ends, and the scratch root is removed from
# outside it, where nothing is mounted in the root.
set -euo pipefail
source=$(realpath "$(dirname "$0")/../..")
# shellcheck source=../../tools/debian-mirror.sh
. "$source/tools/debian-mirror.sh"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# In the namespace: bootstrap Debian 12 and install the package with
# apt-get install --no-install-recommends, then start the program in that
# root with its own environment, on an X server of the machine whose socket
# is bound into the root.
inside() {
    local work=$1 mirror=$2 security=$3 root=$1/root debs deb version installed missing
    debs=("$work"/deb/ordavex_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one ordavex_*.deb"
    deb=$(basename "${debs[0]}")
    version=$(dpkg-deb --field "${debs[0]}" Version)

    # The sources of a default Debian 12 installation.
    mmdebstrap --variant=apt --mode=root \
        --customize-hook="copy-in ${debs[0]} /tmp" \
        --customize-hook="chroot \"\$1\" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y --no-install-recommends /tmp/$deb" \
        --customize-hook='rm "$1"/tmp/*.deb' \
        bookworm "$root" \
        "deb $mirror bookworm main" \
        "deb $mirror bookworm-updates main" \
        "deb $security bookworm-security main" \
        >"$work/mmdebstrap.log" 2>&1 \
        || { tail -n 40 "$work/mmdebstrap.log"; fail "bootstrapping Debian 12 with the package"; }
    echo "bootstrapped Debian 12 and installed $deb in $SECONDS s"

    installed=$(chroot "$root" dpkg-query -W -f='${Version} ${Status}' ordavex) || fail "ordavex is not installed"
    [ "$installed" = "$version install ok installed" ] || fail "ordavex is '$installed', not $version"
    missing=$(chroot "$root" ldd /usr/bin/ordavex | grep 'not found') && fail "libraries not found: $missing"

    mkdir -p /tmp/.X11-unix "$root/tmp/.X11-unix"
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    # shellcheck disable=SC2016 # $DISPLAY is the one run-x11.sh sets
    "$source/tests/run-x11.sh" "$source/tests/package/expect-window.sh" bash -c '
        exec chroot "$1" env -i PATH=/usr/bin:/bin HOME=/root QT_QPA_PLATFORM=xcb DISPLAY="$DISPLAY" \
            /usr/bin/ordavex' _ "$root" || fail "the installed program did not show its window"
    umount "$root/tmp/.X11-unix" "$root/dev" "$root/sys" "$root/proc"
}

if [ "${1:-}" = --inside ]; then
    inside "$2" "$3" "$4"
    exit
fi

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || fail "needs root"
for tool in cpack dpkg-deb mmdebstrap unshare Xvfb openbox xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
done
build=$(realpath "$1")
mirror=$(debian_mirror) && security=$(debian_mirror security) || fail "no Debian mirror to bootstrap from"
echo "bootstrapping from $mirror and $security"
work=$(mktemp -d "${TMPDIR:-/tmp}/ordavex-cleanroom.XXXXXX")
# --one-file-system: should a mount of mmdebstrap's survive it, never reach
# through it.
trap 'rm -rf --one-file-system "$work"' EXIT
trap 'exit 130' INT TERM HUP

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack"; }
unshare --mount --propagation private "$0" --inside "$work" "$mirror" "$security"
echo "clean-room install passed in $SECONDS s"
