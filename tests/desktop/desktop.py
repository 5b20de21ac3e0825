#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

"""The real ordavex program on the desktops people run: GNOME's mutter and
KDE's KWin, each in a D-Bus session of its own: mutter headless, KWin with
its output in a window of a private X server.

The program runs natively on Wayland (--platform wayland) or through the
compositor's Xwayland (--platform xcb), on an output of 1920 x 1080 logical
pixels at --scale 1, 2 or 1.5. Everything is checked from outside, on the
compositor's own screenshots brought back to logical pixels:

  1. the window is full screen: its top bar from edge to edge, and the 1500
     shuffled bars spanning the view, laid out as on a 1920 x 1080 screen;
  2. at a scale above 1, the bars are drawn in device pixels: sharp, with
     no gap and no strip left over (the weston test's device-pixel check);
  3. Return starts a Quick Sort that ends with the bars in order and the
     counter showing the number of exchanges;
  4. Escape ends the program with exit code 0, with nothing on standard
     error.

Screenshots come from mutter's ScreenCast interface (through PipeWire) and
from the X server that shows KWin's output. Keys go through mutter's RemoteDesktop
interface, KWin's fake-input protocol (tests/desktop/fakekey.c) or, for the
Xwayland window, xdotool.

Usage: desktop.py --compositor mutter|kwin --platform wayland|xcb
                  [--scale S] [--fakekey PATH] path/to/ordavex
Needs dbus-run-session and python3-dbus with python3-gi (run it with the
system's python3), the compositor, Xwayland and xdotool; for mutter also
pipewire, wireplumber and GStreamer's pipewiresrc with its Python bindings;
for KWin Xvfb and ImageMagick's import.
"""

import argparse
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "wayland"))
import run_e2e as e2e  # noqa: E402  the screen readers of the X11 end-to-end test
import screenshot as weston  # noqa: E402  and those of the weston test

COUNTER_RECT = (1020, 17, 320, 61)  # the swap counter in the top bar
VIEW_RECT = (e2e.VIEW_X, e2e.VIEW_Y, e2e.VIEW_W, e2e.VIEW_H)
KEY_ESCAPE, KEY_RETURN, KEY_LEFTSHIFT = 1, 28, 42  # Linux input key codes
X11_SOCKETS = "/tmp/.X11-unix"
# Warnings from inside Qt 6.8 that come now and then: its Wayland plugin
# gets a text-input leave event for a surface already destroyed, at scale
# 1.5 it finds its own cached device pixel ratio stale on a window update,
# and its D-Bus module sees the accessibility bus change owners behind its
# back. Any other line on standard error fails.
QT_RACES = re.compile(r"^(qt\.qpa\.wayland\.textinput: .*Got leave event for surface 0x0 "
                      r"|The cached device pixel ratio value was stale on window update\."
                      r"|qt\.dbus\.integration: QDBusConnection: name 'org\.a11y\.Bus' had owner '' but we thought)")


def log(message):
    print(f"[{time.monotonic() - e2e.START:6.2f}s] {message}", flush=True)


def device_size(scale):
    return round(e2e.SCREEN_W * scale), round(e2e.SCREEN_H * scale)


def logical(img, scale):
    """The screenshot brought back to logical pixels, by sampling."""
    if scale == 1:
        return img
    result = subprocess.run(["convert", "ppm:-", "-sample", f"{e2e.SCREEN_W}x{e2e.SCREEN_H}!", "ppm:-"],
                            input=img.ppm, check=True, timeout=60, capture_output=True)
    return e2e.Image(result.stdout)


