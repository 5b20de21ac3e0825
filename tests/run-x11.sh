#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs a command in a private X server with a window manager, which
# full-screen requests and window activation need. The screen is 1920 x 1080,
# or ORDAVEX_SCREEN (WIDTHxHEIGHT). ORDAVEX_SERVER_CPU, if set, keeps the
# server and the window manager on that processor (the benchmarks run the
# program on another).
set -u
pin=()
[ -n "${ORDAVEX_SERVER_CPU:-}" ] && pin=(taskset -c "$ORDAVEX_SERVER_CPU")
# Xvfb picks a free display itself and writes its number to the pipe.
exec {displayfd}< <("${pin[@]}" Xvfb -displayfd 1 -screen 0 "${ORDAVEX_SCREEN:-1920x1080}x24" -nolisten tcp 2>/dev/null)
xvfb=$!
read -r -t 30 number <&$displayfd || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb

# Starts openbox and waits until it has taken the screen; a loaded machine
# may need a while, and a second try.
wm=""
start_window_manager() {
    "${pin[@]}" openbox >/dev/null 2>&1 &
    wm=$!
    for _ in $(seq 150); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.2
    done
    kill "$wm" 2>/dev/null
    return 1
}
start_window_manager || start_window_manager || {
    echo "openbox did not start on $DISPLAY" >&2
    kill "$xvfb" 2>/dev/null
    exit 1
}

"$@"
status=$?
kill "$wm" "$xvfb" 2>/dev/null
wait "$wm" 2>/dev/null
exit $status
