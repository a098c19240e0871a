#!/usr/bin/env python3
"""scripts/check-layers.py on small made-up trees: each include that points up is named,
and the includes that point down or sideways pass."""
import pathlib
import subprocess
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check-layers.py"
PRODUCT = ["contract", "resources", "platform", "scoring", "cabrillo", "window", "plugin"]
TOOLS = ["host", "logs", "output", "judge", "korvane"]


class LayerCheck(unittest.TestCase):
    def tree(self, files):
        """A tree with every folder, and files {path: included header, ...}."""
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        root = pathlib.Path(folder.name)
        for folder in PRODUCT + ["bench", "tests"] + [f"tools/{t}" for t in TOOLS]:
            (root / folder).mkdir(parents=True, exist_ok=True)
        for path, include in files.items():
            (root / path).parent.mkdir(parents=True, exist_ok=True)
            (root / path).write_text(f'#include "{include}"\n' if include else "\n")
        return root

    def check(self, files):
        run = subprocess.run([sys.executable, str(SCRIPT), str(self.tree(files))],
                             capture_output=True, text=True)
        return run.returncode, run.stdout

    def test_each_tool_layer_sees_the_ones_below_and_every_product_folder(self):
        files = {}
        for level, folder in enumerate(TOOLS):
            for below in TOOLS[:level + 1]:
                files[f"tools/{folder}/From{below}.cpp"] = f"tools/{below}/X.h"
            files[f"tools/{folder}/Product.cpp"] = "plugin/PluginApp.h"
        code, out = self.check(files)
        self.assertEqual(code, 0, out)

    def test_an_include_one_tool_layer_up_is_named(self):
        for level, folder in enumerate(TOOLS[:-1]):
            above = TOOLS[level + 1]
            with self.subTest(folder=folder):
                code, out = self.check({f"tools/{folder}/A.cpp": f"tools/{above}/B.h"})
                self.assertEqual(code, 1, out)
                self.assertIn(f"tools/{folder}/A.cpp:1: tools/{folder}/ includes tools/{above}/B.h, "
                              "a tool layer above it", out)

    def test_what_no_tool_layer_may_hold_or_include(self):
        cases = {
            "a product folder including a tool": ({"scoring/S.cpp": "tools/host/StatsHost.h"},
                                                  "scoring/ includes tools/host/StatsHost.h from tools/"),
            "a tool including the tests": ({"tools/judge/J.cpp": "tests/support/TempDir.h"},
                                           "from tests/, which sits on top"),
            "a source outside the five folders": ({"tools/extra/E.cpp": None},
                                                  "tools/extra/E.cpp: outside the tool layers"),
            "a folder that is no tool layer": ({"tools/logs/L.cpp": "tools/extra/E.h"},
                                               "outside the tool layers"),
        }
        for name, (files, expected) in cases.items():
            with self.subTest(name):
                code, out = self.check(files)
                self.assertEqual(code, 1, out)
                self.assertIn(expected, out)


if __name__ == "__main__":
    unittest.main()
