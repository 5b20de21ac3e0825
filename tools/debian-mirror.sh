# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Sourced by the scripts that bootstrap a fresh Debian root, so that they
# fetch from the mirror this machine's apt uses (a local one, one behind a
# proxy) rather than from an address of their own.
#   debian_mirror [security]
# prints the URI of the apt source of this machine that serves its own Debian
# release (its VERSION_CODENAME), or with `security` the one that serves
# that release's security updates. The same archive serves every release, so
# the URI does for a root of another release too. Reads the deb822 files
# /etc/apt/sources.list.d/*.sources and the one-line files
# /etc/apt/sources.list and /etc/apt/sources.list.d/*.list; with no such
# source it names the files it read and fails. The tests point
# DEBIAN_MIRROR_APT_DIR and DEBIAN_MIRROR_OS_RELEASE elsewhere.

# Prints "URI SUITE" for each suite of each enabled deb source.
apt_sources() {
    awk '
        function emit(   n, u, s, k) {
            if (types ~ /(^|[ \t])deb([ \t]|$)/ && enabled && uris != "") {
                split(uris, u, /[ \t]+/)
                n = split(suites, s, /[ \t]+/)
                for (k = 1; k <= n; ++k)
                    if (s[k] != "")
                        print u[1], s[k]
            }
            types = uris = suites = ""
            enabled = 1
        }
        FNR == 1 { if (deb822) emit(); deb822 = FILENAME ~ /\.sources$/ }
        deb822 && /^[ \t]*$/ { emit(); next }
        deb822 && /^[A-Za-z-]+:/ {
            field = tolower($1)
            value = $0
            sub(/^[^:]*:[ \t]*/, "", value)
            if (field == "types:") types = value
            if (field == "uris:") uris = value
            if (field == "suites:") suites = value
            if (field == "enabled:") enabled = tolower(value) != "no"
            next
        }
        !deb822 && $1 == "deb" {
            n = 2
            if ($n ~ /^\[/) {
                while (n < NF && $n !~ /\]$/) ++n
                ++n
            }
            print $n, $(n + 1)
        }
        BEGIN { enabled = 1 }
        END { if (deb822) emit() }
    ' "$@"
}

debian_mirror() {
    local apt=${DEBIAN_MIRROR_APT_DIR:-/etc/apt} os_release=${DEBIAN_MIRROR_OS_RELEASE:-/etc/os-release}
    local codename suite uri file
    codename=$(. "$os_release" && [ "${ID:-}" = debian ] && echo "${VERSION_CODENAME:-}")
    if [ -z "$codename" ]; then
        echo "$os_release names no Debian release: this machine's apt sources hold no Debian mirror" >&2
        return 1
    fi
    suite=$codename${1:+-$1}
    local files=()
    for file in "$apt"/sources.list.d/*.sources "$apt"/sources.list "$apt"/sources.list.d/*.list; do
        [ -f "$file" ] && files+=("$file")
    done
    [ ${#files[@]} -gt 0 ] && uri=$(apt_sources "${files[@]}" | awk -v suite="$suite" '$2 == suite { print $1; exit }')
    if [ -z "${uri:-}" ]; then
        echo "no apt source serves $suite in $apt/sources.list.d/*.sources, $apt/sources.list" \
            "or $apt/sources.list.d/*.list" >&2
        return 1
    fi
    echo "${uri%/}"
}
