"""Tests of the layering check over small trees of its own."""

import os
import tempfile
import unittest

import check_layers

LAYERS = [
    ("framework", ["framework"]),
    ("paths", ["setup/paths"]),
    ("profile", ["setup/profile"]),
    ("app", ["setup/app"]),
]


class LayeringTest(unittest.TestCase):
    def setUp(self):
        self._dir = tempfile.TemporaryDirectory()
        self.root = self._dir.name

    def tearDown(self):
        self._dir.cleanup()

    def write(self, path, *lines):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as f:
            f.write("\n".join(lines) + "\n")

    def check(self):
        return check_layers.check(self.root, LAYERS)

    def test_includes_of_the_own_layer_and_below_pass(self):
        self.write("framework/Wnd.h", "#pragma once")
        self.write("setup/paths/PathName.h", '#include "framework/Wnd.h"')
        self.write("setup/profile/Profile.cpp", '#include "setup/paths/PathName.h"', "#include <windows.h>",
                   '#include "Profile.h"', '#include "setup/profile/Profile.h"')
        self.write("setup/profile/Profile.h", "#pragma once")
        self.assertEqual([], self.check())

    def test_an_include_of_a_higher_layer_names_file_line_and_layers(self):
        self.write("setup/app/App.h", "#pragma once")
        self.write("setup/paths/PathName.h", "#pragma once")
        self.write("setup/profile/Profile.cpp", "// x", '#include "setup/paths/PathName.h"',
                   '  #  include "setup/app/App.h"')
        self.assertEqual(["setup/profile/Profile.cpp:3: includes setup/app/App.h: layer app lies above profile"],
                         self.check())

    def test_two_folders_including_each_other_are_named_both_ways(self):
        # Neither folder is layered: only the pair is wrong.
        self.write("tools/a/A.h", '#include "tools/b/B.h"')
        self.write("tools/b/B.cpp", "", '#include "tools/a/A.h"')
        self.write("tools/b/B.h", "#pragma once")
        self.assertEqual(["tools/a/A.h:1: tools/a includes tools/b, and tools/b/B.cpp:2: tools/b includes tools/a"],
                         self.check())

    def test_test_folders_and_headers_outside_the_tree_are_left_out(self):
        self.write("setup/paths/tests/PathTest.cpp", '#include "setup/app/App.h"')
        self.write("setup/app/App.h", "#pragma once")
        self.write("setup/paths/PathName.cpp", '#include "gtest/gtest.h"', '#include "zlib/zlib.h"')
        self.assertEqual([], self.check())

    def test_a_folder_within_a_layer_belongs_to_it(self):
        self.assertEqual(1, check_layers.layer_of("setup/paths", LAYERS))
        self.assertEqual(0, check_layers.layer_of("framework", LAYERS))
        self.assertIsNone(check_layers.layer_of("setup/pathsx", LAYERS))
        self.assertEqual("setup/paths", check_layers.folder_of("setup/paths/PathName.h"))
        self.assertEqual("framework", check_layers.folder_of("framework/tests/WndTest.cpp"))


if __name__ == "__main__":
    unittest.main()
