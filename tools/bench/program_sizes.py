#!/usr/bin/env python3
"""The shipped programs' sizes, and the room the sample kit's first diskette
leaves for the product (make bench).

    program_sizes.py --objdump OBJDUMP [--check] PROGRAM...
        [--mkkit MKKIT --harness HARNESS --kit-bin BIN --cd-menu DIR --work DIR]

Prints each program's size in bytes against its target (_setupx.exe at most
360 KB, a quarter of a 1.44 MB diskette; cdlaunch.exe at most 250 KB) and
its sections as `objdump -h` gives them. With --mkkit it builds the sample
product's kit (examples/product/kit.ini) for 1.44 MB and 720 KB diskettes
with the setup program named first among the programs and the product files
of BIN, and prints what the setup program, its profile and the kit's seal
take of the first diskette, which mkkit fills with them first, and what they
leave for the product there.

Exit code: 0; 1 with --check when a program is over its target or a kit
could not be built; 2 when a program could not be read.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys

KB = 1024
# Bytes, stripped, of the shipped i686 build.
TARGETS = {"_setupx.exe": 360 * KB, "cdlaunch.exe": 250 * KB}
DISKETTES = [("1.44 MB", 1457664), ("720 KB", 737280)]
CLUSTER = 512  # mkkit's default, and the sample kit's
# What mkkit puts first on the first diskette, before any of the product.
FIRST = ["_setupx.exe", "_setupx.ini", "_kitseal.sha"]

# objdump -h:  Idx Name Size VMA LMA File-off Algn
_SECTION = re.compile(r"^\s*\d+\s+(\S+)\s+([0-9a-fA-F]+)\s+[0-9a-fA-F]+\s+[0-9a-fA-F]+\s+[0-9a-fA-F]+\s+2\*\*\d+")


def sections(objdump, path):
    """(name, size) of every section of the program, in file order."""
    out = subprocess.run([objdump, "-h", path], check=True, capture_output=True, text=True).stdout
    return [(m.group(1), int(m.group(2), 16)) for m in map(_SECTION.match, out.splitlines()) if m]


def clusters(size):
    return (size + CLUSTER - 1) // CLUSTER * CLUSTER


def print_programs(objdump, programs):
    """Prints the table; returns the names of the programs over their targets."""
    over = []
    print("shipped programs (%s):" % os.path.dirname(os.path.abspath(programs[0])))
    for path in programs:
        name = os.path.basename(path)
        size = os.path.getsize(path)
        target = TARGETS.get(name)
        if target is None:
            verdict = ""
        elif size <= target:
            verdict = "target %s (%d KB) ok" % (format(target, ","), target // KB)
        else:
            verdict = "target %s (%d KB) OVER by %s" % (format(target, ","), target // KB, format(size - target, ","))
            over.append(name)
        print("  %-13s %10s bytes  %s" % (name, format(size, ","), verdict))
        parts = ["%s %s" % (".eh_frame" if n == ".eh_fram" else n, format(s, ",")) for n, s in sections(objdump, path) if s and n != ".bss"]
        print("    " + ", ".join(parts))
    return over


def build_kit(args, setup, capacity, out):
    """Builds the sample kit for diskettes of capacity bytes into out; mkkit's
    exit code and its output."""
    kit = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "product", "kit.ini")
    command = [args.harness, "run", args.mkkit, "--media=diskettes", "--capacity=%d" % capacity,
               "--setup=" + os.path.abspath(setup), "-D", "bin=" + os.path.abspath(args.kit_bin),
               "-D", "cdmenu=" + os.path.abspath(args.cd_menu), "--clean", "--quiet",
               os.path.abspath(kit), os.path.abspath(out)]
    done = subprocess.run(command, capture_output=True, text=True)
    return done.returncode, (done.stdout + done.stderr).strip()


def print_kits(args, setup):
    """Prints the first diskette of each kit; returns the kits that failed."""
    failed = []
    print("the sample kit's first diskette (examples/product/kit.ini, %s):" % os.path.basename(setup))
    for label, capacity in DISKETTES:
        out = os.path.join(args.work, "kit-%d" % capacity)
        if os.path.isdir(out) and not os.path.exists(os.path.join(out, "disk1", "_kitseal.sha")):
            shutil.rmtree(out)
        code, message = build_kit(args, setup, capacity, out)
        if code != 0:
            print("  %-7s diskettes (%s bytes): mkkit failed with exit code %d: %s"
                  % (label, format(capacity, ","), code, message.replace("\n", " / ")))
            failed.append(label)
            continue
        first = os.path.join(out, "disk1")
        taken = [(name, clusters(os.path.getsize(os.path.join(first, name)))) for name in FIRST]
        used = sum(size for _, size in taken)
        disks = len([d for d in os.listdir(out) if re.fullmatch(r"disk\d+", d)])
        print("  %-7s diskettes (%s bytes): %s; %s bytes (%.1f %%) left for the product; %d diskette(s)"
              % (label, format(capacity, ","), ", ".join("%s %s" % (n, format(s, ",")) for n, s in taken),
                 format(capacity - used, ","), 100.0 * (capacity - used) / capacity, disks))
    return failed


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--check", action="store_true", help="exit with 1 when a program is over its target")
    parser.add_argument("--mkkit")
    parser.add_argument("--harness")
    parser.add_argument("--kit-bin")
    parser.add_argument("--cd-menu")
    parser.add_argument("--work")
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args(argv)
    try:
        over = print_programs(args.objdump, args.programs)
        failed = []
        if args.mkkit:
            os.makedirs(args.work, exist_ok=True)
            failed = print_kits(args, args.programs[0])
    except (OSError, subprocess.CalledProcessError) as error:
        print("program_sizes: %s" % error, file=sys.stderr)
        return 2
    if args.check and (over or failed):
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
