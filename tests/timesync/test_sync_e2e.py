#!/usr/bin/env python3
"""The real program sets the clock through timedated on the (private) system bus, started without the
capability to set the clock itself.

With "Precise Time" off, "&Synchronize" asks a daytime server on port 13 and hands the server's time
less its advance to a fake timedated, with interactive authorisation allowed; no message follows. The
daytime server keeps each connection open after its line: the program must take the line and hang up
rather than wait for the server to close. When timedated refuses, a message box says why.

With "Precise Time" on, it asks an NTP server on UDP port 123 whose clock runs 3.217 s ahead, behind a
symmetric 40 ms round trip, once, and hands timedated that offset as a relative SetTime; the status
bar then names the offset for the eye and for a screen reader, and the daytime display request
follows at least 4 s after the NTP query.

    test_sync_e2e.py <tolvane binary> <artifacts folder> <fake_timedated binary>
"""

import datetime
import os
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import SOURCE_ROOT, Sandbox, check, nodes, run, wait_until  # noqa: E402

BINARY, ARTIFACTS, FAKE_TIMEDATED = sys.argv[1], sys.argv[2], sys.argv[3]
FAKES = os.path.join(SOURCE_ROOT, "tests", "fakes")
LINE = "60000 23-02-25 12:00:00 50 0 0 754.9 UTC(NIST) *"
HOLD_SECONDS = "4"  # less than the exchange's own 5 s bound, so a client waiting for the close is caught
# 12:00:00 less 754.9 ms.
EXPECTED = datetime.datetime(2023, 2, 25, 11, 59, 59, 245000, tzinfo=datetime.timezone.utc)
EXPECTED_USEC = (EXPECTED - datetime.datetime(1970, 1, 1, tzinfo=datetime.timezone.utc)) // datetime.timedelta(microseconds=1)
OFFSET_USEC = 3_217_000
SETTINGS = {"My Name": "Ann", "State": "Colorado", "Station": "KDEN", "Time Server": "time.nist.gov",
            "Sound": "0", "Splash": "0", "Update": "0", "UTC": "1"}
TITLE = "^Ann's Tolvane Version 1.0$"


def start_timedated(box, answer, name):
    """Starts the fake timedated on the sandbox's system bus; returns it and its output file."""
    output = os.path.join(box.artifacts, f"{name}.out")
    process = subprocess.Popen([FAKE_TIMEDATED, box.env["DBUS_SYSTEM_BUS_ADDRESS"], answer],
                               stdout=open(output, "w"), stderr=subprocess.STDOUT)
    box.processes.append(process)
    wait_until(lambda: "ready" in open(output).read(), 20, "the fake timedated did not start")
    return process, output


def calls(output):
    return [line for line in open(output).read().splitlines() if line.startswith("SetTime")]


def lines(path):
    return open(path).read().splitlines() if os.path.exists(path) else []


def start_ntp_server(box, log):
    """The NTP server on 127.0.0.1:123; ready once a probe (too short to be a query) shows in its log."""
    box.start_service(["python3", os.path.join(FAKES, "ntp_server.py"), "--offset", "3.217", "--delay", "40",
                       "--log", log])

    def probed():
        socket.socket(socket.AF_INET, socket.SOCK_DGRAM).sendto(b"probe", ("127.0.0.1", 123))
        time.sleep(0.1)
        return bool(lines(log))
    wait_until(probed, 20, "the NTP server did not start")


def names(box):
    return [node["name"] for node in nodes(box.accessible_tree())]


def daytime_path(box, daytime_log):
    box.seed_settings(dict(SETTINGS, **{"Precise Time": "0"}))
    timedated, output = start_timedated(box, "ok", "timedated_ok")
    program = box.start_program("daytime")
    window = box.wait_for_window(TITLE)

    box.key(window, "alt+s")
    try:
        wait_until(lambda: calls(output), 30, "timedated was never asked to set the time")
    finally:
        box.screenshot(None, "after_synchronize")
    check(calls(output) == [f"SetTime xbb {EXPECTED_USEC} false true interactive-flag"],
          f"unexpected SetTime calls: {calls(output)}")
    time.sleep(3)
    check(not box.find_windows("^Tolvane$"), "a message appeared after a successful synchronisation")
    box.screenshot(window, "synchronised")
    # The connection made to probe the port (start_service) comes first.
    exchanges = lines(daytime_log)[1:]
    check(len(exchanges) >= 2 and all(e == "connection, client hung up" for e in exchanges),
          f"the program waited for the daytime server to close: {exchanges}")

    timedated.terminate()
    timedated.wait(timeout=10)
    refusing, refused = start_timedated(box, "org.freedesktop.timedate1.AutomaticTimeSyncEnabled", "timedated_refusing")
    box.key(window, "alt+s")
    message = box.wait_for_window("^Tolvane$", timeout=30)
    check(len(calls(refused)) == 1, "the refusing timedated was not asked")
    box.screenshot(message, "refused")
    box.key(message, "Return")
    box.key(window, "ctrl+x")
    check(program.wait(timeout=30) == 0, "Exit must end the program")
    refusing.terminate()
    refusing.wait(timeout=10)


def precise_path(box, daytime_log):
    ntp_log = os.path.join(box.root, "ntp.log")
    start_ntp_server(box, ntp_log)
    box.seed_settings(dict(SETTINGS, **{"Precise Time": "1"}))
    _, output = start_timedated(box, "ok", "timedated_precise")
    program = box.start_program("precise")
    window = box.wait_for_window(TITLE)
    daytime_before = len(lines(daytime_log))

    box.key(window, "alt+s")
    wait_until(lambda: calls(output), 30, "timedated was never asked to shift the clock")
    asked_ntp = time.monotonic()
    words = calls(output)[0].split()
    check(words[:2] == ["SetTime", "xbb"] and words[3:] == ["true", "true", "interactive-flag"],
          f"not a relative SetTime: {calls(output)}")
    check(abs(int(words[2]) - OFFSET_USEC) <= 10_000, f"shifted by {words[2]} us, not {OFFSET_USEC} within 10 ms")
    wait_until(lambda: len(lines(daytime_log)) > daytime_before, 20, "no daytime display request followed")
    check(time.monotonic() - asked_ntp >= 3.5, "the daytime display did not wait out NIST's 4 s after NTP")
    check([entry for entry in lines(ntp_log) if entry.startswith("query")] == ["query, version 4, answered"],
          f"the NTP server was not asked exactly once: {lines(ntp_log)}")
    shown = [name for name in names(box) if name.startswith("Clock was ")]
    check(len(shown) == 1 and shown[0].startswith("Clock was 3.2") and " behind (\u00b10.0" in shown[0],
          f"the status bar does not name the offset: {shown}")
    box.screenshot(window, "precise_synchronised")
    box.key(window, "ctrl+x")
    check(program.wait(timeout=30) == 0, "Exit must end the program")


def test():
    with Sandbox(BINARY, ARTIFACTS, accessibility=True) as box:
        daytime_log = os.path.join(box.root, "daytime.log")
        box.start_service(["python3", os.path.join(FAKES, "daytime_server.py"), "--line", LINE, "--hold",
                           HOLD_SECONDS, "--log", daytime_log], ready_port=13)
        daytime_path(box, daytime_log)
        precise_path(box, daytime_log)


run(test)
