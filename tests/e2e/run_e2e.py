#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

"""End-to-end test of the real ordavex program, driven as a user drives it.

It starts a private X server (Xvfb, 1920 x 1080) with openbox, starts the
program, and then only clicks, types and looks at the screen:

  1. the window opens with a shuffled row of 1500 bars;
  2. 12 in the bar count field and "Réinitialiser": 12 shuffled bars;
  3. delay 20, "Insertion Sort" in the combo box, then "Trier" (or Return);
  4. the 12 bars end in increasing order, each coloured by its hue;
  5. Escape ends the program with exit code 0.

With --variant sound the audio goes through OpenAL's wave writer into a
file, which is then checked: silence at start-up, a tone during the
reshuffle and the run, the end sweep rising through 1000 * v / 12 Hz for
v = 1..12, then silence. With --variant no-audio there is no usable audio
device: the run must work all the same and the program must say so in one
line, without error lines from the audio libraries.

Usage: run_e2e.py [--variant sound|no-audio] [--keep] path/to/ordavex
Needs Xvfb, openbox, xdotool and ImageMagick's import; python3 stdlib only.
"""

import argparse
import array
import colorsys
import os
import re
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time

SCREEN_W, SCREEN_H = 1920, 1080
VIEW_X, VIEW_Y, VIEW_W, VIEW_H = 5, 98, 1910, 955  # the graphics view on screen

# Centres of the controls (the top bar lies at the screen's top left).
COUNT_FIELD = (533 + 40, 15 + 15)
DELAY_FIELD = (557 + 40, 53 + 15)
START_BUTTON = (40 + 60, 17 + 30)
RESET_BUTTON = (170 + 80, 27 + 20)
COMBO_BOX = (700 + 150, 40 + 20)
COMBO_RECT = (700, 40, 300, 40)
INSERTION_SORT_INDEX = 7  # position in the combo box, from "Quick Sort" at 0

BARS = 12
DELAY_MS = 20
SWEEP_STEP = 1000 // BARS / 1000.0  # seconds per bar of the end sweep
SOUND_OFF = "ordavex: aucun périphérique audio utilisable, le son est coupé"
SOUND_LINE = re.compile(r"son|audio|sound", re.IGNORECASE)
AUDIO_ERROR = re.compile(r"AL lib|\[ALSOFT\]|openal|sfml|failed to open", re.IGNORECASE)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def log(message):
    print(f"[{time.monotonic() - START:6.2f}s] {message}", flush=True)


START = time.monotonic()


# ---------------------------------------------------------------- X session


def stop(procs):
    """Ends the processes, the last started first."""
    for proc in reversed(procs):
        if proc.poll() is None:
            proc.terminate()
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()


def start_xvfb(width=SCREEN_W, height=SCREEN_H):
    """A private X server of its own; returns its process and display."""
    read_end, write_end = os.pipe()
    # -displayfd lets the server take a free display number itself, so
    # that tests running side by side never share one.
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 20
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        stop([xvfb])
        raise Failure("Xvfb did not start")
    return xvfb, ":" + number.strip().decode()


def x_screenshot(env):
    """The root window of the X server of `env`."""
    ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env, capture_output=True,
                         timeout=30).stdout
    return Image(ppm)


class XSession:
    """A private X server with a window manager, and xdotool on it."""

    def __init__(self, workdir):
        xvfb, self.display = start_xvfb()
        self.procs = [xvfb]
        self.env = dict(os.environ, DISPLAY=self.display)
        self.procs.append(subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL, cwd=workdir))
        time.sleep(1.0)

    def close(self):
        stop(self.procs)

    def xdotool(self, *args, timeout=20):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True,
                                text=True, timeout=timeout)
        return result.stdout

    def click(self, point, repeat=1):
        self.xdotool("mousemove", point[0], point[1], "click", "--repeat", repeat, "--delay", 80, 1)
        time.sleep(0.2)

    def key(self, *keys):
        self.xdotool("key", "--delay", 50, *keys)
        time.sleep(0.2)

    def type_into(self, field, text):
        """Selects all of a field's text and types over it."""
        self.click(field)
        self.key("ctrl+a")
        self.xdotool("type", "--delay", 40, text)
        time.sleep(0.2)

    def screenshot(self):
        return x_screenshot(self.env)


# ---------------------------------------------------------------- screen


