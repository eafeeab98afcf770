#!/usr/bin/env python3
"""Builds the Debian package, checks its runtime dependencies, unpacks it into a throwaway root and
starts the installed program there as an ordinary user: it runs headless, its pictures come from the
installed packs, and its files land in that user's own folders.

    test_deb_e2e.py <build tree> <artifacts folder>
"""

import glob
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import FEED_SERVER, Sandbox, check, run  # noqa: E402

BUILD, ARTIFACTS = sys.argv[1], sys.argv[2]
NOBODY = 65534
RUNTIME_DEPENDENCIES = ("libqt6widgets6", "libqt6dbus6", "libqt6network6", "libcanberra0")
NOT_DEPENDED_ON = ("libcurl",)


def build_package(output):
    result = subprocess.run(["cpack", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-G", "DEB",
                             "-B", output], capture_output=True, text=True, timeout=600)
    check(result.returncode == 0, f"cpack failed: {result.stdout}{result.stderr}")
    packages = glob.glob(os.path.join(output, "tolvane_*.deb"))
    check(len(packages) == 1, f"expected one package, found {packages}")
    return packages[0]


def test():
    with tempfile.TemporaryDirectory(prefix="tolvane-deb-") as work:
        package = build_package(work)
        depends = subprocess.run(["dpkg-deb", "--field", package, "Depends"], capture_output=True,
                                 text=True).stdout
        for dependency in RUNTIME_DEPENDENCIES:
            check(dependency in depends, f"Depends lacks {dependency}: {depends}")
        for dependency in NOT_DEPENDED_ON:
            check(dependency not in depends, f"Depends names {dependency}: {depends}")
        contents = subprocess.run(["dpkg-deb", "--contents", package], capture_output=True, text=True).stdout
        for path in ("./usr/bin/tolvane", "./usr/share/applications/io.github.orlentis.Tolvane.desktop",
                     "./usr/share/metainfo/io.github.orlentis.Tolvane.metainfo.xml",
                     "./usr/share/icons/hicolor/scalable/apps/io.github.orlentis.Tolvane.svg",
                     "./usr/share/tolvane/packs/Images/clear.jpg", "./usr/share/tolvane/packs/media.dat",
                     "./usr/share/doc/tolvane/copyright"):
            check(path in contents, f"the package lacks {path}")

        root = os.path.join(work, "root")
        subprocess.run(["dpkg-deb", "-x", package, root], check=True)
        os.chmod(work, 0o755)
        with Sandbox(os.path.join(root, "usr", "bin", "tolvane"), ARTIFACTS, installed=True, user=NOBODY) as box:
            box.seed_settings({"My Name": "Ann", "State": "Tennessee", "Station": "KBNA",
                               "Time Server": "utcnist.colorado.edu", "Sound": "0", "Splash": "0",
                               "Update": "1", "UTC": "0"})
            box.start_service(["python3", FEED_SERVER, "--log", os.path.join(box.root, "feed.log")],
                              ready_port=80)
            program = box.start_program()
            window = box.wait_for_window("^Ann's Tolvane Version 1.0$")
            time.sleep(0.5)
            box.screenshot(window, "installed_main_window")

            data = os.path.join(box.env["XDG_DATA_HOME"], "Tolvane")
            check(os.path.isfile(os.path.join(data, "Weather.dat")), "Weather.dat must be in the user's data folder")
            check(len(os.listdir(os.path.join(data, "Images"))) == 25, "the installed pictures were not seeded")
            check(os.stat(os.path.join(data, "Weather.dat")).st_uid == NOBODY, "files must belong to the user")
            check(not os.path.exists(os.path.join(root, "usr", "bin", "Weather.dat")),
                  "the program wrote into its installed folder")
            box.key(window, "ctrl+x")
            check(program.wait(timeout=30) == 0, "Exit must end the program")


run(test)
