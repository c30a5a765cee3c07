// CNewCommandLineInfo: the menu's command line. The autorun switch ("/autorun"
// or "-autorun", any case; the name comes from the string table) is taken
// here; every other parameter goes to the framework's handling, where it
// has no effect because the menu opens no documents.
#pragma once

#include "framework/CommandLineInfo.h"

class CNewCommandLineInfo : public CCommandLineInfo {
public:
  void ParseParam(const char* param, BOOL flag, BOOL last) override;

  // 1 when the autorun switch was given.
  int m_autorun = 0;
};
