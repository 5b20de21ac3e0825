#!/usr/bin/env python3
"""The real ordavex program in a native Wayland session, seen on screen.

Run by tests/run-wayland.sh with weston's --debug, which lets
weston-screenshooter take the screen. The program must show itself full
screen: the dark top bar across the whole width, and under it the first
shuffled row of 1500 bars.

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


def shows_program(img):
    if (img.width, img.height) != (e2e.SCREEN_W, e2e.SCREEN_H):
        return False
    # The top bar's lowest rows, under its controls, from edge to edge.
    top_bar = all(img.pixel(x, 95) == TOP_BAR for x in range(0, e2e.SCREEN_W, 5))
    return top_bar and e2e.find_base_row(img) is not None


def main():
    binary = sys.argv[1]
    keep = sys.argv[2] if len(sys.argv) > 2 else None
    workdir = tempfile.mkdtemp(prefix="ordavex-wayland-")
    program = subprocess.Popen([binary], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        shots = []

        def probe():
            check_alive(program)
            shots[:] = [screenshot(workdir)]
            return shows_program(shots[0][1])

        e2e.wait_for("the full-screen window with its top bar and bars", probe, timeout=60)
        png, img = shots[0]
        if keep:
            shutil.copy(png, keep)
        e2e.check_many_shuffled_bars(img)
        check_alive(program)
        print("PASS: full screen, top bar and 1500 shuffled bars on the Wayland screen")
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
