#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

"""The real ordavex program in a native Wayland session, seen on screen.

Run by tests/run-wayland.sh with weston's --debug, which lets
weston-screenshooter take the screen. The program must show itself full
screen: the dark top bar across the whole width, and under it the first
shuffled row of 1500 bars.

Only weston 10 (Debian 12) gives the window the full screen. Weston 14
(Debian 13) keeps its own panel at the top and places the window under it,
maximised; there the window is looked for under the panel, and the check of
the full-screen geometry is left out.

Usage: screenshot.py path/to/ordavex [path/to/keep.png]
Needs weston-screenshooter and ImageMagick's convert; python3 stdlib only.
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import run_e2e as e2e  # noqa: E402  the screen readers of the X11 end-to-end test

TOP_BAR = (0x1A, 0x1A, 0x1A)


def screenshot(workdir):
    for old in os.listdir(workdir):
        os.remove(os.path.join(workdir, old))
    subprocess.run(["weston-screenshooter"], cwd=workdir, check=True, timeout=30, capture_output=True)
    png = os.path.join(workdir, os.listdir(workdir)[0])
    ppm = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], check=True, timeout=30,
                         capture_output=True).stdout
    return png, e2e.Image(ppm)


def weston_gives_full_screen():
    version = subprocess.run(["weston", "--version"], capture_output=True, text=True).stdout
    return version.split()[-1].split(".")[0] == "10"


def window_top(img, full_screen):
    """Where the window's top bar begins, or None: its lowest rows, under
    its controls, run from edge to edge."""
    if (img.width, img.height) != (e2e.SCREEN_W, e2e.SCREEN_H):
        return None
    for top in [0] if full_screen else range(0, 100):
        if all(img.pixel(x, top + 95) == TOP_BAR for x in range(0, e2e.SCREEN_W, 5)):
            return top
    return None


def shows_program(img, full_screen):
    return window_top(img, full_screen) is not None and e2e.find_base_row(img) is not None


def main():
    binary = sys.argv[1]
    keep = sys.argv[2] if len(sys.argv) > 2 else None
    workdir = tempfile.mkdtemp(prefix="ordavex-wayland-")
    full_screen = weston_gives_full_screen()
    program = subprocess.Popen([binary], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        shots = []

        def probe():
            check_alive(program)
            shots[:] = [screenshot(workdir)]
            return shows_program(shots[0][1], full_screen)

        e2e.wait_for("the full-screen window with its top bar and bars", probe, timeout=60)
        png, img = shots[0]
        if keep:
            shutil.copy(png, keep)
        check_alive(program)
        if full_screen:
            e2e.check_many_shuffled_bars(img)
            print("PASS: full screen, top bar and 1500 shuffled bars on the Wayland screen")
        else:
            print("PASS: top bar and bars on the Wayland screen, under weston's panel")
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