class Image:
    def __init__(self, ppm):
        self.ppm = ppm
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", ppm)
        check(header is not None and header.group(3) == b"255", "the screenshot is no 8-bit PPM")
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.pixels = ppm[header.end():]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def crop(self, rect):
        x, y, w, h = rect
        return b"".join(self.pixels[3 * (row * self.width + x):3 * (row * self.width + x + w)]
                        for row in range(y, y + h))

    def save(self, path):
        with open(path, "wb") as f:
            f.write(self.ppm)


def saturated(rgb):
    # Bars are fully saturated and fully bright: one channel at 255, one at 0.
    # The background, the frame and the controls are all greys.
    return max(rgb) >= 250 and min(rgb) <= 5


def find_base_row(img, scale=1):
    """The lowest row of the view on which most columns show a bar, on a
    screen of `scale` device pixels to a window pixel."""
    left, right = round(VIEW_X * scale), round((VIEW_X + VIEW_W) * scale)
    for y in range(round((VIEW_Y + VIEW_H) * scale) - 1, round(VIEW_Y * scale), -1):
        hits = sum(1 for x in range(left, right, 4) if saturated(img.pixel(x, y)))
        if hits > (right - left) // 8:
            return y
    return None


def bar_runs(img):
    """Reads the bars from the base row up: a list of runs of neighbouring
    columns that show the same colour at the same height, as
    (first column, width, height, colour)."""
    base = find_base_row(img)
    if base is None:
        return None, []
    columns = []
    for x in range(VIEW_X, VIEW_X + VIEW_W):
        colour = img.pixel(x, base)
        if not saturated(colour):
            columns.append((x, 0, None))
            continue
        # A bar is a solid rectangle with only background above it: find its
        # top by bisection.
        low, high = VIEW_Y, base  # img.pixel(x, high) has the bar's colour
        while low < high:
            mid = (low + high) // 2
            if img.pixel(x, mid) == colour:
                high = mid
            else:
                low = mid + 1
        columns.append((x, base - high + 1, colour))
    runs = []
    for x, height, colour in columns:
        if colour is None:
            continue
        if runs and runs[-1][0] + runs[-1][1] == x and runs[-1][2:] == (height, colour):
            first, width, _, _ = runs[-1]
            runs[-1] = (first, width + 1, height, colour)
        else:
            runs.append((x, 1, height, colour))
    return base, runs


def hue_of(rgb):
    h, _, _ = colorsys.rgb_to_hsv(*(c / 255.0 for c in rgb))
    return h * 360.0


def hue_distance(a, b):
    d = abs(a - b) % 360.0
    return min(d, 360.0 - d)


def expected_height(value, count):
    return int(value * (VIEW_H - 5) / count)  # trunc(v * 950 / N)


def expected_hue(value, count):
    return int(value * (360.0 / (count - 1))) % 360


def check_many_shuffled_bars(img):
    """The first row: about 1500 thin bars of many heights and colours."""
    base, runs = bar_runs(img)
    check(base is not None, "no bars in the view")
    covered = sum(width for _, width, _, _ in runs)
    check(covered > 0.9 * VIEW_W, f"bars cover only {covered} of {VIEW_W} columns")
    heights = [height for _, _, height, _ in runs]
    check(len(set(heights)) > 300, f"only {len(set(heights))} different bar heights")
    check(len({colour for *_, colour in runs}) > 100, "too few different bar colours")
    check(max(heights) > 0.9 * (VIEW_H - 5), f"the tallest bar is only {max(heights)} px high")
    rises = sum(1 for a, b in zip(heights, heights[1:]) if b > a)
    falls = sum(1 for a, b in zip(heights, heights[1:]) if b < a)
    check(min(rises, falls) > 0.3 * (rises + falls), f"not shuffled: {rises} rises, {falls} falls")
    return base, len(runs)


