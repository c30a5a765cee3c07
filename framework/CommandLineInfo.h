// CCommandLineInfo: what a program's command line asks for. ParseCommandLine
// splits the text the way the C run-time builds argv and hands each
// parameter to ParseParam; a program with switches of its own derives and
// overrides ParseParam, passing what it does not know to the base.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

class CCommandLineInfo {
public:
  enum ShellCommand { FileNew, FileOpen };

  CCommandLineInfo() = default;
  CCommandLineInfo(const CCommandLineInfo&) = default;
  CCommandLineInfo& operator=(const CCommandLineInfo&) = default;
  virtual ~CCommandLineInfo() = default;

  // One parameter. flag: it began with '/' or '-', which param no longer
  // holds; last: no parameter follows. The base records the first parameter
  // that is not a flag as the file to open and ignores flags.
  virtual void ParseParam(const char* param, BOOL flag, BOOL last);

  // Calls ParseParam for every parameter of commandLine (the text after the
  // program name, as WinMain receives it).
  void ParseCommandLine(std::string_view commandLine);

  // Blanks and tabs separate parameters; double quotes group blanks into a
  // parameter and are removed; 2n backslashes before a quote give n
  // backslashes, 2n+1 give n and a literal quote; other backslashes stay.
  static std::vector<std::string> SplitCommandLine(std::string_view commandLine);

  ShellCommand m_nShellCommand = FileNew;
  std::string m_strFileName;
};
