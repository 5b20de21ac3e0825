#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# The mirror that tools/debian-mirror.sh reads from apt sources of each
# format, or the error it gives without one. The sources name local
# mirrors (file: URIs), read as any other.
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
URIs: file:/srv/off/debian
Suites: bookworm
Enabled: no

Types: deb-src deb
URIs: file:/srv/proxy/debian/ file:/srv/second/debian
Suites: bookworm bookworm-updates
Components: main

Types: deb
URIs: file:/srv/security/debian-security
Suites: bookworm-security
EOF
check deb822 "" file:/srv/proxy/debian
check deb822 security file:/srv/security/debian-security

setup oneline debian trixie
cat >"$work/oneline/sources.list" <<'EOF'
# deb file:/srv/commented/debian trixie main
deb-src file:/srv/source/debian trixie main
deb [arch=amd64 signed-by=/usr/share/keyrings/k.gpg] file:/srv/local/debian trixie main
deb file:/srv/local/debian-security trixie-security main
EOF
check oneline "" file:/srv/local/debian
check oneline security file:/srv/local/debian-security

setup listfile debian bookworm
echo 'deb file:/srv/list/debian bookworm main' >"$work/listfile/sources.list.d/mirror.list"
check listfile "" file:/srv/list/debian
check listfile security "error: no apt source serves bookworm-security in $work/listfile/sources.list.d/*.sources"

setup none debian bookworm
check none "" "error: no apt source serves bookworm in $work/none/sources.list.d/*.sources"

setup ubuntu ubuntu noble
echo 'deb file:/srv/archive/ubuntu noble main' >"$work/ubuntu/sources.list"
check ubuntu "" "error: $work/ubuntu/os-release names no Debian release"

[ $failures -eq 0 ] && echo "debian-mirror: all cases passed"
exit $((failures > 0))
