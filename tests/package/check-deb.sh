#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a scratch
# prefix and checks it as a desktop sees it: the package fields, the menu
# entry, the AppStream data, the icons, and a start of the unpacked program in
# a real window.
#   check-deb.sh CPACK BUILD_DIR HOMEPAGE_URL
# Needs dpkg-dev, desktop-file-utils, appstream, file, xvfb, openbox, xdotool.
set -euo pipefail
cpack=$1 build=$(realpath "$2") homepage=$3
source=$(realpath "$(dirname "$0")/../..")
work=$build/package-check
root=$work/root

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli file Xvfb openbox xdotool; do
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
[ -f "$root/usr/share/doc/ordavex/Renogare-LICENSE.txt" ] || fail "font licence not installed"

# Start the unpacked program in a real X11 session: its window must appear and
# it must still be running a few seconds later.
"$source/tests/run-x11.sh" bash -c '
    "$1" &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "^Ordavex$" | head -n1) || true
    sleep 3
    alive=0
    kill -0 $pid 2>/dev/null && alive=1
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null
    [ -n "$window" ] || { echo "FAIL: no Ordavex window" >&2; exit 1; }
    [ $alive = 1 ] || { echo "FAIL: ordavex died" >&2; exit 1; }
    echo "ordavex ran in window $window"
' _ "$program"
echo "package check passed"
