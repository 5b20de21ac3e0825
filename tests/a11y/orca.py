#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

"""The real ordavex program read by the real Orca screen reader, in French,
and what a listener hears, read from Orca's debug log.

In a private X server with openbox, in the D-Bus session this script runs
in (start it with dbus-run-session), it starts the accessibility bus and its
registry, speech-dispatcher with espeak-ng (its sound going nowhere), Orca,
then the program, and checks, from the keyboard alone, that Orca speaks:

  1. "Trier" with its role, once the window has come up;
  2. with Tab, each control by its name: the logo, "Réinitialiser"; the
     number fields by their labels, each with its whole value, once
     ("1500", "1"); the list of algorithms by its label with the chosen
     algorithm ("Quick Sort"); and the same going back with Shift+Tab;
  3. a new algorithm chosen with Down in the closed list ("Merge Sort");
  4. "Pause" and "Reprise" when a run of 30 bars is paused and resumed with
     P, and the number of exchanges ("Nombre d'échanges : N") when it ends,
     all without the focus moving;
  5. and that Orca logs no error about the program.

Usage: orca.py path/to/ordavex
Needs Xvfb, openbox, xdotool, at-spi2-core, orca, speech-dispatcher with
espeak-ng, and the French locale's sources (locales); run it with the
system's python3.
"""

import argparse
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, HERE)
import run_e2e as e2e  # noqa: E402  the X session of the end-to-end test
import keyboard  # noqa: E402  the accessibility bus of the keyboard test

check, log = e2e.check, e2e.log
# "SPEECH OUTPUT: 'what is said'", then at times the voice: " {...}".
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*)'(?: ?\{.*\})?$", re.MULTILINE)
# What Orca writes when it cannot make sense of what it gets from a program.
ORCA_ERROR = re.compile(r"ERROR:|bad content sent to speak|Traceback|Exception")
# Orca looking for a window while no program at all is on the bus yet: not
# about ours.
ORCA_ALONE = re.compile(r"ERROR: Unable to find active window from \[\]")


