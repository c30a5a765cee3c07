#include "setup/transfer/ReplaceAtRestart.h"

#include <windows.h>

#include "setup/profile/IniFileEditor.h"

bool ReplaceAtRestart(const CPathName& oldName, const CPathName& newName) {
  // The file to be replaced still exists at the restart: without
  // MOVEFILE_REPLACE_EXISTING the pending rename would fail then, and the
  // new data would never arrive.
  if (::MoveFileExA(oldName.c_str(), newName.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)) {
    return true;
  }
  CPathName wininit(SpecialDirectory::windows);
  wininit.SetFileName("wininit.ini");
  CIniFileEditor(wininit).AddEntry("rename", newName.GetPath(), oldName.GetPath());
  return true;
}

bool DeleteAtRestart(const CPathName& path) noexcept {
  if (path.IsTooLong()) return false;
  if (::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return true;
  try {
    CPathName wininit(SpecialDirectory::windows);
    if (wininit.IsEmpty()) return false;
    wininit.SetFileName("wininit.ini");
    return CIniFileEditor(wininit).AddEntry("rename", "NUL", path.GetPath());
  } catch (...) {
    // The file simply stays.
    return false;
  }
}
