#!/usr/bin/env python3
"""Keeps the folders of the repository in layers.

Reads the #include "..." lines of every C and C++ source outside test
folders and fails, naming the file and the line, when

- a file of a layered folder includes a file of a layer above its own, or
- two folders include each other (a file of A includes one of B, and a file
  of B one of A), layered or not.

Includes are repository-rooted ("setup/paths/PathName.h"); a name without a
folder is a file beside the includer. Test folders (any folder named
"tests") are left out: a test may use what its program is made of.
"""

import argparse
import os
import re
import sys

# Bottom first. A folder may include its own layer and the layers below.
LAYERS = [
    ("framework", ["framework"]),
    ("resources", ["setup/resources"]),
    ("paths", ["setup/paths"]),
    ("errors", ["setup/errors"]),
    ("profile", ["setup/profile"]),
    ("archive", ["setup/archive"]),
    ("log", ["setup/log"]),
    ("system", ["setup/system"]),
    ("install", ["setup/install"]),
    ("wizard", ["setup/wizard"]),
    ("app", ["setup/app"]),
]

SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cpp", ".rc")
SKIPPED_DIRS = {"build", ".git", "tests"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(folder, layers=LAYERS):
    """The index of the layer that holds folder (or a folder above it), or None."""
    for index, (_, folders) in enumerate(layers):
        for root in folders:
            if folder == root or folder.startswith(root + "/"):
                return index
    return None


def folder_of(path):
    """The folder a repository-relative file path lies in: its first two
    parts under setup/ and tools/, its first part elsewhere."""
    parts = path.split("/")
    depth = 2 if parts[0] in ("setup", "tools") and len(parts) > 2 else 1
    return "/".join(parts[:depth])


def sources(root):
    for directory, subdirs, files in os.walk(root):
        subdirs[:] = sorted(d for d in subdirs if d not in SKIPPED_DIRS and not d.startswith("."))
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                full = os.path.join(directory, name)
                yield os.path.relpath(full, root).replace(os.sep, "/")


def includes(root, path):
    """(line number, included path) of every repository-rooted include."""
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            match = INCLUDE.match(line)
            if match and "/" in match.group(1):
                yield number, match.group(1)


def check(root, layers=LAYERS):
    """The problems found under root, one message each."""
    problems = []
    edges = {}  # (from folder, to folder) -> first "file:line"
    for path in sources(root):
        own_folder = folder_of(path)
        own_layer = layer_of(own_folder, layers)
        for number, included in includes(root, path):
            if not os.path.exists(os.path.join(root, included)):
                continue  # a system or generated header
            target_folder = folder_of(included)
            if target_folder != own_folder:
                edges.setdefault((own_folder, target_folder), f"{path}:{number}")
            target_layer = layer_of(target_folder, layers)
            if own_layer is not None and target_layer is not None and target_layer > own_layer:
                problems.append(
                    f"{path}:{number}: includes {included}: layer {layers[target_layer][0]} lies above "
                    f"{layers[own_layer][0]}")
    for (a, b), where in sorted(edges.items()):
        if a < b and (b, a) in edges:
            problems.append(f"{where}: {a} includes {b}, and {edges[(b, a)]}: {b} includes {a}")
    return problems


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), "..", ".."))
    args = parser.parse_args(argv)
    problems = check(os.path.abspath(args.root))
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) break the layers; the order is in tools/layers/check_layers.py "
              f"and README.md (Layout)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
