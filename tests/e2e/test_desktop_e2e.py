#!/usr/bin/env python3
"""The real program as a desktop user meets it: a screenshot of the splash, the main window, the About
box and the Preferences; every value (a shortened one with its whole text), picture and field named
for a screen reader, read over AT-SPI; Esc and Ctrl+Q; and a window class that matches the desktop
entry's StartupWMClass. (The keyboard's way through the windows and the texts' contrast in a dark
palette are tested in the widget tests.)

    test_desktop_e2e.py <binary> <artifacts folder>    (TOLVANE_DESKTOP_ENTRY: the built desktop entry)
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import FEED_SERVER, SOURCE_ROOT, Sandbox, check, nodes, run, wait_until  # noqa: E402

BINARY, ARTIFACTS = sys.argv[1], sys.argv[2]
MAIN = "^Ann's Tolvane Version 1.0$"
SETTINGS = {"My Name": "Ann Example", "State": "Tennessee", "Station": "KCHA",
            "Time Server": "utcnist.colorado.edu", "Sound": "0", "Splash": "1", "Update": "1", "UTC": "0"}
LONG_WIND = "from the Northwest at 23.0 gusting to 35.1 MPH (20 gusting to 31 KT)"
ELLIPSIS = "\u2026"


def observation_document(folder):
    """The worked example with a wind and a temperature too long for their labels."""
    with open(os.path.join(SOURCE_ROOT, "tests", "weather", "data", "worked_example.xml"), "rb") as f:
        document = f.read()
    document = document.replace(b"From the Northwest at 9 MPH", LONG_WIND.encode("latin-1"))
    document = document.replace(b"<temp_f>54</temp_f>", b"<temp_f>-12.0</temp_f>")
    path = os.path.join(folder, "long_values.xml")
    with open(path, "wb") as f:
        f.write(document)
    return path


def named(tree, name):
    found = [node for node in nodes(tree) if node["name"] == name]
    check(found, f"nothing on the AT-SPI bus is named {name!r}")
    return found[0]


def window(tree, name):
    found = [node for node in tree if node["name"] == name]
    check(found, f"no window {name!r} on the AT-SPI bus; windows: {[node['name'] for node in tree]}")
    return found[0]


def wait_until_gone(box, name, timeout=30):
    wait_until(lambda: not box.find_windows(name), timeout, f"a window named {name!r} stayed up")


def settle_and_shoot(box, window, name):
    time.sleep(0.7)  # let the first paint finish before the picture is taken
    box.screenshot(window, name)


def check_main_window_for_screen_readers(box):
    tree = window(box.accessible_tree(), "Ann's Tolvane Version 1.0")["children"]
    for name in ("Humidity: 62%", "Pressure: 30.12 in.", "Visibility: 10.00", "Dewpoint: 41\u00b0F",
                 "Weather: Partly Cloudy", "Observation time: Last Updated on Nov 27, 2:53 pm EST",
                 "Internet Time Service logo", "National Weather Service logo"):
        named(tree, name)
    wind = named(tree, "Wind: Wind " + LONG_WIND)
    check(wind["description"] == "Wind " + LONG_WIND, f"the shortened wind keeps its whole text: {wind}")
    temperature = named(tree, "Temperature: -12.0\u00b0 Farenheit")
    check(temperature["description"] == "-12.0\u00b0 Farenheit", f"temperature: {temperature}")
    picture = named(tree, "Weather picture")
    check(picture["description"] == "Partly Cloudy", f"the picture gives its condition: {picture}")
    credit = named(tree, "Weather data provided by: NOAA's National Weather Service, http://www.weather.gov/")
    check(credit["role"] == "label", f"credit: {credit['role']}")


def check_about_box(box, main):
    box.key(main, "ctrl+a")
    about = box.wait_for_window("^About Tolvane & Author$")
    settle_and_shoot(box, about, "about")
    dialog = window(box.accessible_tree(), "About Tolvane & Author")
    check(dialog["role"] == "dialog", f"the About box is exposed as {dialog['role']!r}")
    named(dialog["children"], "Orlentis logo")
    box.key(about, "Escape")
    wait_until_gone(box, "^About Tolvane & Author$")


def check_preferences(box, main):
    box.key(main, "ctrl+p")
    dialog = box.wait_for_window("^Preferences$")
    wait_until_gone(box, "Tolvane Version")
    settle_and_shoot(box, dialog, "preferences")
    preferences = window(box.accessible_tree(), "Preferences")
    check(preferences["role"] == "dialog", f"Preferences is exposed as {preferences['role']!r}")
    fields = preferences["children"]
    text_boxes = [node["name"] for node in nodes(fields) if node["role"] == "text"]
    check("Name" in text_boxes, f"the name box is not named after its label: {text_boxes}")
    combos = [node for node in nodes(fields) if node["role"] == "combo box"]
    labels = sorted(label for node in combos for label in node["relations"].get("labelled by", []))
    check(labels == ["State", "Station", "Time Server"], f"drop-down boxes labelled by {labels}")
    for caption in ("Add to Startup", "Sounds", "Display Splash Screen", "Auto Update", "24 Hour Time Format"):
        check(named(fields, caption)["role"] == "check box", f"{caption} is not a check box")
    box.key(dialog, "Escape")
    # The way back runs the start-up sequence: the splash countdown, then a fresh main window.
    return box.wait_for_window(MAIN, timeout=60)


def check_window_class_matches_desktop_entry(box, main):
    entry_path = os.environ.get("TOLVANE_DESKTOP_ENTRY", "")
    check(os.path.isfile(entry_path), f"no desktop entry at {entry_path!r}")
    with open(entry_path, encoding="utf-8") as f:
        keys = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
    instance_and_class = box.window_class(main)
    check(len(instance_and_class) == 2, f"WM_CLASS: {instance_and_class}")
    check(keys.get("StartupWMClass") == instance_and_class[1],
          f"StartupWMClass={keys.get('StartupWMClass')!r}, but the window's class is {instance_and_class[1]!r}")


def test():
    with Sandbox(BINARY, ARTIFACTS, accessibility=True) as box:
        box.seed_settings(SETTINGS)
        box.start_service(["python3", FEED_SERVER, "--log", os.path.join(box.root, "feed.log"), "--document",
                           observation_document(box.root)], ready_port=80)
        program = box.start_program()

        splash = box.wait_for_window("^Tolvane$")
        settle_and_shoot(box, splash, "splash")
        main = box.wait_for_window(MAIN, timeout=60)
        wait_until_gone(box, "^Tolvane$")
        settle_and_shoot(box, main, "main")

        check_window_class_matches_desktop_entry(box, main)
        check_main_window_for_screen_readers(box)
        check_about_box(box, main)
        main = check_preferences(box, main)
        wait_until_gone(box, "^Tolvane$")

        box.key(main, "ctrl+q")
        check(program.wait(timeout=30) == 0, "Ctrl+Q must end the program")


run(test)
