#!/usr/bin/env python3
"""A program folder without packs, and the update site on 127.0.0.2:80: the first start fetches both
lists and every listed file before the main window appears, byte for byte, except a file the site
answers with 404 and one whose transfer is reset: those stay absent, while the lists that name them
are kept. (What later starts ask for, Help > Update and a silent site are tested below this, against
a loopback site and the real HTTP client.)"""

import filecmp
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import FEED_SERVER, SOURCE_ROOT, Sandbox, check, run  # noqa: E402

BINARY, ARTIFACTS = sys.argv[1], sys.argv[2]
UPDATE_SITE = os.path.join(SOURCE_ROOT, "tests", "fakes", "update_site.py")
PACKS = os.path.join(SOURCE_ROOT, "assets", "packs")
SETTINGS = {"My Name": "Ann Example", "State": "Tennessee", "Station": "KCHA",
            "Time Server": "utcnist.colorado.edu", "Sound": "0", "Splash": "0", "Update": "1", "UTC": "0"}
TITLE = "^Ann's Tolvane Version 1.0$"
NOT_FOUND, RESET = ("Images", "few.jpg"), ("Media", "thunder.wav")


def listed(list_name):
    with open(os.path.join(PACKS, list_name), encoding="latin-1") as f:
        return [line.strip() for line in f if line.strip()]


def requests(log):
    if not os.path.exists(log):
        return []
    with open(log, encoding="latin-1") as f:
        return [line.rstrip("\n").split("\t") for line in f]


def check_pack_folders(app, pictures, sounds, absent):
    entries = set(os.listdir(app))
    wanted = {"Images", "Media", "tolvane", "images.dat", "media.dat"}
    check(wanted <= entries <= wanted | {"Weather.dat", "version.dat"}, f"program folder holds {sorted(entries)}")
    for folder, names in (("Images", pictures), ("Media", sounds)):
        present = sorted(os.listdir(os.path.join(app, folder)))
        expected = sorted(n for n in names if (folder, n) not in absent)
        check(present == expected, f"{folder} holds {present}, not {expected}")
        for name in expected:
            fetched, original = os.path.join(app, folder, name), os.path.join(PACKS, folder, name)
            check(filecmp.cmp(fetched, original, shallow=False), f"{folder}/{name} differs from the pack")


def test():
    with Sandbox(BINARY, ARTIFACTS, packs=False) as box:
        box.seed_settings(SETTINGS)
        site_log = os.path.join(box.root, "update.log")
        box.start_service(["python3", UPDATE_SITE, "--root", os.path.join(box.root, "site"), "--packs", PACKS,
                           "--version", "1.0.1", "--log", site_log, "--bind", "127.0.0.2", "--port", "80",
                           "--status", "images/few.jpg=404", "--reset", "media/thunder.wav"],
                          ready_port=80, ready_host="127.0.0.2")
        box.start_service(["python3", FEED_SERVER, "--log", os.path.join(box.root, "feed.log")], ready_port=80)
        pictures, sounds = listed("images.dat"), listed("media.dat")

        # Everything is asked for, in list order, with the program's agent.
        program = box.start_program()
        window = box.wait_for_window(TITLE)
        time.sleep(0.5)  # let the first paint finish before the picture is taken
        box.screenshot(window, "packs_first_start")
        # The backslashes of pack names go on the wire escaped.
        expected = (["/update/images.dat"] + ["/update/%5Cimages%5C" + n for n in pictures] +
                    ["/update/media.dat"] + ["/update/%5Cmedia%5C" + n for n in sounds])
        seen = requests(site_log)
        check([line for line, _ in seen] == [f"GET {path} HTTP/1.1" for path in expected],
              f"requests made: {[line for line, _ in seen]}")
        check(all(agent == "vb wininet" for _, agent in seen), f"agents sent: {sorted({a for _, a in seen})}")
        check_pack_folders(box.app_dir, pictures, sounds, absent=(NOT_FOUND, RESET))
        box.key(window, "ctrl+x")  # File > Exit
        check(program.wait(timeout=20) == 0, "Exit must end the program")


run(test)
