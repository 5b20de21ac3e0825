#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

"""The real ordavex program playing through a real sound server that goes
away and comes back, as after a restart or a crash of the desktop's sound
server, or at a session start where the server comes up late.

In a private X server with openbox and a sound server of its own (PipeWire
with WirePlumber and its PulseAudio service, or PulseAudio), whose one
output is a null sink whose monitor is recorded, it checks that the tone is
heard again, at the pitch of a bar:

  1. in a run, after the server is killed and started again;
  2. in the next run, after the server was killed and started again while
     the program stood idle;
  3. in a run of a program started while no server answered, once the
     server is there;

each within a few seconds of the server's return, and that the program
said, on its standard error, once that the sound was lost and once that it
is back, and nothing of the audio library's own.

Usage: soundserver.py --server pipewire|pulseaudio path/to/ordavex
Needs Xvfb, openbox, xdotool, ImageMagick's import, pipewire, wireplumber
and pipewire-pulse, or pulseaudio; pactl and parec, and ALSA's pulse plugin.
"""

import argparse
import array
import math
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

import run_e2e as e2e

check, log = e2e.check, e2e.log
BARS = 12
DELAY_MS = 400
RATE = 44100
SINK = "ordavex_test"
LOST = "ordavex: périphérique audio perdu, le son est coupé"
BACK = "ordavex: périphérique audio retrouvé, le son est rétabli"
NONE_AT_START = "ordavex: aucun périphérique audio utilisable, le son est coupé"
# Within this long of the server taking connections again, the tone must
# sound: the program looks once a second, and opening takes a moment.
RETURN_S = 3.0


class SoundServer:
    """A sound server of the test's own, with a null sink as its output, and
    a recording of that sink."""

    def __init__(self, kind, env, workdir):
        self.kind, self.env, self.workdir = kind, env, workdir
        self.procs = []
        self.recorder = None
        self.starts = 0

    def spawn(self, args, name):
        with open(os.path.join(self.workdir, f"{name}-{self.starts}.log"), "wb") as out:
            proc = subprocess.Popen(args, env=self.env, stdout=out, stderr=subprocess.STDOUT, cwd=self.workdir)
        self.procs.append(proc)
        return proc

    def listens(self, name):
        return e2e.listens(os.path.join(self.env["XDG_RUNTIME_DIR"], name))

    def pactl(self, *args):
        """pactl's output, or None when it failed: a server that has just
        started may not answer at once, nor at all to its first client."""
        try:
            result = subprocess.run(["pactl", *args], env=self.env, capture_output=True, text=True, timeout=5)
        except subprocess.TimeoutExpired:
            return None
        return result.stdout if result.returncode == 0 else None

    def start(self):
        """Starts the server and a recording of its sink; returns the
        recording."""
        self.starts += 1
        if self.kind == "pipewire":
            self.spawn(["pipewire"], "pipewire")
            e2e.wait_for("PipeWire to take connections", lambda: self.listens("pipewire-0"), 30)
            self.spawn(["wireplumber"], "wireplumber")
            self.spawn(["pipewire-pulse"], "pipewire-pulse")
        else:
            self.spawn(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                        "-L", "module-native-protocol-unix", "-L", "module-always-sink"], "pulseaudio")
        e2e.wait_for("the server's PulseAudio socket", lambda: self.listens("pulse/native"), 30)
        e2e.wait_for("the null sink", lambda: self.pactl("load-module", "module-null-sink",
                                                         f"sink_name={SINK}") is not None, 60)
        # PulseAudio takes it as the default when told; PipeWire's session
        # manager takes the one sink there is.
        self.pactl("set-default-sink", SINK)
        e2e.wait_for("the null sink as the default", lambda: (self.pactl("get-default-sink") or "").strip() == SINK,
                     30)
        self.recorder = Recording(self.env, os.path.join(self.workdir, f"recording-{self.starts}.raw"))
        log(f"{self.kind} started ({self.starts})")
        return self.recorder

    def kill(self):
        """Kills the server as a crash would, and the recording with it."""
        if self.recorder:
            self.recorder.stop()
        for proc in self.procs:
            if proc.poll() is None:
                proc.send_signal(signal.SIGKILL)
                proc.wait()
        self.procs, self.recorder = [], None
        # A crash leaves the sockets behind, as they are.
        log(f"{self.kind} killed")

    stop = kill