class Orca:
    """Orca and speech-dispatcher in folders of their own; what Orca says,
    read from its debug log."""

    def __init__(self, env, workdir):
        self.log_path = os.path.join(workdir, "orca-debug.log")
        home = os.path.join(workdir, "home")
        for sub in ("config/speech-dispatcher", "data/orca", "cache", "runtime"):
            os.makedirs(os.path.join(home, sub), exist_ok=True)
        os.chmod(os.path.join(home, "runtime"), 0o700)
        # The French locale, built into the test's folder: the machine may
        # have only its sources.
        locales = os.path.join(workdir, "locales")
        os.makedirs(locales)
        subprocess.run(["localedef", "-i", "fr_FR", "-f", "UTF-8", os.path.join(locales, "fr_FR.UTF-8")],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        self.env = dict(env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                        XDG_DATA_HOME=os.path.join(home, "data"), XDG_CACHE_HOME=os.path.join(home, "cache"),
                        XDG_RUNTIME_DIR=os.path.join(home, "runtime"), LOCPATH=locales,
                        LANG="fr_FR.UTF-8", LANGUAGE="fr", LC_ALL="fr_FR.UTF-8", GSETTINGS_BACKEND="memory")
        with open(os.path.join(home, ".libao"), "w") as f:
            f.write("default_driver=null\n")
        with open(os.path.join(home, "config/speech-dispatcher/speechd.conf"), "w") as f:
            f.write('AudioOutputMethod "libao"\nDefaultModule espeak-ng\nDefaultLanguage "fr"\n'
                    'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n')
        # Orca's log is block-buffered: every line at once instead. No
        # braille display to look for.
        with open(os.path.join(home, "data/orca/orca-customizations.py"), "w") as f:
            f.write("from orca import debug, settings\ndebug.debugFile.reconfigure(line_buffering=True)\n"
                    "settings.enableBraille = False\n")
        self.procs = []
        self.offset = 0

    def start(self):
        # Orca's own start of speech-dispatcher can fail, and Orca then goes
        # on without speech: start it first, to stay.
        self.procs.append(subprocess.Popen(["speech-dispatcher", "-s", "-t", "0"], env=self.env,
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        speechd = os.path.join(self.env["XDG_RUNTIME_DIR"], "speech-dispatcher", "speechd.sock")
        e2e.wait_for("speech-dispatcher to take connections", lambda: e2e.listens(speechd), 30)
        # Never --replace: it ends every process named orca of the user.
        self.procs.append(subprocess.Popen(["orca", "--debug-file", self.log_path], env=self.env,
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        # Orca says that it runs once it listens to the programs' events.
        e2e.wait_for("Orca listening", lambda: self.said_since(0), 60)

    def stop(self):
        # Orca may not end on a polite signal.
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.send_signal(signal.SIGKILL)
                proc.wait()

    def read(self):
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def said_since(self, offset):
        return [m.group(1) for m in SPOKEN.finditer(self.read()[offset:])]

    def mark(self):
        """Where the log stands: what is spoken after it is what follows."""
        self.offset = len(self.read())
        return self.offset

    def wait_for(self, what, words, timeout=20):
        """Waits until the utterances spoken since the last mark, joined,
        contain each of `words` in that order; returns them."""
        deadline = time.monotonic() + timeout
        while True:
            said = self.said_since(self.offset)
            heard = " | ".join(said)
            position = 0
            for word in words:
                found = heard.find(word, position)
                if found < 0:
                    break
                position = found + len(word)
            else:
                log(f"{what}: {heard}")
                return said
            check(time.monotonic() < deadline, f"{what}: {words} not heard; Orca said: {said}")
            time.sleep(0.1)

    def errors(self, since=0):
        return [line for line in self.read()[since:].splitlines()
                if ORCA_ERROR.search(line) and not ORCA_ALONE.search(line)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    args = parser.parse_args()

    workdir = tempfile.mkdtemp(prefix="ordavex-orca-")
    session = e2e.XSession(workdir)
    procs = []
    orca = None
    program = None
    try:
        # Both find the accessibility bus through the session bus: Qt 6.4
        # does not register on it when its address is in the environment.
        keyboard.start_accessibility_bus(session.env, procs)
        orca = Orca(session.env, workdir)
        orca.start()
        started = orca.mark()
        program = subprocess.Popen([args.program], env=dict(orca.env, QT_QPA_PLATFORM="xcb",
                                                            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                                            ALSOFT_DRIVERS="null"))

        log("1. the first focus")
        orca.wait_for("at start", ["Trier"], 60)
        e2e.wait_for("the shuffled bars", lambda: e2e.find_base_row(session.screenshot()), 30)

        log("2. Tab and Shift+Tab")
        visits = [("Tab", "Réinitialiser", ["Réinitialiser"]),
                  ("Tab", "the count field", ["Nombre d'éléments", "1500"]),
                  ("Tab", "the delay field", ["Délai en millisecondes", "1"]),
                  ("Tab", "the list of algorithms", ["Mode de Tri", "Quick Sort"]),
                  ("Tab", "the logo", ["Ouvrir le site web"]),
                  ("Tab", "Trier", ["Trier"]),
                  ("shift+Tab", "the logo, back", ["Ouvrir le site web"]),
                  ("shift+Tab", "the list of algorithms, back", ["Mode de Tri", "Quick Sort"]),
                  ("shift+Tab", "the delay field, back", ["Délai en millisecondes", "1"]),
                  ("shift+Tab", "the count field, back", ["Nombre d'éléments", "1500"])]
        for key, what, words in visits:
            orca.mark()
            session.key(key)
            said = orca.wait_for(what, words)
            if what.startswith(("the count field", "the delay field")):
                # The value once, whole: not "150" for 1500, nor twice.
                values = [number for utterance in said for number in re.findall(r"\d+", utterance)]
                check(values == [words[1]], f"{what}: the value was spoken as {values}")

        log("3. another algorithm")
        orca.mark()
        session.key("Tab", "Tab")
        orca.wait_for("the list of algorithms", ["Mode de Tri", "Quick Sort"])
        orca.mark()
        session.key("Down")
        orca.wait_for("Down in the list", ["Merge Sort"])

        log("4. a paused run of 30 bars, and its end")
        orca.mark()
        session.key("shift+Tab", "shift+Tab")
        orca.wait_for("the count field", ["Nombre d'éléments"])
        session.key("ctrl+a")
        session.xdotool("type", "--delay", 40, "30")
        session.key("Tab")
        session.key("ctrl+a")
        session.xdotool("type", "--delay", 40, "40")
        orca.mark()
        session.key("shift+Tab", "shift+Tab")
        orca.wait_for("Réinitialiser", ["Réinitialiser"])
        session.key("Return")
        shuffled = e2e.wait_for("30 shuffled bars", lambda: e2e.read_bars(session.screenshot(), 30), 20)
        orca.mark()
        session.key("shift+Tab")
        orca.wait_for("Trier", ["Trier"])
        orca.mark()
        session.key("Return")
        e2e.wait_for("the run", lambda: e2e.read_bars(session.screenshot(), 30) not in (None, shuffled), 10)
        session.key("p")
        orca.wait_for("P", ["Pause"])
        orca.mark()
        session.key("p")
        orca.wait_for("P again", ["Reprise"])
        orca.wait_for("the end of the run", ["Nombre d'échanges : "], 120)
        said = orca.said_since(orca.offset)
        counts = [m.group(1) for u in said for m in [re.search(r"Nombre d'échanges : (\d+)", u)] if m]
        check(counts, f"the count was not spoken: {said}")

        log("5. nothing Orca could not read")
        errors = orca.errors(started)
        check(not errors, "Orca logged errors:\n" + "\n".join(errors[:20]))

        # Pressed, not released: Qt 6.4's bridge holds each key until Orca has
        # answered for it, and leaks the release still waiting when the
        # program has quit on the press.
        session.xdotool("keydown", "Escape")
        check(program.wait(10) == 0, "the program did not end well on Escape")
        print("PASS")
        return 0
    except e2e.Failure as failure:
        print(f"FAIL: {failure}\nOrca's log and the rest are kept in {workdir}")
        return 1
    finally:
        if program is not None and program.poll() is None:
            program.kill()
        if orca is not None:
            orca.stop()
        e2e.stop(procs)
        session.close()


if __name__ == "__main__":
    sys.exit(main())
