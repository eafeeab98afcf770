#!/usr/bin/env python3
"""The real program starts with seeded settings, greets its user in the title, and a second copy
is refused with a message and ends. The lock file is gone after Exit, and the one a killed copy left
behind keeps no start from happening (what else may lie at the lock's path is tested below this)."""

import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import FEED_SERVER, Sandbox, check, run  # noqa: E402

BINARY, ARTIFACTS = sys.argv[1], sys.argv[2]
TITLE = "^Ann's Tolvane Version 1.0$"


def test():
    with Sandbox(BINARY, ARTIFACTS) as box:
        box.seed_settings({"My Name": "Ann Example", "State": "Tennessee", "Station": "KCHA",
                           "Time Server": "utcnist.colorado.edu", "Sound": "0", "Splash": "0",
                           "Update": "1", "UTC": "0"})
        box.start_service(["python3", FEED_SERVER, "--log", os.path.join(box.root, "feed.log")], ready_port=80)
        first = box.start_program("first")
        window = box.wait_for_window(TITLE)
        time.sleep(0.5)  # let the first paint finish before the picture is taken
        box.screenshot(window, "startup_main_window")

        second = box.start_program("second")
        refusal = box.wait_for_window("^Tolvane$")
        box.screenshot(refusal, "startup_second_copy")
        box.key(refusal, "Return")
        try:
            code = second.wait(timeout=20)
        except Exception:
            raise AssertionError("the second copy did not end after its message")
        check(code == 0, f"the second copy ended with {code}")
        check(first.poll() is None, "the first copy must keep running")

        box.key(window, "ctrl+x")  # File > Exit
        check(first.wait(timeout=20) == 0, "Exit must end the program")
        lock = os.path.join(box.env["XDG_RUNTIME_DIR"], "Tolvane.lock")
        check(not os.path.exists(lock), "the single-copy lock outlived the program")

        # A copy that dies leaves its file behind; the lock itself goes with the process.
        killed = box.start_program("killed")
        box.wait_for_window(TITLE)
        killed.send_signal(signal.SIGKILL)
        killed.wait(timeout=20)
        check(os.path.exists(lock), "a killed copy cannot have removed its lock file")
        program = box.start_program("after_kill")
        window = box.wait_for_window(TITLE)  # a refused start shows only its message, never this
        box.key(window, "ctrl+x")
        check(program.wait(timeout=20) == 0, "after a killed copy, Exit must end the program")


run(test)
