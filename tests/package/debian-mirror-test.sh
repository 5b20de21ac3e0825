#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# The mirror that tools/debian-mirror.sh reads from apt sources of each
# format, or the error it gives without one.
set -u
. "$(dirname "$0")/../../tools/debian-mirror.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# check NAME ARGUMENT EXPECTED, with the apt directory that NAME's set-up made:
# EXPECTED is the URI printed, or "error: TEXT" for a failure whose message
# holds TEXT.
check() {
    local name=$1 argument=$2 expected=$3 output status
    output=$(DEBIAN_MIRROR_APT_DIR=$work/$name DEBIAN_MIRROR_OS_RELEASE=$work/$name/os-release \
        debian_mirror $argument 2>&1)
    status=$?
    if [[ $expected == error:* ]]; then
        [ $status -ne 0 ] && [[ $output == *"${expected#error: }"* ]] && return
    else
        [ $status -eq 0 ] && [ "$output" = "$expected" ] && return
    fi
    echo "FAIL: $name ${argument:-main}: got '$output' (status $status), expected '$expected'"
    failures=$((failures + 1))
}

# setup NAME ID CODENAME: an apt directory whose files the caller then writes.
setup() {
    mkdir -p "$work/$1/sources.list.d"
    printf 'ID=%s\nVERSION_CODENAME=%s\n' "$2" "$3" >"$work/$1/os-release"
}

setup deb822 debian bookworm
cat >"$work/deb822/sources.list.d/debian.sources" <<'EOF'
Types: deb
# a comment inside the stanza
URIs: http://off.example/debian
Suites: bookworm
Enabled: no

Types: deb-src deb
URIs: http://proxy.example:3142/debian/ http://second.example/debian
Suites: bookworm bookworm-updates
Components: main

Types: deb
URIs: http://security.example/debian-security
Suites: bookworm-security
EOF
check deb822 "" http://proxy.example:3142/debian
check deb822 security http://security.example/debian-security

setup oneline debian trixie
cat >"$work/oneline/sources.list" <<'EOF'
# deb http://commented.example/debian trixie main
deb-src http://source.example/debian trixie main
deb [arch=amd64 signed-by=/usr/share/keyrings/k.gpg] http://local.example/debian trixie main
deb http://local.example/debian-security trixie-security main
EOF
check oneline "" http://local.example/debian
check oneline security http://local.example/debian-security

setup listfile debian bookworm
echo 'deb http://list.example/debian bookworm main' >"$work/listfile/sources.list.d/mirror.list"
check listfile "" http://list.example/debian
check listfile security "error: no apt source serves bookworm-security in $work/listfile/sources.list.d/*.sources"

setup none debian bookworm
check none "" "error: no apt source serves bookworm in $work/none/sources.list.d/*.sources"

setup ubuntu ubuntu noble
echo 'deb http://archive.example/ubuntu noble main' >"$work/ubuntu/sources.list"
check ubuntu "" "error: $work/ubuntu/os-release names no Debian release"

[ $failures -eq 0 ] && echo "debian-mirror: all cases passed"
exit $((failures > 0))
