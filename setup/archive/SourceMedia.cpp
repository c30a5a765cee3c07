#include "setup/archive/SourceMedia.h"

#include <windows.h>

#include "setup/archive/KitMedia.h"

namespace {

// Whether the source folder holds the name, asked with one look-up of the
// name: FindFirstFile would open and read the folder, which holds every
// plain file of the kit, once for each of them.
bool HasName(const CPathName& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

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
  if (HasName(expected)) {
    SourceFileFound(expected, Found::inSourceDirectory);
    return true;
  }

  // The folder of the diskette beside the source folder, named by the
  // kit's rule (DISK02 beside DISK01, disk2 beside disk1); a root has none.
  CPathName parent(expected.GetDirectory() + "\\");
  std::string folder;
  if (!expected.GetDirectory().empty() && parent.SplitLastDirectory(folder)) {
    const std::string sibling = SiblingDisketteFolder(folder, disketteNumber);
    if (!sibling.empty()) {
      CPathName candidate(parent.GetPath() + sibling + "\\");
      candidate.SetFileName(name);
      if (candidate.Exists()) {
        SetSourceDir(candidate.GetDirectory());
        SourceFileFound(candidate, Found::inNumberedFolder);
        return true;
      }
    }
  }
  if (!PromptForDiskette(expected, disketteNumber)) return false;
  SourceFileFound(GetSourcePath(name), Found::afterPrompt);
  return true;
}

bool CSourceMedia::PromptForDiskette(const CPathName&, int) { return false; }
