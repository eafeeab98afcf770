#!/usr/bin/env python3
"""Without a display the real program says so in one line on standard error and ends with a non-zero
status, not with Qt's abort and a core dump: with no display named at all, and with one named that
does not answer."""

import os
import signal
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Sandbox, check, run  # noqa: E402

BINARY, ARTIFACTS = sys.argv[1], sys.argv[2]


def test():
    with Sandbox(BINARY, ARTIFACTS, display=False) as box:
        cases = {
            "no display": (("DISPLAY", "WAYLAND_DISPLAY"), {}, "no display"),
            "a display that does not answer": (("WAYLAND_DISPLAY",), {"DISPLAY": ":97"}, ":97"),
        }
        for what, (removed, added, mentioned) in cases.items():
            box.env.update(added)
            result = box.run_program(without=removed)
            check(result.returncode != -signal.SIGABRT, f"{what}: the program aborted")
            check(result.returncode > 0, f"{what}: exit status {result.returncode}")
            lines = result.stderr.splitlines()
            check(len(lines) == 1, f"{what}: expected one line on standard error, got {lines}")
            check(lines[0].startswith("Tolvane cannot open its window: ") and mentioned in lines[0],
                  f"{what}: {lines[0]!r}")
            check(not os.path.exists(os.path.join(box.env["XDG_CONFIG_HOME"], "Orlentis")),
                  f"{what}: nothing may be stored")


run(test)
