"""Tests of the import check: objdump's import tables and the allow-list."""

import os
import subprocess
import sys
import tempfile
import unittest

import check_imports

# objdump -p of a program importing by name and by ordinal; the export
# table that follows must not be taken for imports.
OBJDUMP = """
The Import Tables (interpreted .idata section contents)
 vma:            Hint    Time      Forward  DLL       First
                 Table   Stamp     Chain    Name      Thunk
 00050000\t000500a0 00000000 00000000 00051610 0005043c

\tDLL Name: KERNEL32.dll
\tvma:  Hint/Ord Member-Name Bound-To
\t507d8\t  136  CloseHandle
\t507e6\t  600  GetTickCount64

\tDLL Name: COMCTL32.DLL
\tvma:  Hint/Ord Member-Name Bound-To
\t80000011\t   17  <none>

\tDLL Name: libwinpthread-1.dll
\tvma:  Hint/Ord Member-Name Bound-To
\t50900\t    3  pthread_mutex_lock

There is an export table in .edata at 0x6000
[Ordinal/Name Pointer] Table
\t[   0] VeltMean
"""

ALLOWED = """
# comment
[kernel32.dll]
CloseHandle   95, NT 3.1
[COMCTL32.dll] beside other.exe
InitCommonControls  95, NT 3.51
"""


class ParseTest(unittest.TestCase):
    def test_reads_names_and_ordinals_of_every_dll_and_nothing_else(self):
        self.assertEqual(
            [("KERNEL32.dll", "CloseHandle"), ("KERNEL32.dll", "GetTickCount64"), ("COMCTL32.DLL", "@17"),
             ("libwinpthread-1.dll", "pthread_mutex_lock")],
            check_imports.parse_imports(OBJDUMP))

    def test_unlisted_imports_name_function_and_dll_whatever_the_dll_case(self):
        allowed = check_imports.parse_allowed(ALLOWED)
        self.assertEqual(
            [("KERNEL32.dll", "GetTickCount64"), ("COMCTL32.DLL", "@17"), ("libwinpthread-1.dll", "pthread_mutex_lock")],
            check_imports.unlisted(check_imports.parse_imports(OBJDUMP), allowed))

    def test_function_names_match_exactly(self):
        allowed = check_imports.parse_allowed(ALLOWED)
        self.assertEqual([("KERNEL32.dll", "closehandle")],
                         check_imports.unlisted([("KERNEL32.dll", "closehandle")], allowed))

    def test_malformed_lists_are_refused_with_their_line(self):
        cases = {
            "CloseHandle 95\n": "before the first [DLL]",
            "[kernel32.dll]\nCloseHandle\n": "no note",
            "[kernel32.dll]\nCloseHandle 95\nCloseHandle 95\n": "twice",
            "[kernel32.dll]\n[KERNEL32.DLL]\n": "twice",
            "[version.dll]\nGetFileVersionInfoA 95\n": "not a system DLL",
            "[User32.dll] beside prog.exe\n": "is a system DLL",
        }
        for text, message in cases.items():
            with self.assertRaises(check_imports.ListError, msg=text) as caught:
                check_imports.parse_allowed(text, "list")
            self.assertIn(message, str(caught.exception))
            self.assertIn("list:", str(caught.exception))


class CommandTest(unittest.TestCase):
    """The whole command, with a stand-in for objdump."""

    def run_check(self, objdump_output, allowed):
        with tempfile.TemporaryDirectory() as tmp:
            fake = os.path.join(tmp, "objdump")
            with open(os.path.join(tmp, "out.txt"), "w") as f:
                f.write(objdump_output)
            with open(fake, "w") as f:
                f.write(f"#!/bin/sh\ncat '{tmp}/out.txt'\n")
            os.chmod(fake, 0o755)
            listed = os.path.join(tmp, "allowed.txt")
            with open(listed, "w") as f:
                f.write(allowed)
            return subprocess.run(
                [sys.executable, check_imports.__file__, "--objdump", fake, "--allowed", listed, "prog.exe"],
                capture_output=True, text=True, check=False)

    def test_a_new_import_fails_with_its_name_dll_and_how_to_list_it(self):
        run = self.run_check(OBJDUMP, ALLOWED)
        self.assertEqual(1, run.returncode)
        self.assertIn("prog.exe imports GetTickCount64 from KERNEL32.dll", run.stderr)
        self.assertIn("prog.exe imports pthread_mutex_lock from libwinpthread-1.dll", run.stderr)
        self.assertIn("allowed.txt", run.stderr)
        self.assertIn("GetProcAddress", run.stderr)
        self.assertNotIn("CloseHandle", run.stderr.split("\n\n")[0])

    def test_a_dll_that_may_come_from_the_programs_folder_fails_and_says_why(self):
        # Listed with its function, but beside another program only.
        listed = ALLOWED.replace("InitCommonControls", "@17") + "[libwinpthread-1.dll] beside prog.exe\nx y\n"
        run = self.run_check(OBJDUMP, listed)
        self.assertEqual(1, run.returncode)
        self.assertIn("prog.exe imports from COMCTL32.DLL, which Windows may load from the program's own folder",
                      run.stderr)
        self.assertNotIn("imports from libwinpthread-1.dll", run.stderr)
        self.assertNotIn("imports from KERNEL32.dll", run.stderr)
        self.assertIn("full path in the system directory", run.stderr)
        self.assertIn("planted", run.stderr)

    def test_passes_when_every_import_is_listed(self):
        complete = ("[KERNEL32.dll]\nCloseHandle 95, NT 3.1\nGetTickCount64 Vista\n"
                    "[comctl32.dll] beside prog.exe\n@17 by ordinal\n"
                    "[libwinpthread-1.dll] beside Prog.exe\npthread_mutex_lock none\n")
        run = self.run_check(OBJDUMP, complete)
        self.assertEqual(0, run.returncode, run.stderr)
        self.assertIn("prog.exe: 4 imports checked", run.stdout)

    def test_a_function_kept_out_of_a_program_fails_there_only(self):
        listed = ("[KERNEL32.dll]\nCloseHandle 95, NT 3.1\nGetTickCount64 Vista; not in other.exe, PROG.EXE\n"
                  "[comctl32.dll] beside prog.exe\n@17 by ordinal\n"
                  "[libwinpthread-1.dll] beside prog.exe\npthread_mutex_lock none\n")
        run = self.run_check(OBJDUMP, listed)
        self.assertEqual(1, run.returncode)
        self.assertIn("prog.exe imports GetTickCount64 from KERNEL32.dll, which the allow-list keeps out of it: "
                      "Vista; not in other.exe, PROG.EXE", run.stderr)
        self.assertEqual(0, self.run_check(OBJDUMP, listed.replace("PROG.EXE", "third.exe")).returncode)

    def test_a_program_without_imports_is_an_error_not_a_pass(self):
        self.assertEqual(2, self.run_check("no tables here\n", ALLOWED).returncode)


if __name__ == "__main__":
    unittest.main()
