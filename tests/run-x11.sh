#!/usr/bin/env bash
# Runs a command in a private 1920 x 1080 X server with a window manager,
# which full-screen requests need.
set -u
# Xvfb picks a free display itself and writes its number to the pipe.
exec {displayfd}< <(Xvfb -displayfd 1 -screen 0 1920x1080x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r -t 20 number <&$displayfd || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
wm=$!
# Wait until the window manager has taken the screen.
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

"$@"
status=$?
kill "$wm" "$xvfb" 2>/dev/null
wait "$wm" 2>/dev/null
exit $status
