#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Starts a command that runs ordavex on $DISPLAY, checks that its window
# appears and that it still runs a few seconds later, then ends it.
#   expect-window.sh COMMAND [ARG...]
# Run it under tests/run-x11.sh; needs xdotool.
set -u
"$@" &
pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Ordavex$' | head -n1) || true
sleep 3
alive=0
kill -0 $pid 2>/dev/null && alive=1
kill $pid 2>/dev/null
wait $pid 2>/dev/null
[ -n "$window" ] || { echo "FAIL: no Ordavex window" >&2; exit 1; }
[ $alive = 1 ] || { echo "FAIL: ordavex died" >&2; exit 1; }
echo "ordavex ran in window $window"
