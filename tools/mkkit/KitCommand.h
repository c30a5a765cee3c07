// Running another program for mkkit and waiting until it ends: a Windows
// command line (CreateProcess, no shell: a .bat or .cmd file runs through
// the command interpreter as Windows starts it), or, under Wine, a line of
// the host's shell /bin/sh. The program reads mkkit's standard input and
// writes to mkkit's error stream, so that mkkit's standard output keeps
// only its own lines.
//
// Why Wine needs its own way: Wine starts a program of the host that
// CreateProcess is given (by its Unix path, also through cmd /c or
// start /unix), but returns at once with no process to wait for and no
// exit code. Its ntdll export __wine_unix_spawnvp, asked to wait, runs the
// program and gives its exit status (mkkit already takes Wine's
// wine_get_dos_file_name the same way, for Unix paths on its command line).
#pragma once

#include <cstdint>
#include <string>

struct KitCommandResult {
  bool started = false;
  std::uint32_t exitCode = 0;  // when started
  std::string error;           // why it did not start
};

// Runs the Windows command line and waits for it.
KitCommandResult RunWindowsCommand(const std::string& commandLine);

// Whether this is Wine, which can run the host's programs and wait for them.
bool CanRunHostCommands();
// Under Wine: runs line with the host's /bin/sh -c and waits for it; the
// exit code is the shell's (127: it found no such command). Not started
// when this is not Wine.
KitCommandResult RunHostShell(const std::string& line);
// Under Wine: the host's path of an existing file or folder given by its
// Windows path; empty when this is not Wine or Wine knows no such path.
std::string HostPathOf(const std::string& path);

// text in single quotes for /bin/sh (a'b becomes 'a'\''b').
std::string ShellQuoted(const std::string& text);
