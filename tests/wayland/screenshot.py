#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

"""The real ordavex program in a native Wayland session, seen on screen.

Run by tests/run-wayland.sh with weston's --debug, which lets
weston-screenshooter take the screen. The program must show itself full
screen: the dark top bar across the whole width, and under it the first
shuffled row of 1500 bars.

With --scale 2 (weston's --scale=2) the output has two device pixels to a
window pixel. The window must then look as at scale 1 once the screenshot
is brought back to window pixels, and its bars must be drawn in device
pixels: sharp, and filling the view from side to side.

Usage: screenshot.py [--scale N] path/to/ordavex [path/to/keep.png]
Needs weston-screenshooter and ImageMagick's convert; python3 stdlib only.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import run_e2e as e2e  # noqa: E402  the screen readers of the X11 end-to-end test

TOP_BAR = (0x1A, 0x1A, 0x1A)
VIEW_BACKGROUND = (0x11, 0x11, 0x11)


def screenshot(workdir, scale):
    """The screen in device pixels, and brought back to window pixels."""
    for old in os.listdir(workdir):
        os.remove(os.path.join(workdir, old))
    subprocess.run(["weston-screenshooter"], cwd=workdir, check=True, timeout=30, capture_output=True)
    png = os.path.join(workdir, os.listdir(workdir)[0])
    def read(*resize):
        ppm = subprocess.run(["convert", png, *resize, "-depth", "8", "ppm:-"], check=True, timeout=30,
                             capture_output=True).stdout
        return e2e.Image(ppm)

    device = read()
    return png, device, read("-sample", f"{100 / scale}%") if scale > 1 else device


def check_device_pixels(img, scale):
    """On the lowest row where all bars show, in device pixels: only the
    bars' pure colours and the view's background (an enlarged buffer
    blends them), bar edges on odd device pixels too (an enlarged buffer has
    them all on even ones), no gap wider than a bar, and margins alike on
    both sides."""
    left, right = round(e2e.VIEW_X * scale), round((e2e.VIEW_X + e2e.VIEW_W) * scale)
    base = e2e.find_base_row(img, scale)
    e2e.check(base is not None, "no bars in the view")
    row = [img.pixel(x, base) for x in range(left, right)]
    blended = [(left + i, p) for i, p in enumerate(row) if p != VIEW_BACKGROUND and not e2e.saturated(p)]
    e2e.check(not blended, f"blended pixels on the bars' base row {base}, first at {blended[:3]}")
    bars = [i for i, p in enumerate(row) if e2e.saturated(p)]
    first, last = bars[0], bars[-1]
    gaps = [b - a - 1 for a, b in zip(bars, bars[1:])]
    bar_width = e2e.VIEW_W * scale / 1500
    e2e.check(max(gaps) <= bar_width + 1, f"a gap of {max(gaps)} device pixels between the bars")
    margins = (first, len(row) - 1 - last)
    e2e.check(abs(margins[0] - margins[1]) <= 2 * scale and max(margins) < 0.02 * len(row),
              f"the bars leave {margins[0]} and {margins[1]} device pixels of the view on the left and right")
    odd_edges = sum(1 for i in range(first + 1, last + 1) if row[i] != row[i - 1] and (left + i) % 2)
    e2e.check(odd_edges > 100, f"only {odd_edges} bar edges on odd device pixels: an enlarged buffer")


def shows_program(img):
    """The window's top bar at the top of the screen (its lowest rows, under
    its controls, run from edge to edge), and bars under it."""
    if (img.width, img.height) != (e2e.SCREEN_W, e2e.SCREEN_H):
        return False
    return all(img.pixel(x, 95) == TOP_BAR for x in range(0, e2e.SCREEN_W, 5)) and e2e.find_base_row(img) is not None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--scale", type=int, default=1)
    parser.add_argument("binary")
    parser.add_argument("keep", nargs="?")
    args = parser.parse_args()
    binary, keep, scale = args.binary, args.keep, args.scale
    workdir = tempfile.mkdtemp(prefix="ordavex-wayland-")
    program = subprocess.Popen([binary], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        shots = []

        def probe():
            check_alive(program)
            shots[:] = [screenshot(workdir, scale)]
            device, shown = shots[0][1:]
            return (device.width, device.height) == (e2e.SCREEN_W * scale, e2e.SCREEN_H * scale) \
                and shows_program(shown)

        e2e.wait_for("the full-screen window with its top bar and bars", probe, timeout=60)
        png, device, img = shots[0]
        if keep:
            shutil.copy(png, keep)
        check_alive(program)
        if scale > 1:
            check_device_pixels(device, scale)
        e2e.check_many_shuffled_bars(img)
        print(f"PASS: full screen, top bar and 1500 shuffled bars on the Wayland screen at scale {scale}")
        return 0
    except e2e.Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    finally:
        program.terminate()
        program.wait(timeout=30)
        sys.stderr.write(program.stderr.read().decode(errors="replace"))
        shutil.rmtree(workdir, ignore_errors=True)


def check_alive(program):
    e2e.check(program.poll() is None, f"the program ended with code {program.returncode}")


if __name__ == "__main__":
    sys.exit(main())
