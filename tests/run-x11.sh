#!/usr/bin/env bash
# Runs a command in a private 1920 x 1080 X server with a window manager,
# which full-screen requests need.
set -u
display=""
for n in $(seq 90 140); do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY="$display" QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5

"$@"
status=$?
kill "$wm" "$xvfb" 2>/dev/null
wait "$wm" "$xvfb" 2>/dev/null
exit $status
