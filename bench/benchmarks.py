#!/usr/bin/env python3
"""Prints benchmark figures for Tolvane; asserts nothing. Run through bench/run."""

import os
import shutil
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import FEED_SERVER, SOURCE_ROOT, Sandbox  # noqa: E402

BUILD = sys.argv[1]
RUNS = 5
STARTUP_RUNS = 12
PAUSE_MS = 1000  # the deliberate pause of the main window's load
DAYTIME_SERVER = os.path.join(SOURCE_ROOT, "tests", "fakes", "daytime_server.py")
NTP_SERVER = os.path.join(SOURCE_ROOT, "tests", "fakes", "ntp_server.py")
XPROBE = os.path.join(BUILD, "bench", "xprobe")
SETTLE_MS = 300  # how long a program runs on after its first paint before its peak memory is read


def probe(box, command, title):
    """(ms from fork to MapNotify, ms from fork to first paint, peak KiB), or None when no window came."""
    result = subprocess.run([XPROBE, title, str(SETTLE_MS), "--"] + command, env=box.env, cwd=box.home,
                            capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        return None
    mapped, painted, peak = result.stdout.split()
    return float(mapped), float(painted), int(peak)


def spread(values):
    return f"median {statistics.median(values):.0f} (min {min(values):.0f}, max {max(values):.0f})"


def report_startup(tolvane, floor, floor_name):
    """Tolvane against a floor, run for run in the same sandbox: start-up to map and to first paint
    (Tolvane less its designed pause at load), and peak memory."""
    tolvane = [run for run in tolvane if run]
    floor = [run for run in floor if run]
    print(f"start-up over {len(tolvane)} runs of Tolvane and {len(floor)} of the {floor_name}, interleaved "
          f"(X event probe: fork to MapNotify, fork to first paint by XDamage)")
    if not tolvane or not floor:
        print("  a program did not show its window")
        return
    for index, what in ((0, "fork to window mapped"), (1, "fork to first paint")):
        ours = [run[index] - PAUSE_MS for run in tolvane if run[index] >= 0]
        least = [run[index] for run in floor if run[index] >= 0]
        if not ours or not least:
            print(f"  {what}: not seen")
            continue
        gap = statistics.median(ours) - statistics.median(least)
        ratio = statistics.median(ours) / statistics.median(least)
        print(f"  {what}: tolvane less the {PAUSE_MS} ms pause {spread(ours)} ms; "
              f"{floor_name} {spread(least)} ms; difference {gap:.0f} ms, ratio {ratio:.2f}")
    ours = [run[2] / 1024 for run in tolvane]
    least = [run[2] / 1024 for run in floor]
    print(f"  peak memory (VmHWM): tolvane median {statistics.median(ours):.1f} MiB "
          f"(min {min(ours):.1f}, max {max(ours):.1f}); {floor_name} median {statistics.median(least):.1f} MiB "
          f"(min {min(least):.1f}, max {max(least):.1f}); difference "
          f"{statistics.median(ours) - statistics.median(least):.1f} MiB")


def main():
    with Sandbox(os.path.join(BUILD, "tolvane"), os.path.join(BUILD, "bench-artifacts")) as box:
        box.seed_settings({"My Name": "Bench", "State": "Tennessee", "Station": "KBNA",
                           "Time Server": "time.nist.gov", "Sound": "0", "Splash": "0", "Update": "1", "UTC": "1",
                           "Precise Time": "1"})
        data = os.path.join(SOURCE_ROOT, "tests", "weather", "data")
        feed_files, api_files = os.path.join(box.root, "feed"), os.path.join(box.root, "api")
        os.makedirs(feed_files)
        os.makedirs(api_files)
        shutil.copy(os.path.join(data, "TJMZ.xml"), os.path.join(feed_files, "KBNA.xml"))
        box.start_service(["python3", FEED_SERVER, "--log", os.path.join(box.root, "feed.log"), "--folder", feed_files],
                          ready_port=80)
        # The API path: a station the feed does not know, served by the https hosts from the API's records.
        for name in ("KPWM.latest.json", "KPWM.station.json"):
            shutil.copy(os.path.join(data, "api", name), api_files)
        cert, key = box.test_ca_server_files()
        box.start_service(["python3", FEED_SERVER, "--log", os.path.join(box.root, "https.log"), "--bind", "127.0.0.3",
                           "--port", "443", "--folder", api_files, "--tls-cert", cert, "--tls-key", key],
                          ready_port=443, ready_host="127.0.0.3")
        box.start_service(["python3", DAYTIME_SERVER], ready_port=13)
        box.start_service(["python3", NTP_SERVER])
        program = ["setpriv", "--bounding-set=-sys_time", os.path.join(box.app_dir, "tolvane")]
        floor_window = os.path.join(BUILD, "bench", "empty_window")
        tolvane, floor, text_floor = [], [], []
        for _ in range(STARTUP_RUNS):  # interleaved, so that all meet the same machine load
            tolvane.append(probe(box, program, "^Bench's Tolvane Version 1.0$"))
            floor.append(probe(box, [floor_window], "^Empty Qt window$"))
            text_floor.append(probe(box, [floor_window, "--text"], "^Qt window with text$"))
        print(f"Tolvane benchmarks ({os.cpu_count()} cores), every service answering on loopback")
        report_startup(tolvane, floor, "empty window")
        # Any window that draws text loads the font database first: this floor shows that share.
        report_startup(tolvane, text_floor, "window with one line of text")
        handlers = subprocess.run([os.path.join(BUILD, "bench", "bench_handlers"), str(RUNS)],
                                  env=dict(box.env, QT_QPA_PLATFORM="offscreen"), capture_output=True, text=True,
                                  timeout=300)
        print(handlers.stdout.strip())
        if handlers.returncode != 0:
            print(handlers.stderr.strip())


main()
