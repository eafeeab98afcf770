#!/usr/bin/env python3
"""A program folder without packs, and the update site on 127.0.0.2:80. The first start fetches both
lists and every listed file before the main window appears, byte for byte, except a file the site
answers with 404 and one whose transfer is reset: those stay absent, while the lists that name them
are kept. The next start fetches just those two files; the one after asks for nothing. Help > Update answers in a box. With the pack folders gone
and a site that takes connections and never answers, the window still comes up within the pack
check's budget after a single request; once the site is back, the next start fills the folders."""

import filecmp
import os
import shutil
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


def check_pack_folders(app, pictures, sounds, absent=(), lists=("images.dat", "media.dat")):
    entries = set(os.listdir(app))
    wanted = {"Images", "Media", "tolvane", *lists}
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
        site_root, site_log = os.path.join(box.root, "site"), os.path.join(box.root, "update.log")

        def start_site(*faults):
            return box.start_service(["python3", UPDATE_SITE, "--root", site_root, "--packs", PACKS,
                                      "--version", "1.0.1", "--log", site_log, "--bind", "127.0.0.2",
                                      "--port", "80", *faults], ready_port=80, ready_host="127.0.0.2")

        def start_and_wait(name):
            program = box.start_program(name)
            return program, box.wait_for_window(TITLE)

        def exit_program(program, window):
            box.key(window, "ctrl+x")  # File > Exit
            check(program.wait(timeout=20) == 0, "Exit must end the program")

        site = start_site("--status", "images/few.jpg=404", "--reset", "media/thunder.wav")
        feed_log = os.path.join(box.root, "feed.log")
        box.start_service(["python3", FEED_SERVER, "--log", feed_log], ready_port=80)
        pictures, sounds = listed("images.dat"), listed("media.dat")

        # First start: everything is asked for, in list order, with the program's agent.
        program, window = start_and_wait("first")
        time.sleep(0.5)  # let the first paint finish before the picture is taken
        box.screenshot(window, "packs_first_start")
        # The backslashes of pack names go on the wire escaped.
        expected = (["/update/images.dat"] + ["/update/%5Cimages%5C" + n for n in pictures] +
                    ["/update/media.dat"] + ["/update/%5Cmedia%5C" + n for n in sounds])
        seen = requests(site_log)
        check([line for line, _ in seen] == [f"GET {path} HTTP/1.1" for path in expected],
              f"requests made: {[line for line, _ in seen]}")
        check(all(agent == "vb wininet" for _, agent in seen), f"agents sent: {sorted({a for _, a in seen})}")
        # A file that did not come is asked for again at the next start; its list stays.
        check_pack_folders(box.app_dir, pictures, sounds, absent=(NOT_FOUND, RESET))
        exit_program(program, window)

        # The site mended: the next start fetches only what the faults kept away.
        site.terminate()
        site.wait(timeout=10)
        site = start_site()
        before = len(requests(site_log))
        program, window = start_and_wait("second")
        check([line for line, _ in requests(site_log)[before:]] ==
              ["GET /update/%5Cimages%5Cfew.jpg HTTP/1.1", "GET /update/%5Cmedia%5Cthunder.wav HTTP/1.1"],
              f"second start asked for {requests(site_log)[before:]}")
        check_pack_folders(box.app_dir, pictures, sounds)

        box.key(window, "ctrl+u")  # Help > Update
        answer = box.wait_for_window("^Tolvane$")
        box.screenshot(answer, "packs_version_check")
        box.key(answer, "Return")
        exit_program(program, window)
        check(requests(site_log)[-1][0] == "GET /update/version.dat HTTP/1.1",
              "Help > Update fetches version.dat")

        # A complete program folder asks for nothing at all.
        before = len(requests(site_log))
        program, window = start_and_wait("third")
        check(len(requests(site_log)) == before, f"a complete folder asked for {requests(site_log)[before:]}")
        exit_program(program, window)

        # A site that never answers: one request, and the window within the budget (60 s is only a
        # generous "did not hang"; asking for every missing file in turn took minutes).
        site.terminate()
        site.wait(timeout=10)
        site = start_site("--hang")
        for folder in ("Images", "Media"):
            shutil.rmtree(os.path.join(box.app_dir, folder))
        before = len(requests(site_log))
        program = box.start_program("hung_site")
        window = box.wait_for_window(TITLE, timeout=60)
        check(len(requests(site_log)) - before == 1, f"a silent site was asked {requests(site_log)[before:]}")
        exit_program(program, window)

        # The site back: the next start fetches what the silent one kept away.
        site.terminate()
        site.wait(timeout=10)
        start_site()
        program, window = start_and_wait("site_back")
        check_pack_folders(box.app_dir, pictures, sounds)
        exit_program(program, window)


run(test)
