#!/usr/bin/env python3
"""The real program sets the clock through timedated on the (private) system bus: started without the
capability to set the clock itself, "&Synchronize" asks a daytime server on port 13 and hands the
server's time less its advance to a fake timedated, with interactive authorisation allowed; no message
follows. When timedated refuses, the program says why in a message box captioned "Tolvane". The
daytime server keeps each connection open after its line: the program must take the line and hang up
rather than wait for the server to close.

    test_sync_e2e.py <tolvane binary> <artifacts folder> <fake_timedated binary>
"""

import datetime
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import SOURCE_ROOT, Sandbox, check, run  # noqa: E402

BINARY, ARTIFACTS, FAKE_TIMEDATED = sys.argv[1], sys.argv[2], sys.argv[3]
DAYTIME_SERVER = os.path.join(SOURCE_ROOT, "tests", "fakes", "daytime_server.py")
LINE = "60000 23-02-25 12:00:00 50 0 0 754.9 UTC(NIST) *"
HOLD_SECONDS = "4"  # less than the exchange's own 5 s bound, so a client waiting for the close is caught
# 12:00:00 less 754.9 ms.
EXPECTED = datetime.datetime(2023, 2, 25, 11, 59, 59, 245000, tzinfo=datetime.timezone.utc)
EXPECTED_USEC = (EXPECTED - datetime.datetime(1970, 1, 1, tzinfo=datetime.timezone.utc)) // datetime.timedelta(microseconds=1)


def start_timedated(box, answer, name):
    """Starts the fake timedated on the sandbox's system bus; returns its output file."""
    output = os.path.join(box.artifacts, f"{name}.out")
    process = subprocess.Popen([FAKE_TIMEDATED, box.env["DBUS_SYSTEM_BUS_ADDRESS"], answer],
                               stdout=open(output, "w"), stderr=subprocess.STDOUT)
    box.processes.append(process)
    box._wait(lambda: "ready" in open(output).read(), 20, "the fake timedated did not start")
    return process, output


def calls(output):
    return [line for line in open(output).read().splitlines() if line.startswith("SetTime")]


def test():
    with Sandbox(BINARY, ARTIFACTS) as box:
        box.seed_settings({"My Name": "Ann", "State": "Colorado", "Station": "KDEN",
                           "Time Server": "time.nist.gov", "Sound": "0", "Splash": "0",
                           "Update": "0", "UTC": "1"})
        daytime_log = os.path.join(box.root, "daytime.log")
        box.start_service(["python3", DAYTIME_SERVER, "--line", LINE, "--hold", HOLD_SECONDS, "--log", daytime_log],
                          ready_port=13)
        timedated, output = start_timedated(box, "ok", "timedated_ok")
        program = box.start_program()
        window = box.wait_for_window("^Ann's Tolvane Version 1.0$")

        box.key(window, "alt+s")
        try:
            box._wait(lambda: calls(output), 30, "timedated was never asked to set the time")
        finally:
            box.screenshot(None, "after_synchronize")
        check(calls(output) == [f"SetTime xbb {EXPECTED_USEC} false true interactive-flag"],
              f"unexpected SetTime calls: {calls(output)}")
        time.sleep(3)
        check(not box.find_windows("^Tolvane$"), "a message appeared after a successful synchronisation")
        box.screenshot(window, "synchronised")
        # The connection made to probe the port (start_service) comes first.
        exchanges = open(daytime_log).read().splitlines()[1:]
        check(len(exchanges) >= 2 and all(e == "connection, client hung up" for e in exchanges),
              f"the program waited for the daytime server to close: {exchanges}")

        timedated.terminate()
        timedated.wait(timeout=10)
        _, refused = start_timedated(box, "org.freedesktop.timedate1.AutomaticTimeSyncEnabled", "timedated_refusing")
        box.key(window, "alt+s")
        message = box.wait_for_window("^Tolvane$", timeout=30)
        check(len(calls(refused)) == 1, "the refusing timedated was not asked")
        box.screenshot(message, "refused")
        box.key(message, "Return")

        box.key(window, "ctrl+x")
        check(program.wait(timeout=30) == 0, "Exit must end the program")


run(test)