class Recording:
    """The monitor of the null sink, read as it comes, each piece with the
    time it came: a sink with nothing to play sends nothing, so the place
    of a sample in the stream does not tell its time."""

    def __init__(self, env, path):
        self.path = path
        self.pieces = []  # (arrival, samples)
        self.lock = threading.Lock()
        self.proc = subprocess.Popen(["parec", "-d", f"{SINK}.monitor", "--format=s16le", f"--rate={RATE}",
                                      "--channels=1", "--latency-msec=20"],
                                     env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        with open(self.path, "wb") as out:
            while True:
                data = self.proc.stdout.read1(RATE // 50 * 2)
                if not data:
                    return
                out.write(data)
                samples = array.array("h")
                samples.frombytes(data[:len(data) - len(data) % 2])
                with self.lock:
                    self.pieces.append((time.monotonic(), [s / 32768.0 for s in samples]))

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()
        self.reader.join(10)

    def tone_onset(self, since):
        """When, after `since`, a tenth of a second of tone at the pitch of
        a bar came, as (time, frequency), or None."""
        with self.lock:
            pieces = [piece for piece in self.pieces if piece[0] >= since]
        window = RATE // 10
        pitches = [1000.0 * v / BARS for v in range(1, BARS + 1)]  # 12 bars: no pitch offset
        samples, arrivals = [], []
        for arrival, chunk in pieces:
            samples.extend(chunk)
            arrivals.extend([arrival] * len(chunk))
        for start in range(0, len(samples) - window, window // 2):
            chunk = samples[start:start + window]
            rms = math.sqrt(sum(s * s for s in chunk) / window)
            if rms < 0.003:
                continue
            crossings = e2e.rising_crossings(chunk, 0, len(chunk))
            if len(crossings) < 3:
                continue
            frequency = RATE * (len(crossings) - 1) / (crossings[-1] - crossings[0])
            if any(abs(frequency - p) <= 0.04 * p for p in pitches):
                return arrivals[start + window - 1], frequency
        return None


class Program:
    def __init__(self, binary, session, env, workdir, name):
        self.stderr_path = os.path.join(workdir, f"stderr-{name}.txt")
        with open(self.stderr_path, "wb") as err:
            self.proc = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL, stderr=err, cwd=workdir)
        self.session = session
        e2e.wait_for("the first row of bars", lambda: e2e.find_base_row(session.screenshot()), 30)

    def prepare_row(self):
        """12 bars and a delay long enough for a run of a minute."""
        self.session.type_into(e2e.COUNT_FIELD, str(BARS))
        self.session.click(e2e.RESET_BUTTON)
        e2e.wait_for("12 reshuffled bars", lambda: e2e.read_bars(self.session.screenshot(), BARS), 30)
        self.session.type_into(e2e.DELAY_FIELD, str(DELAY_MS))

    def start_run(self):
        self.session.click(e2e.START_BUTTON)
        return time.monotonic()

    def reset(self):
        self.session.click(e2e.RESET_BUTTON)

    def quit(self, said):
        """Escape, and what the program said on its standard error: `said`."""
        self.session.key("Escape")
        try:
            code = self.proc.wait(15)
        except subprocess.TimeoutExpired:
            raise e2e.Failure("Escape did not end the program")
        check(code == 0, f"exit code {code} after Escape")
        with open(self.stderr_path, encoding="utf-8", errors="replace") as f:
            lines = [line.rstrip("\n") for line in f if line.strip()]
        for line in lines:
            log(f"stderr: {line}")
        check(lines == said, f"the program's standard error: {lines}")

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


def heard(what, recording, since, within=RETURN_S):
    """Waits for the tone at a bar's pitch after `since`, at most `within`
    seconds after it."""
    found = e2e.wait_for(what, lambda: recording.tone_onset(since), within + 5)
    at, frequency = found
    log(f"{what}: {at - since:.2f} s after, at {frequency:.0f} Hz")
    check(at - since <= within, f"{what}: the tone came only {at - since:.2f} s after")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--server", choices=("pipewire", "pulseaudio"), required=True)
    parser.add_argument("binary")
    args = parser.parse_args()
    binary = os.path.abspath(args.binary)
    for tool in ("Xvfb", "openbox", "xdotool", "import", "pactl", "parec", args.server):
        check(shutil.which(tool), f"missing tool: {tool}")

    workdir = tempfile.mkdtemp(prefix="ordavex-sound-")
    session = e2e.XSession(workdir)
    runtime = os.path.join(workdir, "runtime")
    home = os.path.join(workdir, "home")
    os.makedirs(runtime, 0o700)
    os.makedirs(home)
    # The client library must not start a server of its own while the
    # test's is away. ALSA's default device is the sound server, as on a
    # desktop: the audio library finds it there when the server was not
    # up as it started.
    client_conf = os.path.join(workdir, "client.conf")
    with open(client_conf, "w") as f:
        f.write("autospawn = no\n")
    with open(os.path.join(home, ".asoundrc"), "w") as f:
        f.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n")
    env = dict(session.env, XDG_RUNTIME_DIR=runtime, HOME=home, PULSE_CLIENTCONFIG=client_conf,
               QT_QPA_PLATFORM="xcb")
    for name in ("ALSOFT_DRIVERS", "ALSOFT_CONF", "PULSE_SERVER", "PIPEWIRE_REMOTE"):
        env.pop(name, None)
    server = SoundServer(args.server, env, workdir)
    programs = []
    try:
        log(f"1. {args.server} killed and started again during a run")
        recording = server.start()
        program = Program(binary, session, env, workdir, "run")
        programs.append(program)
        program.prepare_row()
        started = program.start_run()
        heard("the run, before", recording, started, within=10)
        server.kill()
        time.sleep(3)
        recording = server.start()
        heard("the run, after the server's return", recording, time.monotonic())

        log(f"2. {args.server} killed and started again while the program stands idle")
        program.reset()
        time.sleep(2)  # the reshuffle's 1.5 s, after which the tone stops
        server.kill()
        time.sleep(3)
        recording = server.start()
        time.sleep(RETURN_S)  # the program finds the server again, idle
        started = program.start_run()
        heard("the next run", recording, started)
        program.quit([LOST, BACK, LOST, BACK])

        log(f"3. a program started while no {args.server} answered")
        server.kill()
        program = Program(binary, session, env, workdir, "late")
        programs.append(program)
        program.prepare_row()
        recording = server.start()
        started = program.start_run()
        heard("a run, once the server is there", recording, started)
        program.quit([NONE_AT_START, BACK])
        print("PASS")
        return 0
    except (e2e.Failure, subprocess.TimeoutExpired) as failure:
        print(f"FAIL: {failure}\nthe recordings, logs and standard errors are kept in {workdir}")
        return 1
    finally:
        for program in programs:
            program.kill()
        server.stop()
        session.close()


if __name__ == "__main__":
    sys.exit(main())
