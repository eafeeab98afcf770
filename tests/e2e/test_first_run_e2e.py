#!/usr/bin/env python3
"""A first start shows only the preferences dialog; typing a name and pressing Enter stores the
settings and the autostart entry for this program and brings up the main window greeting that name,
without ending the program."""

import configparser
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import FEED_SERVER, Sandbox, check, run  # noqa: E402

BINARY, ARTIFACTS = sys.argv[1], sys.argv[2]


def stored_settings(box):
    parser = configparser.RawConfigParser()
    parser.optionxform = str
    parser.read(box.settings_file(), encoding="utf-8")
    return {name.replace("%20", " "): value for name, value in parser["General"].items()}


def wait_until_gone(box, name, settle, timeout):
    """Waits until no window of that name has been visible for `settle` seconds."""
    deadline = time.monotonic() + timeout
    absent_since = None
    while time.monotonic() < deadline:
        if box.find_windows(name):
            absent_since = None
        elif absent_since is None:
            absent_since = time.monotonic()
        elif time.monotonic() - absent_since >= settle:
            return
        time.sleep(0.1)
    check(False, f"a window named {name!r} stayed up")


def test():
    with Sandbox(BINARY, ARTIFACTS) as box:
        box.start_service(["python3", FEED_SERVER, "--log", os.path.join(box.root, "feed.log")], ready_port=80)
        program = box.start_program()
        dialog = box.wait_for_window("^Preferences$")
        time.sleep(0.5)  # let the first paint finish before the picture is taken
        box.screenshot(dialog, "first_run_preferences")
        check(not box.find_windows("Tolvane"), "a first start must show only the preferences dialog")
        check(not os.path.exists(os.path.join(box.env["XDG_CONFIG_HOME"], "Orlentis")),
              "nothing is stored before saving")

        box.type_text(dialog, "Ann Example")
        box.key(dialog, "Return")
        window = box.wait_for_window("^Ann's Tolvane Version 1.0$")
        check(not box.find_windows("^Preferences$"), "the dialog closes after saving")

        settings = stored_settings(box)
        check(settings == {"My Name": "Ann Example", "State": "Tennessee", "Station": "KCHA",
                           "Time Server": "utcnist.colorado.edu", "Sound": "1", "Splash": "1",
                           "Update": "1", "UTC": "0", "Precise Time": "1"}, f"stored settings: {settings}")
        entry_path = os.path.join(box.env["XDG_CONFIG_HOME"], "autostart", "Tolvane.desktop")
        check(os.path.exists(entry_path), "saving with 'Add to Startup' adds the autostart entry")
        with open(entry_path, encoding="utf-8") as f:
            entry = f.read()
        check(f"\nExec={os.path.join(box.app_dir, 'tolvane')}\n" in entry, f"autostart entry: {entry}")

        # The dialog's closing runs the start-up sequence once more: a second splash countdown follows
        # the main window. The window paints when it is over.
        wait_until_gone(box, "^Tolvane$", settle=1.5, timeout=30)
        time.sleep(0.5)
        box.screenshot(window, "first_run_main_window")
        check(program.poll() is None, "the program keeps running with its main window")
        box.key(window, "ctrl+x")  # File > Exit
        check(program.wait(timeout=30) == 0, "Exit must end the program")


run(test)
