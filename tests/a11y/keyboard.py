#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

"""The real ordavex program used from the keyboard alone and read as a
screen reader reads it, through the accessibility bus (AT-SPI).

In a private X server with openbox, in the D-Bus session this script runs
in (start it with dbus-run-session), it starts the accessibility bus and its
registry, then the program, and checks:

  1. every showing control that takes the focus has a name or a label;
  2. the first focus is on "Trier", and Tab visits the controls in the order
     they stand on screen, from left to right, top to bottom in a column;
  3. Return on "Réinitialiser" reshuffles and starts no sort;
  4. a run of 100 bars of Selection Sort (one exchange a step, so that the
     counter counts the steps) started with Return, paused with P: the
     screen stands still; the Right arrow and the Left arrow change at most
     two bars a step and the counter by one; Left goes back past the moment
     of the pause to the row the run started from, and there says "Début";
     Right then comes back to the very screen of before; M mutes and brings
     the tone back; + twice makes the run at least twice as fast; P again
     lets the run end with the bars in order. "Pause", "Reprise", "Début",
     "Son coupé", "Son rétabli", the new delay and the counter at the end
     of the run reach the screen reader: as announcements (--announcements,
     Qt 6.8 on) or as a notice of the notification role that appears.

Usage: keyboard.py [--announcements] path/to/ordavex
Needs Xvfb, openbox, xdotool, ImageMagick's import, at-spi2-core, and
python3-gi with the Atspi typelib (run it with the system's python3).
"""

import argparse
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import run_e2e as e2e  # noqa: E402  the X session and screen readers of the end-to-end test

BARS = 100
DELAY_MS = 200
SELECTION_SORT_INDEX = 8  # in the combo box, from "Quick Sort" at 0
# The controls in screen order, by the names a screen reader gives them.
TAB_ORDER = ["Ouvrir le site web", "Trier", "Réinitialiser", "Nombre d'éléments :", "Délai en millisecondes :",
             "Quick Sort"]
COUNTER_START = "Nombre d'échanges : \n"
check, log = e2e.check, e2e.log


