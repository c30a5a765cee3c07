#include "setup/wizard/PromptingSourceMedia.h"

#include "setup/wizard/InsertDisketteDialog.h"

bool CPromptingSourceMedia::PromptForDiskette(const CPathName& expectedPath, int disketteNumber) {
  CInsertDisketteDialog dialog(expectedPath, disketteNumber, labelOf_ ? labelOf_(disketteNumber) : std::string());
  if (dialog.DoModal() != IDOK) return false;
  SetSourceDir(dialog.GetDirectoryText());
  return true;
}
