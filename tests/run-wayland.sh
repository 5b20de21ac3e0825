#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs a command in a private headless weston compositor with Qt's native
# Wayland platform. The output is 1920 x 1080, or ORDAVEX_SCREEN
# (WIDTHxHEIGHT). The compositor's settings are those of tests/wayland/weston.ini.
# ORDAVEX_SERVER_CPU, if set, keeps the compositor on that processor (the
# benchmarks run the program on another).
set -u
pin=()
[ -n "${ORDAVEX_SERVER_CPU:-}" ] && pin=(taskset -c "$ORDAVEX_SERVER_CPU")
screen=${ORDAVEX_SCREEN:-1920x1080}
runtime=$(mktemp -d)
chmod 700 "$runtime"
socket="ordavex-$$"
export XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland
"${pin[@]}" weston --config="$(dirname "$(realpath "$0")")/wayland/weston.ini" --backend=headless-backend.so --use-pixman \
    --width="${screen%x*}" --height="${screen#*x}" --socket="$socket" \
    --idle-time=0 ${ORDAVEX_WESTON_ARGS:-} >"$runtime/weston.log" 2>&1 &
weston=$!
for _ in $(seq 150); do
    [ -S "$runtime/$socket" ] && break
    kill -0 "$weston" 2>/dev/null || break
    sleep 0.2
done
if [ ! -S "$runtime/$socket" ]; then
    echo "weston did not start:" >&2
    cat "$runtime/weston.log" >&2
    kill "$weston" 2>/dev/null
    rm -rf "$runtime"
    exit 1
fi

"$@"
status=$?
kill "$weston" 2>/dev/null
wait "$weston" 2>/dev/null
rm -rf "$runtime"
exit $status
