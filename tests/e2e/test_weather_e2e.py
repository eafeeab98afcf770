#!/usr/bin/env python3
"""The real program fetches its station's observation at load over https from the forecast host when
the feed is gone, trusting the system's certificates, and keeps it in Weather.dat. With every service
silent, start-up stays within the sum of its bounds, and while a refresh waits the window repaints,
answers a screen reader and starts no other command. (The order of the sources, their budget, the API
conversion and what a failed refresh keeps are tested below this, against fakes and loopback servers.)"""

import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import FEED_SERVER, SOURCE_ROOT, Sandbox, check, nodes, run  # noqa: E402

BINARY, ARTIFACTS = sys.argv[1], sys.argv[2]
DATA = os.path.join(SOURCE_ROOT, "tests", "weather", "data")
DOCUMENT = os.path.join(DATA, "TJMZ.xml")
AGENT = "Tolvane/1.0.0 (+http://www.orlentis.example/)"
WINDOW = "^Ann's Tolvane Version 1.0$"
# The refresh's budget, the one-second pause at load, and room for a slow, shared machine.
BUDGET_S, PAUSE_S, SLACK_S = 10, 1, 8
# The pack check's budget and the daytime exchange's bound: the rest of a start-up's waits.
PACKS_S, DAYTIME_S = 10, 5


def read(path):
    with open(path, "rb") as f:
        return f.read()


def requests_in(log):
    """The requests a fake service saw: "GET path\tagent" each (the HTTP version depends on the
    client library, and does not matter here)."""
    if not os.path.exists(log):
        return []
    with open(log, encoding="utf-8") as f:
        lines = [line.rstrip("\n") for line in f if line.strip()]
    return [f"{line.split(' ')[0]} {line.split(' ')[1]}\t{line.split(chr(9), 1)[-1]}" for line in lines]


class WeatherBox(Sandbox):
    """A sandbox whose hosts file sends the feed host to 127.0.0.1 and the two https hosts to
    127.0.0.3, with fake weather services started on demand."""

    def settle(self, station):
        self.seed_settings({"My Name": "Ann", "State": "Puerto Rico", "Station": station,
                            "Time Server": "utcnist.colorado.edu", "Sound": "0", "Splash": "0",
                            "Update": "1", "UTC": "1"})
        self.tls = None

    def feed(self, name, *options, files=(), tls=False, bind="127.0.0.1", port=None):
        """Starts a fake service serving `files` (of the weather tests' data) and nothing else; returns
        its request log and process."""
        if tls and self.tls is None:
            self.tls = self.test_ca_server_files()
        folder = os.path.join(self.root, f"{name}-files")
        os.makedirs(folder)
        for file in files:
            shutil.copy(os.path.join(DATA, file), os.path.join(folder, os.path.basename(file)))
        log = os.path.join(self.root, f"{name}.log")
        port = port or (443 if tls else 80)
        command = ["python3", FEED_SERVER, "--log", log, "--bind", bind, "--port", str(port),
                   "--folder", folder, *options]
        if tls:
            command += ["--tls-cert", self.tls[0], "--tls-key", self.tls[1]]
        process = self.start_service(command, ready_port=port, ready_host=bind)
        return log, process

    def start_and_time(self):
        started = time.monotonic()
        program = self.start_program()
        window = self.wait_for_window(WINDOW, timeout=60)
        return program, window, time.monotonic() - started

    def weather_dat(self):
        path = os.path.join(self.app_dir, "Weather.dat")
        return read(path) if os.path.exists(path) else None


def test_forecast_host_when_the_feed_is_gone():
    with WeatherBox(BINARY, os.path.join(ARTIFACTS, "forecast")) as box:
        box.settle("TJMZ")
        feed_log, _ = box.feed("feed")  # nothing to serve: 404 for every station
        https_log, _ = box.feed("https", files=["TJMZ.xml"], tls=True, bind="127.0.0.3")
        box.start_and_time()
        check(requests_in(https_log) == [f"GET /xml/current_obs/TJMZ.xml\t{AGENT}"],
              f"the forecast host saw {requests_in(https_log)!r}")
        check(len(requests_in(feed_log)) == 1, f"the feed saw {requests_in(feed_log)!r}")
        check(box.weather_dat() == read(DOCUMENT) + b"\r\n", "Weather.dat must hold the forecast host's document")


def test_every_service_silent():
    """The worst start-up: the update site, the weather sources and the time server all take the
    connection and never answer (and no packs yet, so the pack check asks)."""
    with WeatherBox(BINARY, os.path.join(ARTIFACTS, "all_silent"), packs=False, accessibility=True) as box:
        box.settle("TJMZ")
        feed_log, _ = box.feed("feed", "--silent")
        https_log, _ = box.feed("https", "--silent", tls=True, bind="127.0.0.3")
        update_log, _ = box.feed("update", "--silent", bind="127.0.0.2")
        box.feed("daytime", "--silent", bind="127.0.0.4", port=13)
        watcher = box.start_status_notifier_watcher()
        program, window, elapsed = box.start_and_time()
        print(f"start-up with every service silent: window after {elapsed:.1f} s")
        check(elapsed < PAUSE_S + PACKS_S + BUDGET_S + DAYTIME_S + SLACK_S,
              f"silent services held the window back {elapsed:.1f} s")
        check(len(requests_in(update_log)) == 1, f"the pack check must stop at its first time-out: "
              f"{requests_in(update_log)!r}")
        check(len(requests_in(https_log)) == 2, f"both https sources must be tried: {requests_in(https_log)!r}")
        check(box.weather_dat() is None, "no Weather.dat without an observation")
        check_alive_while_a_refresh_waits(box, program, window, box.status_notifier_item(watcher), feed_log)