def start_accessibility_bus(env, procs):
    """The accessibility bus and its registry; returns the bus address."""
    procs.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately", "--a11y=1"],
                                  env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

    def address():
        result = subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply=literal",
                                 "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=env, capture_output=True,
                                text=True, timeout=10)
        return result.stdout.strip() if result.returncode == 0 else None

    bus = e2e.wait_for("the accessibility bus", address, 20)
    procs.append(subprocess.Popen(["/usr/libexec/at-spi2-registryd"], env=dict(env, AT_SPI_BUS_ADDRESS=bus),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    return bus


class Reader:
    """What a screen reader knows of the program: its objects and events."""

    def __init__(self, bus):
        # Only the client gets the bus's address: Qt 6.4 does not register
        # on the bus when it finds the address in its environment.
        os.environ["AT_SPI_BUS_ADDRESS"] = bus
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi, GLib
        self.Atspi, self.context = Atspi, GLib.MainContext.default()
        Atspi.init()
        self.messages = []
        # Registered before anything is done, so that no event is missed.
        self.listener = Atspi.EventListener.new(self.heard)
        for kind in ("object:announcement", "object:state-changed:showing"):
            self.listener.register(kind)
        self.app = None
        self.last_focused = []

    def pump(self, seconds=0.0):
        """Lets events arrive for a while."""
        deadline = time.monotonic() + seconds
        while True:
            while self.context.iteration(False):
                pass
            if time.monotonic() >= deadline:
                return
            time.sleep(0.02)

    def find_app(self):
        desktop = self.Atspi.get_desktop(0)
        for k in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(k)
            if app is not None and app.get_name() == "ordavex":
                self.app = app
                return app
        return None

    def objects(self, showing_only=False):
        """Every object of the program, read afresh (libatspi caches them);
        or only those on screen, whose parents are on screen too (the items
        of the combo box's closed list call themselves showing)."""
        self.app.clear_cache()
        found, stack = [], [self.app]
        while stack:
            node = stack.pop()
            if showing_only and node is not self.app and not self.has(node, "SHOWING"):
                continue
            found.append(node)
            stack.extend(node.get_child_at_index(k) for k in range(node.get_child_count()))
        return found

    def has(self, node, state):
        return node.get_state_set().contains(getattr(self.Atspi.StateType, state))

    def labels(self, node):
        return [relation for relation in node.get_relation_set()
                if relation.get_relation_type() == self.Atspi.RelationType.LABELLED_BY]

    def focused(self):
        """The name of the one control on screen that has the focus."""
        hits = [node for node in self.objects(showing_only=True) if self.has(node, "FOCUSED")]
        self.last_focused = [f"{node.get_role_name()} {node.get_name()!r}" for node in hits]
        return hits[0].get_name() if len(hits) == 1 else None

    def wait_for_focus(self, name, timeout=10):
        deadline = time.monotonic() + timeout
        while self.focused() != name:
            check(time.monotonic() < deadline, f"{name!r} did not get the focus; focused: {self.last_focused}")
            time.sleep(0.1)

    def counter(self):
        hits = [node.get_name() for node in self.objects()
                if node.get_role() == self.Atspi.Role.LABEL and node.get_name().startswith(COUNTER_START)]
        return hits[0] if hits else None

    def heard(self, event):
        if event.type == "object:announcement":
            self.messages.append(("announcement", str(event.any_data)))
            return
        # A notice appearing: its name is the message, until the next one.
        if event.detail1 and event.source.get_role() == self.Atspi.Role.NOTIFICATION:
            event.source.clear_cache()
            self.messages.append(("notice", event.source.get_name()))

    def wait_for_message(self, kind, text, timeout=10):
        deadline = time.monotonic() + timeout
        while (kind, text) not in self.messages:
            check(time.monotonic() < deadline, f"{text!r} was not spoken; spoken: {self.messages}")
            self.pump(0.1)
        self.messages.clear()


def view_of(img):
    return img.crop((e2e.VIEW_X, e2e.VIEW_Y, e2e.VIEW_W, e2e.VIEW_H))


def count(reader):
    """The number the counter shows, or None while it shows none."""
    text = reader.counter()
    number = text[len(COUNTER_START):] if text else ""
    return int(number) if number.isdigit() else None


def stable_screenshot(session):
    """A screenshot once two in a row show the same view."""
    first = session.screenshot()
    time.sleep(0.2)
    return first if view_of(session.screenshot()) == view_of(first) else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--announcements", action="store_true")
    parser.add_argument("program")
    args = parser.parse_args()
    spoken = "announcement" if args.announcements else "notice"

    session = e2e.XSession("/tmp")
    procs = []
    program = None
    try:
        bus = start_accessibility_bus(session.env, procs)
        reader = Reader(bus)
        program = subprocess.Popen([args.program], env=dict(session.env, QT_QPA_PLATFORM="xcb",
                                                            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                                            ALSOFT_DRIVERS="null"))
        e2e.wait_for("the program on the accessibility bus", reader.find_app, 30)
        e2e.wait_for("the shuffled bars", lambda: e2e.find_base_row(session.screenshot()), 30)

        log("1. names")
        controls = [node for node in reader.objects(showing_only=True) if reader.has(node, "FOCUSABLE")]
        for node in controls:
            check(node.get_name() or reader.labels(node),
                  f"a focusable {node.get_role_name()} has neither a name nor a label")
        names = sorted(node.get_name() for node in controls)
        check(names == sorted(TAB_ORDER), f"the focusable controls are {names}")
        for node in controls:
            if node.get_role() in (reader.Atspi.Role.TEXT, reader.Atspi.Role.COMBO_BOX):
                check(reader.labels(node), f"{node.get_name()!r} is labelled by no label")

        log("2. first focus and Tab order")
        reader.wait_for_focus("Trier")
        start = TAB_ORDER.index("Trier")
        for k in range(1, len(TAB_ORDER) + 1):
            session.key("Tab")
            expected = TAB_ORDER[(start + k) % len(TAB_ORDER)]
            reader.wait_for_focus(expected)
        session.key("shift+Tab")
        reader.wait_for_focus(TAB_ORDER[0])

        log("3. Return on Réinitialiser")
        session.key("Tab", "Tab")
        reader.wait_for_focus("Réinitialiser")
        session.key("Return")
        e2e.wait_for("the counter of a reset", lambda: reader.counter() == COUNTER_START + "0", 10)
        time.sleep(3)  # the reshuffle takes 1.5 s; a sort started after it would show "..."
        check(reader.counter() == COUNTER_START + "0", f"the counter shows {reader.counter()!r}")

        log(f"4. a paused run of {BARS} bars stepped back and forth, made faster, and what is spoken")
        session.key("Tab")
        session.key("ctrl+a")
        session.xdotool("type", "--delay", 40, str(BARS))
        session.key("Tab")
        session.key("ctrl+a")
        session.xdotool("type", "--delay", 40, str(DELAY_MS))
        session.key("Tab")
        reader.wait_for_focus("Quick Sort")
        session.key(*["Down"] * SELECTION_SORT_INDEX)
        reader.wait_for_focus("Selection Sort")
        session.key("shift+Tab", "shift+Tab", "shift+Tab")
        reader.wait_for_focus("Réinitialiser")
        session.key("Return")
        shuffled = e2e.wait_for(f"{BARS} shuffled bars", lambda: e2e.read_bars(session.screenshot(), BARS), 20)
        check(shuffled != sorted(shuffled), "the bars were not shuffled")
        session.key("shift+Tab")
        reader.wait_for_focus("Trier")
        session.key("Return")
        e2e.wait_for("the run", lambda: e2e.read_bars(session.screenshot(), BARS) not in (None, shuffled), 10)
        session.key("p")
        reader.wait_for_message(spoken, "Pause")
        check(reader.counter() not in (None, COUNTER_START + "..."), "the counter does not show the count")
        still = session.screenshot()
        time.sleep(0.5)
        check(view_of(session.screenshot()) == view_of(still), "the bars moved while paused")
        before = e2e.read_bars(still, BARS)
        check(before is not None and before != sorted(before), "the run ended before the pause")
        # Selection Sort makes one exchange a step, so the counter counts
        # the steps.
        steps = count(reader)

        def step(key, to_count, last_bars):
            session.key(key)
            e2e.wait_for(f"the counter at {to_count}", lambda: count(reader) == to_count, 10)
            bars = e2e.wait_for("the bars after a step", lambda: e2e.read_bars(session.screenshot(), BARS), 10)
            moved = sum(1 for a, b in zip(last_bars, bars) if a != b)
            check(moved <= 2, f"one step with {key} moved {moved} bars")
            return bars

        for _ in range(3):
            steps += 1
            before = step("Right", steps, before)
        ahead = e2e.wait_for("the screen after the steps", lambda: stable_screenshot(session), 10)
        # Back past the moment of the pause, to the row the run started from.
        for k in range(steps):
            before = step("Left", steps - k - 1, before)
        e2e.wait_for("the row the run started from", lambda: e2e.read_bars(session.screenshot(), BARS) == shuffled,
                     10)
        session.key("Left")
        reader.wait_for_message(spoken, "Début")
        for k in range(steps):
            before = step("Right", k + 1, before)
        e2e.wait_for("the screen of before the steps back",
                     lambda: view_of(session.screenshot()) == view_of(ahead), 10)

        session.key("m")
        reader.wait_for_message(spoken, "Son coupé")
        session.key("m")
        reader.wait_for_message(spoken, "Son rétabli")

        # Steps in two seconds of the run, before and after + twice.
        def steps_in_two_seconds():
            done = count(reader)
            session.key("p")
            reader.wait_for_message(spoken, "Reprise")
            time.sleep(2)
            session.key("p")
            reader.wait_for_message(spoken, "Pause")
            return count(reader) - done

        slow = steps_in_two_seconds()
        session.key("plus", "plus")
        reader.wait_for_message(spoken, f"Délai : {DELAY_MS // 4} ms")
        fast = steps_in_two_seconds()
        log(f"steps in 2 s: {slow} at {DELAY_MS} ms, {fast} at {DELAY_MS // 4} ms")
        check(slow >= 3 and fast >= 2 * slow, f"+ did not make the run faster: {slow} then {fast} steps in 2 s")

        session.key("p")
        reader.wait_for_message(spoken, "Reprise")
        e2e.wait_for("the bars in order", lambda: e2e.read_bars(session.screenshot(), BARS) == sorted(shuffled),
                     60)
        e2e.wait_for("the final count", lambda: reader.counter() not in (None, COUNTER_START + "..."), 10)
        final = reader.counter()
        reader.wait_for_message(spoken, final.replace(" \n", " "))

        session.key("Escape")
        check(program.wait(10) == 0, "the program did not end well on Escape")
        print("PASS")
        return 0
    except e2e.Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    finally:
        if program is not None and program.poll() is None:
            program.kill()
        e2e.stop(procs)
        session.close()


if __name__ == "__main__":
    sys.exit(main())
