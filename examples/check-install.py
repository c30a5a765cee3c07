#!/usr/bin/env python3
"""The demo's look at a Wine prefix after the sample product was installed
or removed, from the install log's records.

  check-install.py installed PREFIX LOG KIT_INI BIN
      every file the log records, beside its record, compared byte for byte
      with its source (the kit description's source, or BIN for the setup
      program); fails when one differs or is missing
  check-install.py removed PREFIX LOG
      what is left of every recorded file and every destination directory
      (LOG: a copy of the log taken before the removal); fails when anything
      but a shared component is left
"""
import configparser
import os
import sys

SETUP_PROGRAMS = {"_setupx.exe", "_setupw.exe"}
BUILT_IN = {-2: "C:\\windows", -3: "C:\\windows\\system32"}


def read_ini(path):
    ini = configparser.ConfigParser(delimiters=("=",), interpolation=None, strict=False)
    ini.optionxform = str  # keys keep their letter case
    with open(path, encoding="cp1252", errors="replace") as f:
        ini.read_file(f)
    return ini


def unix_path(prefix, windows_path):
    """The file of the prefix that a "C:\\..." path names, letter case
    matched the way Windows would (the path as given when nothing exists)."""
    parts = [p for p in windows_path.replace("/", "\\").split("\\") if p]
    current = os.path.join(prefix, "drive_" + parts[0][0].lower())
    for part in parts[1:]:
        try:
            names = {n.lower(): n for n in os.listdir(current)}
        except OSError:
            names = {}
        current = os.path.join(current, names.get(part.lower(), part))
    return current


def destinations(log):
    paths = dict(BUILT_IN)
    for key, value in log.items("destinations"):
        fields = value.split("|")
        if len(fields) >= 3 and fields[2]:
            paths[int(key)] = fields[2].rstrip("\\")
    return paths


def records(log):
    """(group, file name, destination id, the record's value), in log order."""
    for group in (log.options("groups") if log.has_section("groups") else []):
        if not log.has_section(group):
            continue
        for name, value in log.items(group):
            yield group, name, int(value.split("|")[0]), value


def sources(kit_ini, bin_dir):
    kit = read_ini(kit_ini)
    base = os.path.dirname(os.path.abspath(kit_ini))
    found = {name: os.path.join(bin_dir, name) for name in SETUP_PROGRAMS}
    for section in kit.sections():
        if not section.startswith("files."):
            continue
        for name, value in kit.items(section):
            source = value.split("|")[0]
            if source.startswith("${bin}"):
                source = os.path.join(bin_dir, source[len("${bin}"):].lstrip("\\/"))
            else:
                source = os.path.join(base, source.replace("\\", "/"))
            found[name.lower()] = source
    return found


def installed(prefix, log_path, kit_ini, bin_dir):
    log = read_ini(log_path)
    dirs = destinations(log)
    origin = sources(kit_ini, bin_dir)
    bad = 0
    print(f"  {'group':<8} {'record':<8} {'installed file':<48} {'bytes':>7}  compared with its source")
    for group, name, dest, value in records(log):
        path = dirs.get(dest, "?") + "\\" + name
        local = unix_path(prefix, path)
        source = origin.get(name.lower())
        if not os.path.isfile(local):
            verdict, size, bad = "MISSING", "-", bad + 1
        else:
            size = os.path.getsize(local)
            if source is None or not os.path.isfile(source):
                verdict, bad = "no source to compare with", bad + 1
            else:
                with open(local, "rb") as a, open(source, "rb") as b:
                    same = a.read() == b.read()
                root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(kit_ini))))
                shown = os.path.relpath(source, root)
                verdict = ("identical to " if same else "DIFFERS from ") + shown
                bad += 0 if same else 1
        print(f"  {group:<8} {value:<8} {path:<48} {size:>7}  {verdict}")
    print("demo: every installed file is identical to its source" if not bad else f"demo: {bad} file(s) not as built")
    return 1 if bad else 0


def removed(prefix, log_path):
    log = read_ini(log_path)
    dirs = destinations(log)
    left = 0
    for group, name, dest, value in records(log):
        path = dirs.get(dest, "?") + "\\" + name
        if not os.path.exists(unix_path(prefix, path)):
            print(f"  gone      {path}")
        elif dest == -3:
            print(f"  stays     {path} (a shared component: only its count went down)")
        elif name.lower() in SETUP_PROGRAMS:
            print(f"  stays     {path} (the running setup program: deleted at the next restart)")
        else:
            print(f"  LEFT      {path}")
            left += 1
    for dest, path in sorted(dirs.items(), key=lambda item: -len(item[1])):
        if dest < 0:
            continue
        if not os.path.exists(unix_path(prefix, path)):
            print(f"  gone      {path}\\")
        else:
            inside = sorted(os.listdir(unix_path(prefix, path)))
            print(f"  stays     {path}\\ (holding {', '.join(inside) or 'nothing'})")
    return 1 if left else 0


def main(argv):
    if len(argv) == 6 and argv[1] == "installed":
        return installed(*argv[2:])
    if len(argv) == 4 and argv[1] == "removed":
        return removed(*argv[2:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
