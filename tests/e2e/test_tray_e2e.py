#!/usr/bin/env python3
"""The notification icon under a real tray host (trayer): it appears with its tip, minimising hides the
window, a double-click brings it back and a right-click pops up the menu. Where the desktop hosts
StatusNotifierItems instead (a fake watcher named by TOLVANE_SNI_WATCHER), the icon's tip is published
and the host's activation and context-menu requests do the same. Without any tray the window stays
reachable. Screenshots are kept."""

import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import FEED_SERVER, Sandbox, check, run, wait_until  # noqa: E402

BINARY, ARTIFACTS = sys.argv[1], sys.argv[2]
TITLE = "^Ann's Tolvane Version 1.0$"
SETTINGS = {"My Name": "Ann Example", "State": "Tennessee", "Station": "KCHA",
            "Time Server": "utcnist.colorado.edu", "Sound": "1", "Splash": "0", "Update": "1", "UTC": "0"}


def start_tray(box):
    """A trayer panel along the bottom edge; returns its window."""
    box.processes.append(subprocess.Popen(
        ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "120",
         "--height", "32", "--SetDockType", "true", "--transparent", "false", "--tint", "0x808080"],
        env=box.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    found = []

    def panel():
        found[:] = box.x("xdotool", "search", "--class", "--name", "^panel$").stdout.split()
        return bool(found)
    wait_until(panel, 20, "trayer did not start")
    time.sleep(0.5)  # let it claim the tray selection
    return found[0]


def tray_icon(box, panel):
    """The program's icon embedded in the panel: (window, centre x, centre y), or None."""
    tree = box.x("xwininfo", "-tree", "-id", panel).stdout
    match = re.search(r'(0x[0-9a-f]+) "Tolvane": \("tolvane" "Tolvane"\)\s+(\d+)x(\d+)\S*\s+'
                      r'\+(-?\d+)\+(-?\d+)', tree)
    if not match:
        return None
    window, width, height, left, top = match.groups()
    return window, int(left) + int(width) // 2, int(top) + int(height) // 2


def visible_program_windows(box):
    return set(box.x("xdotool", "search", "--onlyvisible", "--class", "tolvane").stdout.split())


def window_type(box, window):
    return box.x("xprop", "-id", window, "_NET_WM_WINDOW_TYPE").stdout


def wm_state(box, window):
    """Normal, Iconic, or Withdrawn (no state: hidden by the program itself)."""
    match = re.search(r"window state: (\w+)", box.x("xprop", "-id", window, "WM_STATE").stdout)
    return match.group(1) if match else "Withdrawn"


def new_window(box, before, kind, timeout=10):
    found = []

    def appeared():
        found[:] = [w for w in visible_program_windows(box) - before if kind(w)]
        return bool(found)
    wait_until(appeared, timeout, "no new window of the program appeared")
    return found[0]


def test_with_tray():
    with Sandbox(BINARY, os.path.join(ARTIFACTS, "with_tray")) as box:
        box.seed_settings(SETTINGS)
        box.start_service(["python3", FEED_SERVER, "--log", os.path.join(box.root, "feed.log")],
                          ready_port=80)
        panel = start_tray(box)
        program = box.start_program()
        window = box.wait_for_window(TITLE)

        icon = []

        def icon_shown():
            icon[:] = [tray_icon(box, panel)]
            return icon[0] is not None
        wait_until(icon_shown, 20, "no icon in the tray")
        _, x, y = icon[0]

        # The tip shows when the pointer rests on the icon.
        before = visible_program_windows(box)
        box.x("xdotool", "mousemove", str(x), str(y))
        box.x("xdotool", "mousemove", str(x + 1), str(y))
        tip = new_window(box, before, lambda w: "TOOLTIP" in window_type(box, w))
        time.sleep(0.3)
        box.screenshot(None, "tray_tip")
        tip_width = int(re.search(r"Width: (\d+)", box.x("xwininfo", "-id", tip).stdout).group(1))
        check(tip_width > 40, f"the tip is too narrow for \"Ann's Tolvane\": {tip_width} pixels")
        box.x("xdotool", "mousemove", "10", "10")

        # Minimising hides the window: withdrawn, not merely iconified; the icon stays.
        box.x("xdotool", "windowminimize", window)
        wait_until(lambda: not box.find_windows(TITLE), 10, "minimising did not hide the window")
        check(wm_state(box, window) == "Withdrawn", f"the window is {wm_state(box, window)}, not hidden")
        check(tray_icon(box, panel) is not None, "the icon must stay while the window is hidden")
        box.screenshot(None, "tray_hidden")

        # A double-click on the icon brings it back in the normal state.
        box.x("xdotool", "mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "80", "1")
        wait_until(lambda: bool(box.find_windows(TITLE)), 10, "a double-click did not bring the window back")
        check(wm_state(box, window) == "Normal", f"the window came back {wm_state(box, window)}")
        time.sleep(0.5)
        box.screenshot(None, "tray_restored")

        # Hidden again, a right-click pops up the menu.
        box.x("xdotool", "windowminimize", window)
        wait_until(lambda: not box.find_windows(TITLE), 10, "minimising did not hide the window")
        before = visible_program_windows(box)
        box.x("xdotool", "mousemove", str(x), str(y), "click", "3")
        menu = new_window(box, before, lambda w: "TOOLTIP" not in window_type(box, w))
        time.sleep(0.3)
        box.screenshot(None, "tray_menu")
        geometry = box.x("xwininfo", "-id", menu).stdout
        height = int(re.search(r"Height: (\d+)", geometry).group(1))
        check(height > 100, f"the pop-up is {height} pixels high, too low for nine items")
        box.x("xdotool", "key", "Escape")
        wait_until(lambda: menu not in visible_program_windows(box), 10, "Esc did not close the menu")

        box.x("xdotool", "mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "80", "1")
        window = box.wait_for_window(TITLE, timeout=10)

        # Exit with sounds on and no sound server: the goodbye cue is silent, the countdown shows.
        box.key(window, "ctrl+x")
        splash = box.wait_for_window("^Tolvane$", timeout=10)
        time.sleep(1.5)
        box.screenshot(splash, "exit_splash")
        check(program.wait(timeout=20) == 0, "Exit must end the program")
        wait_until(lambda: tray_icon(box, panel) is None, 10, "the icon stayed after the program ended")


def test_status_notifier():
    with Sandbox(BINARY, os.path.join(ARTIFACTS, "status_notifier")) as box:
        box.seed_settings(dict(SETTINGS, Sound="0"))
        watcher = box.start_status_notifier_watcher()
        program = box.start_program()
        window = box.wait_for_window(TITLE)
        item = box.status_notifier_item(watcher)

        def item_call(method, *args):
            return box.item_call(item, method, *args)
        tip = item_call("org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierItem", "ToolTip").stdout
        check("Ann's Tolvane" in tip, f"the item's tip is {tip!r}")

        box.x("xdotool", "windowminimize", window)
        wait_until(lambda: not box.find_windows(TITLE), 10, "minimising did not hide the window")
        check(wm_state(box, window) == "Withdrawn", f"the window is {wm_state(box, window)}, not hidden")

        # Such hosts report no double-click: their activation (a left click) stands for it.
        item_call("org.kde.StatusNotifierItem.Activate", "0", "0")
        wait_until(lambda: bool(box.find_windows(TITLE)), 10,
                   "activating the item did not bring the window back")

        box.x("xdotool", "windowminimize", window)
        wait_until(lambda: not box.find_windows(TITLE), 10, "minimising did not hide the window")
        before = visible_program_windows(box)
        box.x("xdotool", "mousemove", "900", "700")
        item_call("org.kde.StatusNotifierItem.ContextMenu", "900", "700")
        new_window(box, before, lambda w: "TOOLTIP" not in window_type(box, w))
        time.sleep(0.3)
        box.screenshot(None, "status_notifier_menu")
        box.x("xdotool", "key", "Up", "Return")  # the last item: Exit
        check(program.wait(timeout=20) == 0, "Exit from the menu must end the program")


def test_without_tray():
    with Sandbox(BINARY, os.path.join(ARTIFACTS, "without_tray")) as box:
        box.seed_settings(dict(SETTINGS, Sound="0"))
        program = box.start_program()
        window = box.wait_for_window(TITLE)
        box.x("xdotool", "windowminimize", window)
        wait_until(lambda: wm_state(box, window) == "Iconic", 10, "the window was not minimised")
        time.sleep(1)
        check(wm_state(box, window) == "Iconic", "without a tray the window must stay reachable, not hidden")
        box.x("xdotool", "windowactivate", "--sync", window)
        wait_until(lambda: wm_state(box, window) == "Normal", 10, "the minimised window did not come back")
        time.sleep(0.5)  # let it paint before the picture is taken
        box.screenshot(window, "no_tray_restored")
        box.key(window, "ctrl+x")
        check(program.wait(timeout=20) == 0, "Exit must end the program")


def test():
    test_with_tray()
    test_status_notifier()
    test_without_tray()


run(test)