def accessible_names(box):
    return [node["name"] for node in nodes(box.accessible_tree(timeout=BUDGET_S))]


def magenta_pixels(png):
    """How many pixels of the picture are pure magenta, the colour of the window laid over it."""
    result = subprocess.run(["convert", png, "-fill", "black", "+opaque", "#ff00ff", "-fill", "white", "-opaque",
                             "#ff00ff", "-format", "%[fx:round(mean*w*h)]", "info:"], capture_output=True, text=True)
    check(result.returncode == 0, f"convert failed: {result.stderr}")
    return int(result.stdout.strip())


def check_alive_while_a_refresh_waits(box, program, window, tray_item, feed_log):
    """A refresh, started by a click on Get Weather, waits its whole budget against silent sources.
    Meanwhile the window repaints what a window laid over it uncovers and answers an AT-SPI query. No
    second command starts while it waits: a key (F5) is held back and runs after it, a request of the
    tray's host over D-Bus is refused, and Exit given during the next wait ends the program only once
    that wait is over."""
    asked = len(requests_in(feed_log))
    geometry = dict(line.split("=") for line in box.x("xdotool", "getwindowgeometry", "--shell", window).stdout.split())
    # Get Weather, by its place in the window: its frame's corner plus its own, below the menu bar.
    button_x, button_y = (120 + 4920 + 1335 // 2) // 15, (240 + 2160 + 375 // 2) // 15 + 22
    box.x("xdotool", "mousemove", "--window", window, str(button_x), str(button_y), "click", "1")
    deadline = time.monotonic() + 5
    while len(requests_in(feed_log)) == asked and time.monotonic() < deadline:
        time.sleep(0.1)
    started = time.monotonic()
    check(len(requests_in(feed_log)) == asked + 1, "a click on Get Weather started no refresh")

    time.sleep(0.5)
    box.screenshot(window, "waiting")
    cover = subprocess.Popen(["xmessage", "-bg", "#ff00ff", "-fg", "#ff00ff", "-geometry",
                              f"{geometry['WIDTH']}x{geometry['HEIGHT']}+{geometry['X']}+{geometry['Y']}", " "],
                             env=box.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    box.wait_for_window("^xmessage$", timeout=5)
    time.sleep(0.5)
    box.screenshot(None, "waiting_covered")
    cover.terminate()
    cover.wait(timeout=5)
    time.sleep(1)
    uncovered = box.screenshot(window, "waiting_uncovered")
    check(magenta_pixels(uncovered) == 0, "the window did not repaint what the window over it had covered")

    names = accessible_names(box)
    check("Retrieving weather data from TJMZ" in names, f"AT-SPI answered, but not during the wait: {names}")

    box.key(window, "F5")
    before = set(box.x("xdotool", "search", "--onlyvisible", "--class", "tolvane").stdout.split())
    box.item_call(tray_item, "org.kde.StatusNotifierItem.ContextMenu", "300", "300")
    time.sleep(1)
    check(len(requests_in(feed_log)) == asked + 1, f"a second refresh started: {requests_in(feed_log)[asked:]}")
    after = set(box.x("xdotool", "search", "--onlyvisible", "--class", "tolvane").stdout.split())
    check(after == before, f"the tray menu opened while a command waited: {after - before}")
    print(f"checks during the refresh took {time.monotonic() - started:.1f} s of its {BUDGET_S} s")
    check(time.monotonic() - started < BUDGET_S - 1, "the checks outlasted the refresh; they prove nothing")

    # Once the refresh is over, the F5 held back runs: a second refresh, after the first.
    deadline = started + BUDGET_S + SLACK_S
    while len(requests_in(feed_log)) == asked + 1 and time.monotonic() < deadline:
        time.sleep(0.1)
    second = time.monotonic()
    check(len(requests_in(feed_log)) == asked + 2, f"F5 given during the refresh never ran: {requests_in(feed_log)}")
    check(second - started > BUDGET_S - 2, f"F5 ran {second - started:.1f} s into a {BUDGET_S} s refresh")
    box.key(window, "ctrl+x")
    time.sleep(2)
    check(program.poll() is None, "Exit given while a refresh waited cut the refresh short")
    check(program.wait(timeout=BUDGET_S + SLACK_S) == 0, "Exit given during the refresh never ran")
    check(time.monotonic() - second > BUDGET_S - 2, "Exit ended the program before the refresh was over")


def test():
    test_forecast_host_when_the_feed_is_gone()
    test_every_service_silent()


run(test)
