#!/usr/bin/env python3
"""The layering check accepts includes that point down and refuses each kind that does not, and a
logic folder that shows a message itself."""

import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "layers", "check_layers.py")

CASES = [
    # (file, one line of it, accepted)
    ("shell/frmMain.cpp", '#include "weather/Observation.h"', True),
    ("weather/Observation.cpp", '#include "settings/AppSettings.h"', True),
    ("widgets/Look.cpp", "#include <QLabel>", True),
    ("platform/qt/QtTrayIcon.cpp", "#include <QSystemTrayIcon>", True),
    ("weather/Observation.cpp", '#include "weather/ObservationFields.h"', True),
    ("platform/linux/Lock.cpp", '#include "shell/Lifetime.h"', False),
    ("settings/Preferences.cpp", '#include "shell/modMain.h"', False),
    ("weather/Observation.cpp", '#include "timesync/Daytime.h"', False),
    ("core/Version.cpp", '#include "settings/AppSettings.h"', False),
    ("update/VersionCheck.cpp", '#include "widgets/WindowLook.h"', False),
    ("timesync/AtomicTime.cpp", "#include <QMessageBox>", False),
    ("settings/Preferences.cpp", '#include "platform/MessageBoxes.h"', False),
    ("timesync/AtomicTime.cpp", '    services().messages->show(text, Program::Title, MessageIcon::None);', False),
    ("widgets/Tell.cpp", '#include "platform/MessageBoxes.h"', True),
    ("settings/Store.cpp", "#include <QtWidgets/QWidget>", False),
    ("platform/FileSystem.cpp", "#include <QApplication>", False),
    ("newfolder/Thing.cpp", "#include <QString>", False),
]


def check(tree):
    return subprocess.run([sys.executable, CHECK, tree], capture_output=True, text=True)


class LayersTest(unittest.TestCase):
    def test_each_include(self):
        for relative, include, accepted in CASES:
            with self.subTest(file=relative, include=include), tempfile.TemporaryDirectory() as tree:
                path = os.path.join(tree, relative)
                os.makedirs(os.path.dirname(path))
                with open(path, "w") as source:
                    source.write(f"// a file\n{include}\n")
                result = check(tree)
                self.assertEqual(result.returncode == 0, accepted, result.stdout)
                if not accepted:
                    self.assertIn(relative, result.stdout)

    def test_two_files_that_include_each_other(self):
        with tempfile.TemporaryDirectory() as tree:
            os.makedirs(os.path.join(tree, "shell"))
            for name, include in (("Main.cpp", "shell/frmMain.h"), ("frmMain.cpp", "shell/Main.h")):
                with open(os.path.join(tree, "shell", name), "w") as source:
                    source.write(f'#include "{include}"\n')
            result = check(tree)
            self.assertEqual(result.returncode, 1, result.stdout)
            self.assertIn("shell/Main and shell/frmMain include each other", result.stdout)

    def test_the_project_itself(self):
        result = check(os.path.join(os.path.dirname(CHECK), "..", "..", "src"))
        self.assertEqual(result.returncode, 0, result.stdout)


if __name__ == "__main__":
    unittest.main()
