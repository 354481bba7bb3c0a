#!/usr/bin/python3
"""The real fuelix binary on an X server, as a screen reader sees it: names and results read
through AT-SPI, keys typed by xdotool, ended by Alt+Q. One row per locale, scale factor and
desktop (whose key scheme Qt follows).
Run under tools/with-xvfb and dbus-run-session; the accessibility bus starts on demand."""

import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# A decimal-comma locale changes nothing; every desktop's key scheme takes the same undo keys.
ROWS = [("C.UTF-8", "1", "GNOME"), ("de_DE.UTF-8", "2", "KDE"), ("C.UTF-8", "1", "XFCE")]


def wait_for(what, probe, timeout=10.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.05)
    sys.exit("timed out waiting for " + what)


def nodes(node):
    yield node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from nodes(child)


def app():
    desktop = Atspi.get_desktop(0)
    apps = (desktop.get_child_at_index(i) for i in range(desktop.get_child_count()))
    return next((a for a in apps if a is not None and a.get_name() == "Fuelix"), None)


def check(binary, lang, scale, desktop):
    env = dict(os.environ, LANG=lang, LC_ALL=lang, QT_SCALE_FACTOR=scale,
               XDG_CURRENT_DESKTOP=desktop, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    env.pop("QT_QPA_PLATFORM", None)  # the test presets ask for offscreen; this one is on X
    program = subprocess.Popen([binary], env=env)
    try:
        window = wait_for("the window", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Fuelix$"],
            capture_output=True, text=True).stdout.split())[0]
        tree = wait_for("Fuelix on the accessibility bus", app)

        def named(name):
            return [n for n in nodes(tree) if n.get_name() == name]

        def results():
            return [next(n.get_name() for n in nodes(tree) if n.get_description() == d)
                    for d in ("Volume in tank", "Free space", "Volume from pump",
                              "Final octane rating")]

        for name in ("Tank octane rating", "Tank capacity", "Pump octane rating",
                     "Tank fill level", "Pump share of free space", "Reset", "About Fuelix",
                     "Quit", "Toggle panel look (raised or sunken)"):
            assert len(named(name)) == 1, "no single control named %r" % name
        assert results() == ["8.2", "8.2", "8.2", "95.5"], results()
        for box, caption in (("Tank octane rating", "Octane Rating:"),
                             ("Tank capacity", "Tank Capacity:"),
                             ("Pump octane rating", "Octane Rating:")):
            labels = [r.get_target(0).get_name() for r in named(box)[0].get_relation_set()
                      if r.get_relation_type() == Atspi.RelationType.LABELLED_BY]
            assert labels == [caption], (box, labels)
        # The first key replaces the text the program gave the focus; undo and redo by key.
        subprocess.run(["xdotool", "windowfocus", "--sync", window, "type", "7"], check=True)
        for key, final in (("ctrl+z", "95.5"), ("ctrl+y", "53.5"), ("ctrl+z", "95.5"),
                           ("ctrl+shift+z", "53.5")):
            subprocess.run(["xdotool", "key", key], check=True)
            wait_for(key, lambda: results()[3] == final, 5)
        # Tab selects the capacity; its text is replaced key by key, then tidied on leaving.
        subprocess.run(["xdotool", "key", "Tab", "type", "--delay", "30", "0.50"], check=True)
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        wait_for("the results of 0.5", lambda: results() == ["0.25", "0.25", "0.25", "53.5"], 5)
        assert Atspi.Text.get_text(named("Tank capacity")[0], 0, -1) == "0.5"
        subprocess.run(["xdotool", "key", "alt+q"], check=True)
        assert program.wait(timeout=10) == 0
    finally:
        if program.poll() is None:
            program.kill()


if __name__ == "__main__":
    for row in ROWS:
        check(sys.argv[1], *row)
        print("passed: %s at scale %s on %s" % row)
