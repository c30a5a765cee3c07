#include "setup/archive/SourceMedia.h"

#include "setup/archive/KitMedia.h"


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
  // One look-up of the name: the folder holds every plain file of the kit.
  if (expected.LookUpName() == CPathName::NameLookup::taken) {
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
