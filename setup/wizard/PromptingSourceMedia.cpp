#include "setup/wizard/PromptingSourceMedia.h"

#include "setup/log/VerboseLog.h"
#include "setup/wizard/InsertDisketteDialog.h"

bool CPromptingSourceMedia::PromptForDiskette(const CPathName& expectedPath, int disketteNumber) {
  CInsertDisketteDialog dialog(expectedPath, disketteNumber, labelOf_ ? labelOf_(disketteNumber) : std::string());
  if (dialog.DoModal() != IDOK) return false;
  SetSourceDir(dialog.GetDirectoryText());
  return true;
}

void CPromptingSourceMedia::SourceFileFound(const CPathName& path, Found how) {
  const char* where = how == Found::inSourceDirectory  ? "in the source folder"
                      : how == Found::inNumberedFolder ? "in the diskette's numbered folder"
                                                       : "where the user pointed after the Insert Diskette prompt";
  log_.Write("Source file found %s: %s", where, path.c_str());
}
