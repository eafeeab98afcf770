#!/usr/bin/env python3
"""Fails when a source file includes something from a layer above its own.

Layers, lowest first: platform <- core <- settings <- the other logic folders (weather, timesync,
update, cues_and_links, which never include each other) <- widgets <- shell. A file may include
its own folder and any lower layer. Below widgets/ nothing may include a Qt Widgets header, except
the Widgets-based platform backends in platform/qt/. The logic folders (core to cues_and_links)
report what happened as values and never reach the message-box service themselves: the windows tell.
No two files include each other (a header and its source count as one: "shell/frmMain").

    check_layers.py [SOURCE_ROOT]    (default: the src/ folder of this checkout)
"""

import glob
import os
import re
import sys

RANK = {
    "platform": 0,
    "core": 1,
    "settings": 2,
    "weather": 3,
    "timesync": 3,
    "update": 3,
    "cues_and_links": 3,
    "widgets": 4,
    "shell": 5,
}
WIDGETS_ALLOWED_BELOW = ("platform/qt/",)
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
MESSAGE_BOXES = re.compile(r'#\s*include\s*"platform/MessageBoxes\.h"|services\(\)\s*\.\s*messages\b')


def widgets_headers():
    """The header names of the Qt Widgets module, read from the installed headers."""
    names = {"QtWidgets"}
    for folder in glob.glob("/usr/include/*/qt6/QtWidgets") + glob.glob("/usr/include/qt6/QtWidgets"):
        names.update(name for name in os.listdir(folder) if not name.endswith(".h"))
    return names


def violations(root):
    widgets = widgets_headers()
    found = []
    includes = {}  # "shell/frmMain" -> the files it includes, named the same way
    for folder, _, files in os.walk(root):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, root).replace(os.sep, "/")
            own = relative.split("/")[0]
            if own not in RANK:
                found.append(f"{relative}: folder '{own}' has no layer; give it one in check_layers.py")
                continue
            logic = RANK["core"] <= RANK[own] < RANK["widgets"]
            with open(path, encoding="utf-8", errors="replace") as source:
                for number, line in enumerate(source, 1):
                    if logic and MESSAGE_BOXES.search(line):
                        found.append(f"{relative}:{number}: reaches the message-box service from {own}: "
                                     "return what to tell and let the window tell it")
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    target = match.group(2)
                    close = ">" if match.group(1) == "<" else '"'
                    if match.group(1) == '"':
                        includes.setdefault(os.path.splitext(relative)[0], set()).add(os.path.splitext(target)[0])
                    where = f"{relative}:{number}: #include {match.group(1)}{target}{close}"
                    first = target.split("/")[0]
                    if match.group(1) == '"' and "/" in target and first in RANK:
                        if first != own and RANK[first] >= RANK[own]:
                            found.append(f"{where} reaches from {own} up or across to {first}")
                    header = target.split("/")[-1]
                    below_widgets = RANK[own] < RANK["widgets"] and not relative.startswith(WIDGETS_ALLOWED_BELOW)
                    if below_widgets and (target.startswith("QtWidgets/") or header in widgets):
                        found.append(f"{where} is a Qt Widgets header below the widgets layer")
    for first, targets in sorted(includes.items()):
        for second in sorted(targets):
            if first < second and first in includes.get(second, ()):
                found.append(f"{first} and {second} include each other")
    return found


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "src")
    found = violations(root)
    for line in found:
        print(line)
    if found:
        print(f"layers: {len(found)} finding(s)")
        return 1
    print("layers: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
