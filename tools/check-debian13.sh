#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds Ordavex and runs every test, as `./build.sh test` does, in a fresh
# minimal Debian 13 (trixie) root: the README's test command on a machine that
# has nothing installed yet. The root lives in a temporary directory and is
# removed at the end; nothing is kept from one run to the next.
#   tools/check-debian13.sh
# Run as root; needs mmdebstrap and the Debian mirror of this machine's apt
# sources (tools/debian-mirror.sh).
set -euo pipefail
source=$(realpath "$(dirname "$0")/..")
started=$SECONDS
# shellcheck source=debian-mirror.sh
. "$source/tools/debian-mirror.sh"

[ "$(id -u)" -eq 0 ] || { echo "run as root" >&2; exit 1; }
command -v mmdebstrap >/dev/null || { echo "mmdebstrap is missing" >&2; exit 1; }
mirror=$(debian_mirror) || exit 1
echo "bootstrapping Debian 13 from $mirror"

# The work tree as git sees it, uncommitted changes included and builds left
# out, goes into the root as /ordavex.
tarball=$(mktemp --suffix=.tar)
trap 'rm -f "$tarball"' EXIT
git -C "$source" ls-files -z --cached --others --exclude-standard \
    | (cd "$source" && while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done) \
    | tar -C "$source" --null -T - -cf "$tarball"

# The unshare mode keeps the root's mounts (/proc, /sys, /dev) and processes
# in namespaces of their own, which end with mmdebstrap whatever happens. The
# /dev/null target makes the root a temporary directory. The build and tests
# see a plain environment, not the caller's. In the hooks, $1 is the root's
# path, which mmdebstrap's shell expands.
# shellcheck disable=SC2016
mmdebstrap --mode=unshare --variant=apt \
    --customize-hook='mkdir "$1/ordavex"' \
    --customize-hook="tar-in $tarball /ordavex" \
    --customize-hook='chroot "$1" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
                          /ordavex/build.sh test -DORDAVEX_WERROR=ON' \
    trixie /dev/null "$mirror"
echo "Debian 13 build and tests: $((SECONDS - started)) s"
