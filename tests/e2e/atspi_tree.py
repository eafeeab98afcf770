#!/usr/bin/python3
"""Prints, as JSON, the accessible objects of one application as a screen reader gets them over
AT-SPI: a list of its windows, each a nested dict of role, name, description, states, relations
(relation type -> names of the targets) and children. Run with the AT-SPI bus of the session in the
environment; the harness does (Sandbox.accessible_tree).

    atspi_tree.py APPLICATION_NAME
"""

import json
import sys

import pyatspi

MAX_DEPTH = 12


def relations(accessible):
    found = {}
    for relation in accessible.getRelationSet():
        kind = pyatspi.relationToString(relation.getRelationType())  # "labelled by", "label for", ...
        found[kind] = [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return found


def describe(accessible, depth=0):
    node = {
        "role": accessible.getRoleName(),
        "name": accessible.name,
        "description": accessible.description,
        "states": sorted(pyatspi.stateToString(state) for state in accessible.getState().getStates()),
        "relations": relations(accessible),
        "children": [],
    }
    if depth < MAX_DEPTH:
        for index in range(accessible.childCount):
            child = accessible.getChildAtIndex(index)
            if child is not None:
                node["children"].append(describe(child, depth + 1))
    return node


def main():
    wanted = sys.argv[1].lower()
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is not None and (application.name or "").lower() == wanted:
            windows = [application.getChildAtIndex(i) for i in range(application.childCount)]
            print(json.dumps([describe(window) for window in windows if window is not None]))
            return 0
    names = [desktop.getChildAtIndex(i).name for i in range(desktop.childCount)]
    print(f"no application named {wanted!r} on the AT-SPI bus; found {names}", file=sys.stderr)
    return 1


sys.exit(main())
