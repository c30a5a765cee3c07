#!/usr/bin/env python3
"""Checks the import tables of the shipped programs against the allow-list.

    check_imports.py --objdump OBJDUMP --allowed allowed-imports.txt PROGRAM...

Reads each program's import table with `objdump -p` and fails (exit code 1)
when a program imports a function, or from a DLL, that the allow-list does
not name, or from a DLL that Windows may take from the program's own folder;
every such import is reported with its program, DLL and name.
Exit code 2: the allow-list or a program could not be read.
"""

import argparse
import os
import re
import subprocess
import sys

# The import table as objdump -p prints it:
#   	DLL Name: KERNEL32.dll
#   	vma:  Hint/Ord Member-Name Bound-To
#   	5080a	   35  CloseHandle
# A function imported by ordinal only shows its ordinal and "<none>".
_DLL_LINE = re.compile(r"^\s*DLL Name:\s*(\S+)\s*$")
_ENTRY_LINE = re.compile(r"^\s*[0-9a-fA-F]+\s+(\d+)\s+(\S+)(?:\s+\S+)?\s*$")


# The DLLs that Windows always takes from its system directory, whatever lies
# beside the program (the KnownDLLs of every Windows NT, and the libraries
# that Windows 95 has loaded before any program starts). A program may
# import from these only: any other DLL it imports is looked for in the
# program's own folder first, where a copy planted in a Downloads folder or
# on a share would run with the program's rights.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
               "comdlg32.dll", "msvcrt.dll"}


class ListError(Exception):
    """The allow-list is malformed."""


# A note that ends "not in PROGRAM, PROGRAM..." keeps the function out of
# those programs: they do the work another way, and must not come back to it.
_NOT_IN = re.compile(r"\bnot in\s+([\w.-]+(?:\s*,\s*[\w.-]+)*)\s*$", re.IGNORECASE)