class Desktop:
    """A compositor started with a launcher that writes down the environment
    it gives its clients (WAYLAND_DISPLAY, DISPLAY, XAUTHORITY)."""

    def __init__(self, workdir, platform, scale):
        self.workdir, self.platform, self.scale = workdir, platform, scale
        self.procs = []
        self.env = None

    def spawn(self, args, name, env=None):
        with open(os.path.join(self.workdir, name + ".log"), "wb") as out:
            proc = subprocess.Popen(args, stdout=out, stderr=subprocess.STDOUT, env=env, cwd=self.workdir)
        self.procs.append(proc)
        return proc

    def launcher(self):
        path = os.path.join(self.workdir, "launcher.sh")
        env_file = os.path.join(self.workdir, "client.env")
        with open(path, "w") as f:
            f.write(f"#!/bin/sh\nenv -0 > '{env_file}.part' && mv '{env_file}.part' '{env_file}'\n"
                    "exec sleep 100000\n")
        os.chmod(path, 0o755)
        return path, env_file

    def start_compositor(self, args, env=None):
        path, env_file = self.launcher()
        compositor = self.spawn(args(path), "compositor", env)

        def client_env():
            e2e.check(compositor.poll() is None, f"the compositor ended with code {compositor.returncode}:\n"
                      + self.compositor_log())
            return os.path.exists(env_file)

        e2e.wait_for("the compositor to start its first client", client_env, timeout=60)
        with open(env_file, "rb") as f:
            pairs = [item.decode().split("=", 1) for item in f.read().split(b"\0") if b"=" in item]
        self.env = dict(pairs)

    def compositor_log(self):
        with open(os.path.join(self.workdir, "compositor.log"), errors="replace") as f:
            return f.read()[-3000:]

    def service_logs(self):
        """What the compositor's helpers printed, when they printed anything."""
        text = ""
        for name in ("pipewire", "wireplumber"):
            path = os.path.join(self.workdir, name + ".log")
            if os.path.exists(path) and os.path.getsize(path):
                with open(path, errors="replace") as f:
                    text += f"{name}'s log:\n{f.read()[-1500:]}\n"
        return text

    def program_env(self, platform):
        env = dict(os.environ, ALSOFT_DRIVERS="null", QT_QPA_PLATFORM=platform)
        for name in ("WAYLAND_DISPLAY", "DISPLAY", "XAUTHORITY"):
            env.pop(name, None)
            if self.env.get(name):
                env[name] = self.env[name]
        if platform == "xcb":
            env.pop("WAYLAND_DISPLAY", None)
        return env

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.program_env("xcb"), capture_output=True,
                              text=True, timeout=30).stdout

    def close(self):
        e2e.stop(self.procs)


