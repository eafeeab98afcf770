#!/usr/bin/env python3
"""Prints benchmark figures for Tolvane; asserts nothing. Run through bench/run."""

import os
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import FEED_SERVER, SOURCE_ROOT, Sandbox  # noqa: E402

BUILD = sys.argv[1]
RUNS = 5
PAUSE_MS = 1000  # the deliberate pause of the main window's load
DAYTIME_SERVER = os.path.join(SOURCE_ROOT, "tests", "fakes", "daytime_server.py")


def peak_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return -1


def time_to_window(box, command, title):
    """Milliseconds from process start to its window being mapped, and the process's peak memory."""
    start = time.monotonic()
    process = subprocess.Popen(command, env=box.env, cwd=box.home, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    while not box.find_windows(title):
        if time.monotonic() - start > 60 or process.poll() is not None:
            process.kill()
            return None, None
        time.sleep(0.005)
    elapsed = (time.monotonic() - start) * 1000
    time.sleep(0.3)
    memory = peak_kib(process.pid)
    process.terminate()
    process.wait(timeout=20)
    return elapsed, memory


def report(name, samples, subtract=0):
    times = [t - subtract for t, _ in samples if t is not None]
    memory = [m for _, m in samples if m is not None]
    if not times:
        print(f"{name}: did not start")
        return
    print(f"{name}: start-up median {statistics.median(times):.0f} ms (min {min(times):.0f}, max {max(times):.0f}),"
          f" peak memory median {statistics.median(memory) / 1024:.1f} MiB over {len(times)} runs")


def main():
    with Sandbox(os.path.join(BUILD, "tolvane"), os.path.join(BUILD, "bench-artifacts")) as box:
        box.seed_settings({"My Name": "Bench", "State": "Tennessee", "Station": "KBNA",
                           "Time Server": "time.nist.gov", "Sound": "0", "Splash": "0", "Update": "1", "UTC": "1"})
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
        program = ["setpriv", "--bounding-set=-sys_time", os.path.join(box.app_dir, "tolvane")]
        tolvane = [time_to_window(box, program, "^Bench's Tolvane Version 1.0$") for _ in range(RUNS)]
        floor = [time_to_window(box, [os.path.join(BUILD, "bench", "empty_window")], "^Empty Qt window$")
                 for _ in range(RUNS)]
        print(f"Tolvane benchmarks ({os.cpu_count()} cores), every service answering on loopback")
        report(f"tolvane (less the {PAUSE_MS} ms pause at load)", tolvane, subtract=PAUSE_MS)
        report("empty Qt main window (floor)", floor)
        handlers = subprocess.run([os.path.join(BUILD, "bench", "bench_handlers"), str(RUNS)],
                                  env=dict(box.env, QT_QPA_PLATFORM="offscreen"), capture_output=True, text=True,
                                  timeout=300)
        print(handlers.stdout.strip())
        if handlers.returncode != 0:
            print(handlers.stderr.strip())


main()
