// Names of files, folders, sections and keys are compared without regard
// to letter case the way Windows compares them: lowered by the system's
// ANSI code page (CharLowerBuffA), as the setup program's lstrcmpiA does.
#pragma once

#include <windows.h>

#include <string>

inline std::string Lower(std::string s) {
  ::CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
  return s;
}
