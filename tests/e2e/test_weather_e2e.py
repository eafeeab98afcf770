#!/usr/bin/env python3
"""The real program asks the feed for its station once at load, keeps the reply in Weather.dat and
shows the observation with its picture."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import FEED_SERVER, SOURCE_ROOT, Sandbox, check, run  # noqa: E402

BINARY, ARTIFACTS = sys.argv[1], sys.argv[2]
DOCUMENT = os.path.join(SOURCE_ROOT, "tests", "weather", "data", "TJMZ.xml")


def test():
    with Sandbox(BINARY, ARTIFACTS) as box:
        box.seed_settings({"My Name": "Ann", "State": "Puerto Rico", "Station": "TJMZ",
                           "Time Server": "utcnist.colorado.edu", "Sound": "0", "Splash": "0",
                           "Update": "1", "UTC": "1"})
        log = os.path.join(box.root, "feed.log")
        box.start_service(["python3", FEED_SERVER, "--log", log, "--document", DOCUMENT], ready_port=80)
        program = box.start_program()
        window = box.wait_for_window("^Ann's Tolvane Version 1.0$")
        time.sleep(0.5)
        box.screenshot(window, "weather_main_window")

        with open(log, encoding="utf-8") as f:
            requests = [line.rstrip("\n") for line in f if line.strip()]
        check(requests == ["GET /data/current_obs/TJMZ.xml HTTP/1.1\tvb wininet"],
              f"the feed saw {requests!r}")
        with open(DOCUMENT, "rb") as f:
            reply = f.read()
        with open(os.path.join(box.app_dir, "Weather.dat"), "rb") as f:
            stored = f.read()
        check(stored == reply + b"\r\n", "Weather.dat must hold the reply followed by CR LF")

        box.key(window, "ctrl+x")
        check(program.wait(timeout=30) == 0, "Exit must end the program")


run(test)