def read_bars(img, count):
    """The `count` bars of the view as values, checked for their width, their
    height and their colour. Returns None while the view shows another row."""
    base, runs = bar_runs(img)
    if base is None or len(runs) != count:
        return None
    width = (VIEW_W - 5) / count
    values = []
    for first, run_width, height, colour in runs:
        if abs(run_width - width) > 3:
            return None
        matches = [v for v in range(1, count + 1) if abs(expected_height(v, count) - height) <= 2]
        if len(matches) != 1:
            return None
        value = matches[0]
        hue = hue_of(colour)
        check(hue_distance(hue, expected_hue(value, count)) <= 2.5,
              f"bar of value {value} has hue {hue:.1f}, expected {expected_hue(value, count)}")
        # The whole bar is of one colour, down to the common base line.
        middle = first + run_width // 2
        for y in range(base - height + 1, base + 1, max(1, height // 8)):
            check(img.pixel(middle, y) == colour, f"bar of value {value} is not of one colour")
        check(not saturated(img.pixel(middle, base + 1)), f"bar of value {value} reaches below the base")
        values.append(value)
    return values


def listens(path):
    """Whether a server takes connections on the Unix socket at path."""
    with socket.socket(socket.AF_UNIX) as client:
        try:
            client.connect(path)
            return True
        except OSError:
            return False


def wait_for(what, probe, timeout):
    """Polls probe() until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(0.25)


# ---------------------------------------------------------------- sound


def read_wav(path):
    """Channel 0 of a PCM or float WAV file as floats in -1..1, and the rate."""
    with open(path, "rb") as f:
        data = f.read()
    check(data[:4] == b"RIFF" and data[8:12] == b"WAVE", "the sound file is no WAV file")
    pos, fmt, raw = 12, None, None
    while pos + 8 <= len(data):
        chunk, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size]
        if chunk == b"fmt ":
            tag, channels, rate, _, _, bits = struct.unpack("<HHIIHH", body[:16])
            if tag == 0xFFFE:  # WAVE_FORMAT_EXTENSIBLE: the real tag leads the sub-format
                tag = struct.unpack("<H", body[24:26])[0]
            fmt = (tag, channels, rate, bits)
        elif chunk == b"data":
            raw = data[pos + 8:] if size == 0 else body  # a header left unfinished
            break
        pos += 8 + size + (size & 1)
    check(fmt is not None and raw is not None, "the WAV file has no fmt or data chunk")
    tag, channels, rate, bits = fmt
    if tag == 1 and bits == 16:
        samples, scale = array.array("h"), 1.0 / 32768.0
    elif tag == 3 and bits == 32:
        samples, scale = array.array("f"), 1.0
    else:
        raise Failure(f"unexpected WAV format {fmt}")
    samples.frombytes(raw[:len(raw) - len(raw) % samples.itemsize])
    if sys.byteorder != "little":
        samples.byteswap()
    return [s * scale for s in samples[::channels]], rate


def loud_blocks(samples, block):
    """Per block of `block` samples: whether the tone sounds in it."""
    result = []
    for start in range(0, len(samples) - block + 1, block):
        chunk = samples[start:start + block]
        result.append(sum(s * s for s in chunk) / block > 0.003 ** 2)
    return result


def segments(loud, max_gap):
    """Runs of loud blocks as (first, end) block indices, gaps of at most
    max_gap blocks bridged."""
    runs = []
    for i, is_loud in enumerate(loud):
        if not is_loud:
            continue
        if runs and i - runs[-1][1] <= max_gap:
            runs[-1][1] = i + 1
        else:
            runs.append([i, i + 1])
    return runs


def rising_crossings(samples, first, end):
    """Positions (fractional sample indices) where the signal rises through 0."""
    crossings = []
    for i in range(first, end - 1):
        a, b = samples[i], samples[i + 1]
        if a < 0.0 <= b:
            crossings.append(i + a / (a - b))
    return crossings


def pitch_plateaus(samples, rate, first, end, count):
    """The pitches heard over the range, as bar values: a list of
    [value or None, start time, end time], one entry per stretch of periods
    that sound at the same bar's pitch. Each period between two rising zero
    crossings is measured on its own, so that short steps are seen too."""
    crossings = rising_crossings(samples, first, end)
    plateaus = []
    for a, b in zip(crossings, crossings[1:]):
        value = bar_of(rate / (b - a), count)
        if plateaus and plateaus[-1][0] == value:
            plateaus[-1][2] = b / rate
            plateaus[-1][3] += 1
        else:
            plateaus.append([value, a / rate, b / rate, 1])
    # A period that straddles a change of pitch may read as any pitch: only
    # stretches of three periods or more count.
    return [p[:3] for p in plateaus if p[0] is not None and p[3] >= 3]


def bar_of(frequency, count):
    """The bar value whose pitch (pitch offset 0) is this frequency, if any."""
    if frequency is None:
        return None
    value = round(frequency * count / 1000.0)
    if 1 <= value <= count and abs(frequency - 1000.0 * value / count) <= 0.04 * 1000.0 * value / count:
        return value
    return None


def check_sound(path):
    samples, rate = read_wav(path)
    block = rate // 100  # 10 ms
    loud = loud_blocks(samples, block)
    parts = segments(loud, max_gap=3)
    log("sound: tone at " + ", ".join(f"{a / 100:.2f}-{b / 100:.2f}s" for a, b in parts)
        + f" of {len(loud) / 100:.2f}s")
    check(len(parts) >= 2, "expected a tone for the reshuffle and one for the run")
    check(parts[0][0] > 50, "the program made a sound before the first reshuffle")
    run_first, run_end = parts[-1]
    check(len(loud) - run_end >= 100, "less than a second of silence after the end sweep")

    sweep = BARS * SWEEP_STEP
    run_length = (run_end - run_first) / 100.0
    check(run_length > sweep + 0.3, f"the run and its end sweep sound for only {run_length:.2f}s")

    plateaus = pitch_plateaus(samples, rate, run_first * block, run_end * block, BARS)
    merged = []
    for value, start, end in plateaus:
        if merged and merged[-1][0] == value:
            merged[-1][2] = end
        else:
            merged.append([value, start, end])
    log("sound: pitches of the run (bar values) " + " ".join(str(v) for v, _, _ in merged))

    # The end sweep: the last pitches heard, in order, are those of the bars
    # 1..12, each for about one sweep step, and the tone ends with the last.
    check(len(merged) > BARS and [v for v, _, _ in merged[-BARS:]] == list(range(1, BARS + 1)),
          "the end sweep does not rise through the pitches of bars 1..12")
    sweep_part = merged[-BARS:]
    # The audio library applies a new pitch with its next block of samples
    # (about 23 ms), and the timer has its own jitter: steps vary around 83 ms.
    tone_end = run_end / 100.0
    starts = [start for _, start, _ in sweep_part] + [tone_end]
    steps = [b - a for a, b in zip(starts, starts[1:])]
    check(all(0.3 * SWEEP_STEP < step < 2.0 * SWEEP_STEP for step in steps),
          "end sweep steps of unexpected length: " + " ".join(f"{step * 1000:.0f}ms" for step in steps))
    check(abs(tone_end - starts[0] - BARS * SWEEP_STEP) < 0.25,
          f"the end sweep lasts {tone_end - starts[0]:.2f}s, expected about {BARS * SWEEP_STEP:.2f}s")

    # During the run, the tone follows the bars moved: with 12 bars the pitch
    # offset is 0, and the pitches heard are those of the bars.
    run_values = {v for v, start, _ in merged[:-BARS] if start < sweep_part[0][1] - SWEEP_STEP}
    check(len(run_values) >= 3, f"the run sounds at too few bar pitches: {sorted(run_values)}")


# ---------------------------------------------------------------- the run


def run(binary, variant, workdir):
    session = XSession(workdir)
    app = None
    try:
        log(f"X server on {session.display}")
        env = dict(session.env, QT_QPA_PLATFORM="xcb")
        runtime_dir = os.path.join(workdir, "runtime")
        os.mkdir(runtime_dir, 0o700)
        env["XDG_RUNTIME_DIR"] = runtime_dir
        env.pop("ALSOFT_CONF", None)
        env.pop("ALSOFT_DRIVERS", None)
        wav = os.path.join(workdir, "out.wav")
        if variant == "sound":
            conf = os.path.join(workdir, "alsoft.conf")
            with open(conf, "w") as f:
                f.write("[general]\ndrivers=wave\nchannels=mono\nsample-type=int16\nfrequency=44100\n"
                        f"[wave]\nfile={wav}\n")
            env["ALSOFT_CONF"] = conf
        else:
            env["ALSOFT_DRIVERS"] = "nonexistent"

        stderr_path = os.path.join(workdir, "stderr.txt")
        with open(stderr_path, "wb") as stderr:
            app = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL, stderr=stderr,
                                   cwd=workdir)
        windows = session.xdotool("search", "--sync", "--onlyvisible", "--class", "ordavex", timeout=30)
        check(windows.strip(), "the window did not appear")
        log("window shown")

        def first_row():
            img = session.screenshot()
            try:
                return img, check_many_shuffled_bars(img)
            except Failure:
                return None  # not painted yet

        img, (base, runs) = wait_for("the first row of bars", first_row, 30)
        img.save(os.path.join(workdir, "1-start.ppm"))
        log(f"start: {runs} bar columns of varied heights and colours on row {base}")

        session.type_into(COUNT_FIELD, str(BARS))
        session.click(RESET_BUTTON)

        def shuffled_row():
            img = session.screenshot()
            values = read_bars(img, BARS)
            return (img, values) if values else None

        img, values = wait_for("12 reshuffled bars", shuffled_row, 30)
        check(sorted(values) == list(range(1, BARS + 1)), f"bars after the reshuffle: {values}")
        check(values != sorted(values), "the reshuffle left the bars in order")
        img.save(os.path.join(workdir, "2-reshuffled.ppm"))
        log(f"reshuffled: {values}")
        time.sleep(0.5)  # lets the last animation ticks and the tone's stop pass

        session.type_into(DELAY_FIELD, str(DELAY_MS))
        combo_before = session.screenshot().crop(COMBO_RECT)
        session.click(COMBO_BOX)
        session.key(*["Down"] * INSERTION_SORT_INDEX)
        session.key("Return")
        time.sleep(0.3)
        check(session.screenshot().crop(COMBO_RECT) != combo_before, "the combo box choice did not change")
        log("Insertion Sort chosen, delay 20 ms")

        if variant == "sound":
            session.click(START_BUTTON)
        else:
            session.key("Return")

        def sorted_row():
            img = session.screenshot()
            values = read_bars(img, BARS)
            return (img, values) if values == list(range(1, BARS + 1)) else None

        wait_for("the bars in order", sorted_row, 30)
        log("sorted")
        time.sleep(BARS * SWEEP_STEP + 1.5)  # the end sweep, then silence
        img = session.screenshot()
        img.save(os.path.join(workdir, "3-sorted.ppm"))
        check(read_bars(img, BARS) == list(range(1, BARS + 1)), "the bars changed during the end sweep")

        session.key("Escape")
        try:
            code = app.wait(15)
        except subprocess.TimeoutExpired:
            raise Failure("Escape did not end the program")
        check(code == 0, f"exit code {code} after Escape")
        log("Escape: exit code 0")
        app = None

        with open(stderr_path, encoding="utf-8", errors="replace") as f:
            lines = [line.rstrip("\n") for line in f if line.strip()]
        for line in lines:
            log(f"stderr: {line}")
        check(not any(AUDIO_ERROR.search(line) for line in lines), "error lines from the audio libraries")
        sound_lines = [line for line in lines if SOUND_LINE.search(line)]
        if variant == "sound":
            check(not sound_lines, "the program complains about the sound although it has a device")
            check_sound(wav)
        else:
            check(sound_lines == [SOUND_OFF], f"expected the line '{SOUND_OFF}' once about the sound, "
                  f"got {sound_lines}")
    except Failure:
        if app is not None:
            session.screenshot().save(os.path.join(workdir, "failure.ppm"))
        raise
    finally:
        if app is not None and app.poll() is None:
            app.kill()
            app.wait()
        session.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("binary")
    parser.add_argument("--variant", choices=("sound", "no-audio"), default="sound")
    parser.add_argument("--keep", action="store_true", help="keep the screenshots and the sound file")
    args = parser.parse_args()
    for tool in ("Xvfb", "openbox", "xdotool", "import"):
        if shutil.which(tool) is None:
            print(f"missing tool: {tool}", file=sys.stderr)
            return 1

    workdir = tempfile.mkdtemp(prefix="ordavex-e2e-")
    try:
        run(os.path.abspath(args.binary), args.variant, workdir)
    except (Failure, subprocess.TimeoutExpired) as error:
        print(f"FAIL ({args.variant}): {error}\nscreenshots, sound and stderr kept in {workdir}", flush=True)
        return 1
    print(f"PASS ({args.variant}): all checks passed in {time.monotonic() - START:.1f}s", flush=True)
    if args.keep:
        print(f"files kept in {workdir}")
    else:
        shutil.rmtree(workdir, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
