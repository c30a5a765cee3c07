#include "setup/install/ReplaceAtRestart.h"

#include <windows.h>

#include <string>

#include "setup/profile/IniFileEditor.h"

namespace {

// Adds "key=value" to the [rename] section of wininit.ini in the Windows
// directory, which Windows 95 carries out when it starts; false without a
// Windows directory. A file that cannot be written throws CFileException.
bool AddWininitRename(const std::string& key, const std::string& value) {
  CPathName wininit(SpecialDirectory::windows);
  if (wininit.IsEmpty()) return false;
  wininit.SetFileName("wininit.ini");
  return CIniFileEditor(wininit).AddEntry("rename", key, value);
}

}  // namespace

bool ReplaceAtRestart(const CPathName& oldName, const CPathName& newName) {
  // The file to be replaced still exists at the restart: without
  // MOVEFILE_REPLACE_EXISTING the pending rename would fail then, and the
  // new data would never arrive.
  if (::MoveFileExA(oldName.c_str(), newName.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)) {
    return true;
  }
  return AddWininitRename(newName.GetPath(), oldName.GetPath());
}

bool DeleteAtRestart(const CPathName& path) noexcept {
  if (path.IsTooLong()) return false;
  if (::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return true;
  try {
    return AddWininitRename("NUL", path.GetPath());
  } catch (...) {
    // The file simply stays.
    return false;
  }
}
