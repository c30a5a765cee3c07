// CVerboseLog: the administrator's account of one run (/L): one line per
// event, in plain English, each behind a time stamp
// ("2026-12-08 15:41:49.123  Page 102 entered"). Every line goes to the file
// when it is written, so a run that is killed leaves its trail up to the
// moment it died.
//
// A closed log (the default, and a run without /L) writes nothing, so
// whoever has one may write to it without asking first. Writing never
// throws and never fails the run: a line that cannot be written is lost.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

#include "framework/ScopedHandle.h"

class CVerboseLog {
public:
  CVerboseLog() = default;
  CVerboseLog(const CVerboseLog&) = delete;
  CVerboseLog& operator=(const CVerboseLog&) = delete;

  // Opens path for appending (a new file when there is none). The setup
  // program runs elevated and the path may lie in a folder others can
  // write to: a name that is a link (a reparse point, or a file with a
  // second hard link) is refused rather than followed. False, with the
  // system's error in GetLastError, when the file cannot be opened; the
  // log then stays closed.
  bool Open(const std::string& path);
  // Makes a new log of the run's own in folder (which ends with '\'):
  // RunLogName's name at the local time, with the counter going up from 2
  // while the name is taken. Made with CREATE_NEW, so that nothing that
  // exists (a file, a link someone planted) is ever opened. False, with the
  // system's error in GetLastError, when none could be made.
  bool OpenNew(const std::string& folder, const std::string& productName);
  bool IsOpen() const noexcept { return file_.valid(); }
  // The file written to; empty while closed.
  const std::string& GetPath() const noexcept { return path_; }

  // Formats the event (printf conventions) and writes it as one line.
  // A line longer than kMaxLine characters is cut.
  __attribute__((format(gnu_printf, 2, 3))) void Write(const char* format, ...) noexcept;
  __attribute__((format(gnu_printf, 2, 0))) void WriteV(const char* format, va_list args) noexcept;

  // "<product>-YYYYMMDD-HHMMSS.log" for a run started at time; with
  // counter 2 or more, "<product>-YYYYMMDD-HHMMSS-<counter>.log".
  static std::string RunLogName(const std::string& productName, const SYSTEMTIME& time, int counter = 1);
  // The folder for a bare /L: the temporary directory that GetTempPath2A
  // gives where the system has it (a folder of its own for a run as
  // SYSTEM), else GetTempPathA's; with a final '\', empty when there is
  // none.
  static std::string TemporaryFolder();
  // What an error of Open or OpenNew means, for the administrator: "the
  // folder does not exist (error 3)".
  static std::string DescribeError(DWORD error);

  static constexpr int kMaxLine = 2048;

private:
  CHandle file_;
  std::string path_;
};

// The shared closed log, for those who are given none.
CVerboseLog& NoVerboseLog() noexcept;
