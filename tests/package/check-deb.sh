#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the Debian package from a finished build, unpacks it into a scratch
# prefix and checks it as a desktop sees it: the package fields, the menu
# entry, the AppStream data, the icons, and a start of the unpacked program in
# a real window.
#   check-deb.sh CPACK BUILD_DIR HOMEPAGE_URL
# Needs dpkg-dev, desktop-file-utils, appstream, file, lintian, man-db, xvfb,
# openbox, xdotool.
set -euo pipefail
cpack=$1 build=$(realpath "$2") homepage=$3
source=$(realpath "$(dirname "$0")/../..")
work=$build/package-check
root=$work/root

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli file lintian man Xvfb openbox xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
done

rm -rf "$work"
mkdir -p "$work"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/ordavex_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one ordavex_*.deb in $work"
deb=${debs[0]}
echo "built $(basename "$deb") ($(stat -c %s "$deb") bytes)"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = ordavex ] || fail "Package is '$(field Package)'"
[ "$(field Section)" = education ] || fail "Section is '$(field Section)'"
[ "$(field Homepage)" = "$homepage" ] || fail "Homepage is '$(field Homepage)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
# The dependencies come from dpkg-shlibdeps: the program's own libraries must be there.
depends=$(field Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libsfml-audio libsfml-system libstdc++6; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib"
done

# What a Debian maintainer would check first. Informational tags are shown,
# errors and warnings fail (lintian warns when run as root, outside its tags).
status=0
report=$(lintian --fail-on error,warning --display-info "$deb" 2>&1) || status=$?
echo "$report"
if [ $status -ne 0 ] || grep -qE '^[EW]: ' <<<"$report"; then fail "lintian"; fi

dpkg-deb -x "$deb" "$root"
program=$root/usr/bin/ordavex
[ -x "$program" ] || fail "no /usr/bin/ordavex"
file -L "$program" | grep -q 'ELF.*, stripped' || fail "ordavex is not a stripped ELF: $(file -L "$program")"

desktop=$root/usr/share/applications/org.ordavex.Ordavex.desktop
[ -f "$desktop" ] || fail "no desktop entry"
# Hints are advice (two main categories are meant); errors and warnings are not.
report=$(desktop-file-validate "$desktop") || { echo "$report"; fail "desktop-file-validate"; }
if grep -v ': hint: ' <<<"$report" | grep .; then fail "desktop-file-validate warns"; fi
grep -qx 'Exec=ordavex' "$desktop" || fail "Exec is not ordavex"
grep -qx 'Icon=ordavex' "$desktop" || fail "Icon is not ordavex"

metainfo=$root/usr/share/metainfo/org.ordavex.Ordavex.metainfo.xml
[ -f "$metainfo" ] || fail "no metainfo"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -qF "<url type=\"homepage\">$homepage</url>" "$metainfo" || fail "metainfo homepage is not $homepage"

sizes=0
for png in "$source"/data/icons/ordavex-*.png; do
    size=${png##*-}
    size=${size%.png}
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/ordavex.png
    file "$icon" | grep -q "PNG image data, $size x $size," || fail "icon $icon: $(file "$icon")"
    sizes=$((sizes + 1))
done
[ $sizes -ge 6 ] || fail "only $sizes icon sizes"
doc=$root/usr/share/doc/ordavex
# The program under the GPL, the font under its own licence, whose text the
# copyright file holds once and nothing else repeats.
sed -n '/^Files: \*$/,/^$/p' "$doc/copyright" | grep -qx 'License: GPL-3+' \
    || fail "the copyright file does not put the program under GPL-3+"
grep -qF '/usr/share/common-licenses/GPL-3' "$doc/copyright" || fail "the copyright file does not point to the GPL"
grep -qx 'Files: res/Renogare.ttf' "$doc/copyright" && grep -qx 'License: OFL-1.1' "$doc/copyright" \
    || fail "the copyright file does not cover the font"
[ "$(grep -rlF 'SIL OPEN FONT LICENSE' "$root/usr/share" | wc -l)" -eq 1 ] || fail "the font's licence is installed more than once"
grep -qF '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "metainfo lacks the project licence"
[ "$(zcat "$doc/changelog.gz" | head -n1 | cut -d' ' -f1-2)" = "ordavex ($(field Version))" ] \
    || fail "the changelog does not start with version $(field Version)"

# The manual page says what the README says about each control, word for
# word, and gives the sound-off line (rendered in UTF-8 whatever the locale).
flat() { tr -s ' \n' '  ' | sed 's/\xe2\x80\x90/-/g; s/^ //; s/ $//'; }
manual=$(LC_ALL=C.UTF-8 MANWIDTH=1000 man --nh --nj -l "$root/usr/share/man/man1/ordavex.1.gz" | flat)
controls=$(sed -n '/^## Controls/,/^## [^C]/p' "$source/README.md" | grep '^| ' | tail -n +3)
[ "$(wc -l <<<"$controls")" -ge 7 ] || fail "no table of controls in the README"
while IFS='|' read -r _ control effect _; do
    for text in "$control" "$effect"; do
        text=$(flat <<<"${text//\*\*/}")
        grep -qF -- "$text" <<<"$manual" || fail "the manual page lacks the README's \"$text\""
    done
done <<<"$controls"
grep -qF 'ordavex: aucun périphérique audio utilisable, le son est coupé' <<<"$manual" \
    || fail "the manual page lacks the sound-off line"

# Start the unpacked program in a real X11 session: its window must appear and
# it must still be running a few seconds later.
"$source/tests/run-x11.sh" "$source/tests/package/expect-window.sh" "$program" || fail "the program's window"
echo "package check passed"
