#include "setup/install/ReplaceAtRestart.h"

#include <windows.h>

#include <string>

#include "setup/profile/IniFileEditor.h"
#include "setup/system/WindowsVersion.h"

namespace {

// wininit.ini in the Windows directory, which Windows 95 carries out when
// it starts; empty without a Windows directory.
CPathName WininitPath() {
  CPathName wininit(SpecialDirectory::windows);
  if (!wininit.IsEmpty()) wininit.SetFileName("wininit.ini");
  return wininit;
}

// Adds "key=value" to the [rename] section of wininit.ini; false without a
// Windows directory. A file that cannot be written throws CFileException.
bool AddWininitRename(const std::string& key, const std::string& value) {
  const CPathName wininit = WininitPath();
  return !wininit.IsEmpty() && CIniFileEditor(wininit).AddEntry("rename", key, value);
}

// The 8.3 form of path; path itself when the system gives none.
std::string ShortPath(const CPathName& path) {
  char buffer[MAX_PATH];
  const DWORD length = ::GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
  return (length > 0 && length < sizeof buffer) ? std::string(buffer, length) : path.GetPath();
}

}  // namespace

bool AddWininitDeletion(const CPathName& wininit, const CPathName& path) {
  std::string target = ShortPath(path);
  // A directory is named without its final separator.
  if (target.size() > 3 && (target.back() == '\\' || target.back() == '/')) target.pop_back();
  return CIniFileEditor(wininit).AddEntry("rename", "NUL", target);
}

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
  // Windows NT never reads wininit.ini: a line there would be a deletion
  // reported and never made.
  if (IsWindowsNt()) return ::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
  try {
    const CPathName wininit = WininitPath();
    return !wininit.IsEmpty() && AddWininitDeletion(wininit, path);
  } catch (...) {
    // The file simply stays.
    return false;
  }
}
