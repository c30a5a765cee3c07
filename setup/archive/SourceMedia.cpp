#include "setup/archive/SourceMedia.h"

#include <cstdlib>

#include "framework/FormatText.h"

void CSourceMedia::SetSourceDir(const std::string& dir) {
  std::string path = dir;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  sourceDir_.SetPath(path);
}

CPathName CSourceMedia::GetSourcePath(const std::string& name) const {
  CPathName path = sourceDir_;
  path.SetFileName(name);
  return path;
}

bool CSourceMedia::LocateSourceFile(const std::string& name, int disketteNumber) {
  const CPathName expected = GetSourcePath(name);
  if (expected.Exists()) {
    SourceFileFound(expected, Found::inSourceDirectory);
    return true;
  }

  // The directory without drive and trailing '\'; a root has none.
  const std::string drive = expected.GetDrive();
  std::string dir = expected.GetDirectory();
  if (!drive.empty()) dir.erase(0, 2);
  if (dir == "\\") dir.clear();
  if (dir.size() > 2 && std::atoi(dir.c_str() + dir.size() - 2) != 0) {
    char number[16];
    FormatText(number, sizeof number, "%02d", disketteNumber);
    const std::string sibling = (drive.empty() ? "" : drive + ":") + dir.substr(0, dir.size() - 2) + number;
    CPathName candidate(sibling + "\\");
    candidate.SetFileName(name);
    if (candidate.Exists()) {
      SetSourceDir(sibling);
      SourceFileFound(candidate, Found::inNumberedFolder);
      return true;
    }
  }
  if (!PromptForDiskette(expected, disketteNumber)) return false;
  SourceFileFound(GetSourcePath(name), Found::afterPrompt);
  return true;
}

bool CSourceMedia::PromptForDiskette(const CPathName&, int) { return false; }