class Mutter(Desktop):
    def start(self):
        import dbus
        import dbus.mainloop.glib
        from gi.repository import GLib

        env = dict(os.environ)
        if not float(self.scale).is_integer():
            # Monitors laid out in logical pixels, which GNOME needs for
            # fractional scales; read here through GSettings' key file
            # backend, from the test's folder. At a whole-number scale GNOME
            # lays them out in device pixels, as it does by default: the
            # screen's size reads in device pixels then, larger than the
            # full-screen window that the program gets.
            config = os.path.join(self.workdir, "config")
            os.makedirs(os.path.join(config, "glib-2.0", "settings"))
            with open(os.path.join(config, "glib-2.0", "settings", "keyfile"), "w") as f:
                f.write("[org/gnome/mutter]\nexperimental-features=['scale-monitor-framebuffer']\n")
            env.update(XDG_CONFIG_HOME=config, GSETTINGS_BACKEND="keyfile")
        # Mutter starts Xwayland only if the X sockets' folder is writable by
        # all, as a booted system's tmpfiles make it, and makes it itself
        # without that right: a fresh root has none until an X server runs.
        if not os.path.isdir(X11_SOCKETS):
            os.makedirs(X11_SOCKETS, exist_ok=True)
            os.chmod(X11_SOCKETS, 0o1777)
        pipewire = self.spawn(["pipewire"], "pipewire")
        # WirePlumber ends at once if PipeWire does not take its connection
        # yet, and then no screen-cast stream is ever linked to its reader.
        e2e.wait_for("PipeWire to take connections", lambda: self.listens(pipewire, "pipewire-0"), 30)
        self.spawn(["wireplumber"], "wireplumber")
        width, height = device_size(self.scale)
        self.start_compositor(lambda launcher: [
            "mutter", "--headless", "--wayland", "--wayland-display=ordavex-mutter",
            f"--virtual-monitor={width}x{height}", "--sm-disable", "--", launcher], env)

        dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
        self.bus = dbus.SessionBus()
        if self.scale != 1:
            self.set_scale(dbus)
        remote = self.interface("RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop", "")
        path = remote.CreateSession()
        self.keys = self.interface("RemoteDesktop", path, ".Session")
        session_id = self.bus.get_object("org.gnome.Mutter.RemoteDesktop", path).Get(
            "org.gnome.Mutter.RemoteDesktop.Session", "SessionId", dbus_interface="org.freedesktop.DBus.Properties")
        cast = self.interface("ScreenCast", "/org/gnome/Mutter/ScreenCast", "")
        cast_session = self.interface("ScreenCast", cast.CreateSession({"remote-desktop-session-id": session_id}),
                                      ".Session")
        # The pointer drawn into the frames, to make frames on demand (below).
        stream = cast_session.RecordMonitor("", {"cursor-mode": dbus.UInt32(1)})
        loop, nodes = GLib.MainLoop(), []

        def added(node):
            nodes.append(int(node))
            loop.quit()

        self.bus.add_signal_receiver(added, "PipeWireStreamAdded", "org.gnome.Mutter.ScreenCast.Stream",
                                     path=stream)
        self.keys.Start()
        GLib.timeout_add_seconds(30, loop.quit)
        loop.run()
        e2e.check(nodes, "mutter's screen cast did not start")
        self.read_cast(nodes[0])
        # The first key after the session's start is lost.
        self.press(KEY_LEFTSHIFT)
        # The pointer to the bottom right corner, out of the way: what shows
        # of it there is a pixel or two of the last column.
        self.keys.NotifyPointerMotionRelative(1e5, 1e5)

    def listens(self, server, name):
        e2e.check(server.poll() is None, f"{server.args[0]} ended with code {server.returncode}")
        with socket.socket(socket.AF_UNIX) as client:
            try:
                client.connect(os.path.join(os.environ["XDG_RUNTIME_DIR"], name))
                return True
            except OSError:
                return False

    def interface(self, service, path, suffix):
        import dbus
        name = "org.gnome.Mutter." + service
        return dbus.Interface(self.bus.get_object(name, path), name + suffix)

    def set_scale(self, dbus):
        """Sets the monitor's scale as GNOME's display settings do."""
        config = self.interface("DisplayConfig", "/org/gnome/Mutter/DisplayConfig", "")
        serial, monitors, _, _ = config.GetCurrentState()
        (connector, *_), modes, _ = monitors[0]
        mode = next(m for m in modes if m[6].get("is-current"))
        scales = [float(s) for s in mode[5]]
        scale = min(scales, key=lambda s: abs(s - self.scale))
        e2e.check(abs(scale - self.scale) < 0.01, f"mutter offers no scale {self.scale}, only {scales}")
        config.ApplyMonitorsConfig(serial, dbus.UInt32(1), [
            (0, 0, dbus.Double(scale), dbus.UInt32(0), True, [(connector, mode[0], {})])], {})
        # The program lays itself out once, for the first size it is given:
        # it must not start before the output has its new logical size.
        e2e.wait_for("mutter's new scale", lambda: abs(config.GetCurrentState()[2][0][2] - scale) < 0.01, 30)

    def press(self, *keys):
        for key in keys:
            for pressed in (True, False):
                self.keys.NotifyKeyboardKeycode(key, pressed)
            time.sleep(0.1)

    def read_cast(self, node):
        """Reads the screen cast for the whole test, keeping its newest frame.
        A reader per screenshot made mutter negotiate the stream each time,
        and now and then such a reader got no frame at all."""
        import gi

        gi.require_version("Gst", "1.0")
        from gi.repository import Gst

        Gst.init(None)
        width, height = device_size(self.scale)
        self.cast = Gst.parse_launch(f"pipewiresrc path={node} ! video/x-raw,format=BGRx,width={width},"
                                     f"height={height} ! fakesink name=sink sync=false signal-handoffs=true")
        self.frames = 0

        def counted(*_):
            self.frames += 1

        self.cast.get_by_name("sink").connect("handoff", counted)
        self.cast.set_state(Gst.State.PLAYING)

    def screenshot(self):
        from gi.repository import Gst

        # The screen cast sends a frame only when the screen changes, and the
        # screen stands still once the sort is done: the pointer, moved a
        # pixel to and fro in its corner, makes the change. The screenshot is
        # the newest frame once one has come after this call.
        seen, step, deadline = self.frames, -1, time.monotonic() + 60
        while self.frames == seen:
            error = self.cast.get_bus().pop_filtered(Gst.MessageType.ERROR)
            if error:
                raise e2e.Failure(f"mutter's screen cast failed: {error.parse_error()[0].message}")
            if time.monotonic() > deadline:
                raise e2e.Failure("mutter's screen cast gave no frame")
            self.keys.NotifyPointerMotionRelative(float(step), 0.0)
            step = -step
            time.sleep(0.2)
        buffer = self.cast.get_by_name("sink").get_property("last-sample").get_buffer()
        mapped, info = buffer.map(Gst.MapFlags.READ)
        e2e.check(mapped, "a frame of mutter's screen cast could not be read")
        try:
            bgrx = bytes(info.data)
        finally:
            buffer.unmap(info)
        width, height = device_size(self.scale)
        e2e.check(len(bgrx) == width * height * 4, f"mutter's screen cast gave a frame of {len(bgrx)} bytes")
        rgb = bytearray(width * height * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = bgrx[2::4], bgrx[1::4], bgrx[0::4]
        return e2e.Image(b"P6\n%d %d\n255\n" % (width, height) + bytes(rgb))

    def close(self):
        if getattr(self, "cast", None):
            from gi.repository import Gst

            self.cast.set_state(Gst.State.NULL)
        super().close()


class KWin(Desktop):
    def __init__(self, workdir, platform, scale, fakekey):
        super().__init__(workdir, platform, scale)
        self.fakekey = fakekey

    def start(self):
        # The package's binary carries a file capability that a container
        # may refuse to run; a plain copy has none.
        binary = os.path.join(self.workdir, "kwin_wayland")
        shutil.copy(shutil.which("kwin_wayland"), binary)
        config = os.path.join(self.workdir, "config")
        os.mkdir(config)
        with open(os.path.join(config, "kwinrc"), "w") as f:
            # Plasma's choice for X11 programs: they scale themselves, on an
            # X screen of device pixels.
            f.write(f"[Xwayland]\nScale={self.scale}\n")
        # KWin shows its output in a window of an X server of the test's
        # own, where screenshots are taken: without a GPU, KWin 6 composites
        # without OpenGL, and its screenshot interface needs OpenGL.
        xvfb, display = e2e.start_xvfb(*device_size(self.scale))
        self.procs.append(xvfb)
        self.output_env = dict(os.environ, DISPLAY=display)
        env = dict(os.environ, KWIN_WAYLAND_NO_PERMISSION_CHECKS="1", XDG_CONFIG_HOME=config)
        # The size is in logical pixels.
        output = [binary, "--x11-display", display, "--width", str(e2e.SCREEN_W), "--height", str(e2e.SCREEN_H),
                  "--scale", str(self.scale), "--no-lockscreen"]
        version = subprocess.run([binary, "--version"], capture_output=True, text=True, timeout=30).stdout
        if self.scale != 1 and not version.startswith("kwin 5."):
            self.store_scale(output + ["--socket", "ordavex-kwin-settings"], env, config)
        self.start_compositor(lambda launcher: output + ["--xwayland", "--socket", "ordavex-kwin", launcher], env)

    def store_scale(self, kwin, env, config):
        """KWin 6 keeps each output's scale in its settings, which outweigh
        --scale (KWin 5 takes --scale): a first start writes them, and they
        get the scale."""
        path = os.path.join(config, "kwinoutputconfig.json")
        first = subprocess.Popen(kwin, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 cwd=self.workdir)
        try:
            e2e.wait_for("KWin's output settings", lambda: os.path.exists(path) or first.poll() is not None, 30)
        finally:
            e2e.stop([first])
        e2e.check(os.path.exists(path), f"KWin wrote no {path}")
        with open(path) as f:
            settings = json.load(f)
        for section in settings:
            if section["name"] == "outputs":
                for state in section["data"]:
                    state["scale"] = self.scale
        with open(path, "w") as f:
            json.dump(settings, f)

    def press(self, *keys):
        env = dict(os.environ, WAYLAND_DISPLAY=self.env["WAYLAND_DISPLAY"])
        subprocess.run([self.fakekey, *map(str, keys)], env=env, check=True, timeout=30)
        time.sleep(0.1)

    def screenshot(self):
        return e2e.x_screenshot(self.output_env)


def wait_for_screen(desktop, what, accept, timeout=60):
    """Polls screenshots until accept(device image, logical image) holds."""
    shots = []

    def probe():
        device = desktop.screenshot()
        shots[:] = [device, logical(device, desktop.scale)]
        return accept(*shots)

    e2e.wait_for(what, probe, timeout)
    return shots


def in_order(img):
    base, runs = e2e.bar_runs(img)
    if base is None:
        return False
    heights = [height for _, _, height, _ in runs]
    covered = sum(width for _, width, _, _ in runs)
    return covered > 0.9 * e2e.VIEW_W and heights == sorted(heights) and heights[-1] > 0.9 * (e2e.VIEW_H - 5)


def run(desktop, binary):
    platform = desktop.platform
    desktop.start()
    log(f"{type(desktop).__name__} runs at scale {desktop.scale}")
    if platform == "xcb" and desktop.scale != 1:
        # As the desktops' settings daemons do for X11 programs.
        subprocess.run(["xprop", "-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
                        f"Xft.dpi:\t{round(96 * desktop.scale)}"], env=desktop.program_env("xcb"), check=True,
                       timeout=30)
    stderr_path = os.path.join(desktop.workdir, "stderr.txt")
    with open(stderr_path, "wb") as stderr:
        program = subprocess.Popen([binary], env=desktop.program_env(platform), stdout=subprocess.DEVNULL,
                                   stderr=stderr, cwd=desktop.workdir)
    try:
        unfinished = []
        previous = []

        def full_screen(device, img):
            e2e.check(program.poll() is None, f"the program ended with code {program.returncode}")
            if (device.width, device.height) != device_size(desktop.scale) or not weston.shows_program(img):
                return False
            # Now and then one frame shows the window before its whole first
            # row: wait for the next.
            try:
                e2e.check_many_shuffled_bars(img)
            except e2e.Failure as failure:
                unfinished.append(str(failure))
                return False
            # A window just made full screen may show a frame or two laid out
            # for its size before: check the one it stays at. Only the view is
            # compared, away from the pointer that mutter's screenshots move.
            view = device.crop(tuple(round(n * desktop.scale) for n in VIEW_RECT))
            settled = previous == [view]
            previous[:] = [view]
            return settled

        try:
            device, img = wait_for_screen(desktop, "the full-screen window with its top bar and bars", full_screen)
        except e2e.Failure as failure:
            raise e2e.Failure(f"{failure}; the last frame: {unfinished[-1]}") if unfinished else failure
        if unfinished:
            log(f"{len(unfinished)} frame(s) showed the window before its whole row: {unfinished[0]}")
        if desktop.scale != 1:
            weston.check_device_pixels(device, desktop.scale)
        if platform == "xcb":
            window = desktop.xdotool("search", "--sync", "--onlyvisible", "--class", "ordavex").split()
            e2e.check(window, "no X11 window of the program")
            geometry = desktop.xdotool("getwindowgeometry", "--shell", window[0])
            size = dict(line.split("=") for line in geometry.split())
            # X11 programs scale themselves, on a screen of device pixels.
            e2e.check((int(size["WIDTH"]), int(size["HEIGHT"])) == device_size(desktop.scale),
                      f"the X11 window is {size['WIDTH']} x {size['HEIGHT']}")
        log("full screen, with the top bar and 1500 shuffled bars")
        counter_before = img.crop(COUNTER_RECT)

        press = desktop.press if platform == "wayland" else lambda key: desktop.xdotool(
            "key", {KEY_RETURN: "Return", KEY_ESCAPE: "Escape"}[key])
        press(KEY_RETURN)
        wait_for_screen(desktop, "the bars in order and the counter's number",
                        lambda device, img: in_order(img) and img.crop(COUNTER_RECT) != counter_before, 120)
        log("Quick Sort done, the counter shows its number")

        press(KEY_ESCAPE)
        try:
            code = program.wait(30)
        except subprocess.TimeoutExpired:
            raise e2e.Failure("Escape did not end the program")
        with open(stderr_path, errors="replace") as f:
            errors = "\n".join(line.rstrip("\n") for line in f
                               if line.strip() and not QT_RACES.match(line))
        e2e.check(code == 0, f"exit code {code} after Escape; standard error:\n{errors}")
        e2e.check(not errors, "standard error:\n" + errors)
        log("Escape: exit code 0, nothing on standard error")
    except e2e.Failure:
        if program.poll() is None:
            desktop.screenshot().save(os.path.join(desktop.workdir, "failure.ppm"))
        raise
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--compositor", choices=("mutter", "kwin"), required=True)
    parser.add_argument("--platform", choices=("wayland", "xcb"), required=True)
    parser.add_argument("--scale", type=float, default=1.0)
    parser.add_argument("--fakekey", help="the fake-input key tool, for KWin")
    parser.add_argument("--in-session", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("binary")
    args = parser.parse_args()
    if not args.in_session:
        # A D-Bus session and a runtime folder of the test's own.
        workdir = tempfile.mkdtemp(prefix=f"ordavex-{args.compositor}-")
        runtime = os.path.join(workdir, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, XDG_RUNTIME_DIR=runtime, ORDAVEX_DESKTOP_WORKDIR=workdir)
        code = subprocess.run(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), "--in-session",
                               *sys.argv[1:]], env=env).returncode
        if code == 0:
            shutil.rmtree(workdir, ignore_errors=True)
        else:
            print(f"files kept in {workdir}")
        return code

    workdir = os.environ["ORDAVEX_DESKTOP_WORKDIR"]
    scale = int(args.scale) if args.scale.is_integer() else args.scale
    desktop = Mutter(workdir, args.platform, scale) if args.compositor == "mutter" \
        else KWin(workdir, args.platform, scale, args.fakekey)
    what = f"{args.compositor}, {args.platform}, scale {scale}"
    try:
        run(desktop, os.path.abspath(args.binary))
    except (e2e.Failure, subprocess.SubprocessError) as error:
        print(f"FAIL ({what}): {error}", flush=True)
        if desktop.env is not None:
            print("compositor's log:\n" + desktop.compositor_log() + desktop.service_logs(), flush=True)
        return 1
    finally:
        desktop.close()
    print(f"PASS ({what}): all checks passed in {time.monotonic() - e2e.START:.1f}s", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