def parse_allowed(text, name="allow-list", beside=None, refused=None):
    """Returns {dll (lower case): {function: note}} from the allow-list text.

    [DLL] starts the functions of a DLL; each further line is a function
    name and its note. Blank lines and lines starting with # are ignored.
    A DLL that is not one of the system's own must say which programs it is
    installed beside: "[DLL] beside PROGRAM..."; the names (lower case) go
    into the dict `beside`, when one is given, as {dll: {program, ...}}.
    A note ending "not in PROGRAM, ..." refuses the function to those
    programs; they go into the dict `refused`, when one is given, as
    {(dll, function): ({program, ...}, note)}.
    """
    allowed = {}
    dll = None
    for number, line in enumerate(text.splitlines(), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        where = f"{name}:{number}"
        section = re.fullmatch(r"\[([^\]\s]+)\](?:\s+beside\s+(.+))?", line)
        if section:
            dll = section.group(1).lower()
            if dll in allowed:
                raise ListError(f"{where}: [{section.group(1)}] appears twice")
            allowed[dll] = {}
            programs = section.group(2).split() if section.group(2) else []
            if dll in SYSTEM_DLLS and programs:
                raise ListError(f"{where}: [{section.group(1)}] is a system DLL; it is never installed beside a program")
            if dll not in SYSTEM_DLLS and not programs:
                raise ListError(f"{where}: [{section.group(1)}] is not a system DLL: name the programs it is "
                                "installed beside ([DLL] beside PROGRAM), or load it at run time")
            if beside is not None and programs:
                beside[dll] = {p.lower() for p in programs}
            continue
        if dll is None:
            raise ListError(f"{where}: a function before the first [DLL] line")
        parts = line.split(None, 1)
        if len(parts) < 2:
            raise ListError(f"{where}: {parts[0]} has no note of the Windows versions that have it")
        function, note = parts
        if function in allowed[dll]:
            raise ListError(f"{where}: {function} appears twice under [{dll}]")
        allowed[dll][function] = note
        kept_out = _NOT_IN.search(note)
        if kept_out and refused is not None:
            programs = {p.strip().lower() for p in kept_out.group(1).split(",")}
            refused[(dll, function)] = (programs, note)
    return allowed


def parse_imports(objdump_text):
    """Returns [(dll, function)] from objdump -p output; an import by
    ordinal is given as "@<ordinal>", as the allow-list names it."""
    imports = []
    dll = None
    for line in objdump_text.splitlines():
        m = _DLL_LINE.match(line)
        if m:
            dll = m.group(1)
            continue
        if dll is None:
            continue
        if not line.strip():
            dll = None  # the end of this DLL's entries
            continue
        m = _ENTRY_LINE.match(line)
        if m:
            imports.append((dll, "@" + m.group(1) if m.group(2) == "<none>" else m.group(2)))
    return imports


def unlisted(imports, allowed):
    """The imports that the allow-list does not name, in order, once each."""
    found = []
    for dll, function in imports:
        functions = allowed.get(dll.lower())
        if (functions is None or function not in functions) and (dll, function) not in found:
            found.append((dll, function))
    return found


def refused_imports(imports, program, refused):
    """The imports (in order, once each) that the allow-list keeps out of
    program, with the note that says why."""
    found = []
    for dll, function in imports:
        entry = refused.get((dll.lower(), function))
        if entry and program.lower() in entry[0] and (dll, function, entry[1]) not in found:
            found.append((dll, function, entry[1]))
    return found


def searched_dlls(imports, program, beside):
    """The DLLs (in order, once each) that program imports although Windows
    may take them from its folder: not a system DLL and not one that the
    allow-list says is installed beside this program."""
    found = []
    for dll, _ in imports:
        low = dll.lower()
        if low in SYSTEM_DLLS or program.lower() in beside.get(low, ()) or dll in found:
            continue
        found.append(dll)
    return found


def why_not_searched():
    names = ", ".join(sorted(SYSTEM_DLLS))
    return f"""
A shipped program imports only DLLs that Windows always takes from its
system directory ({names}). Any other DLL named in the import table is
looked for in the program's own folder first: a copy planted beside the
program in a Downloads folder or on a share would run with the program's
rights (the setup program runs as administrator). Load such a DLL at run
time by its full path in the system directory (CSystemLibrary in
framework/SystemLibrary.h) and look its functions up with GetProcAddress."""


def how_to_add(list_path):
    return f"""
Every function a shipped program imports must exist on both Windows 95 and
Windows NT 4.0, or the program does not even start there. For each import
above:
  - If Windows 95 and NT 4.0 both export it (a stub that fails counts, if the
    code copes with the failure), add it to {list_path}
    under its DLL, e.g.
        [KERNEL32.dll]
        GetShortPathNameA   95, NT 3.1 (MSDN 1998); reference today: 2000
    with a note of the minimum systems the Windows API reference gives.
    Mind functions that came with Internet Explorer's shell32 or comctl32
    (version 4.70 or later) or with shlwapi: the first Windows 95 has none.
  - Otherwise do not call it directly: look it up with GetProcAddress and
    fall back when it is missing (as CPathName::FreeSpace does for
    GetDiskFreeSpaceExA), or use the older function."""


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--allowed", required=True, help="the allow-list")
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args(argv)

    beside = {}
    refused = {}
    try:
        with open(args.allowed, encoding="utf-8") as f:
            allowed = parse_allowed(f.read(), args.allowed, beside, refused)
    except (OSError, ListError) as e:
        print(f"check_imports: {e}", file=sys.stderr)
        return 2

    problems = []
    searched = []
    for program in args.programs:
        try:
            run = subprocess.run([args.objdump, "-p", program], capture_output=True, text=True, check=False)
        except OSError as e:
            print(f"check_imports: cannot run {args.objdump}: {e}", file=sys.stderr)
            return 2
        if run.returncode != 0:
            print(f"check_imports: {args.objdump} -p {program} failed:\n{run.stderr}", file=sys.stderr)
            return 2
        imports = parse_imports(run.stdout)
        if not imports:
            print(f"check_imports: no import table found in {program}", file=sys.stderr)
            return 2
        name = os.path.basename(program)
        for dll in searched_dlls(imports, name, beside):
            searched.append(f"{name} imports from {dll}, which Windows may load from the program's own folder")
        for dll, function in unlisted(imports, allowed):
            problems.append(f"{name} imports {function} from {dll}, which is not on the allow-list")
        for dll, function, note in refused_imports(imports, name, refused):
            problems.append(f"{name} imports {function} from {dll}, which the allow-list keeps out of it: {note}")
        print(f"{name}: {len(imports)} imports checked")

    if searched:
        print("\n".join(searched), file=sys.stderr)
        print(why_not_searched(), file=sys.stderr)
    if problems:
        print("\n".join(problems), file=sys.stderr)
        print(how_to_add(args.allowed), file=sys.stderr)
    return 1 if searched or problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
