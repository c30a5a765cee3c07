#include "setup/install/ReplaceAtRestart.h"

#include <windows.h>

#include <string>
#include <vector>

#include "framework/ScopedHandle.h"

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

// The system's list of pending renames: pairs of names, each "\??\"
// and the path (the new name marked with '!' when it is replaced).
constexpr char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingRenames[] = "PendingFileRenameOperations";

bool SameName(const std::string& listed, const CPathName& path) {
  std::string name = listed;
  if (!name.empty() && name.front() == '!') name.erase(0, 1);
  if (name.rfind("\\??\\", 0) == 0) name.erase(0, 4);
  return ::lstrcmpiA(name.c_str(), path.c_str()) == 0;
}

bool CancelPendingRename(const CPathName& oldName, const CPathName& newName) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &opened) !=
      ERROR_SUCCESS) {
    return true;
  }
  const CRegistryKeyHandle key(opened);
  DWORD type = 0, size = 0;
  if (::RegQueryValueExA(key.get(), kPendingRenames, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return true;
  std::vector<char> data(size + 2, '\0');
  if (::RegQueryValueExA(key.get(), kPendingRenames, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
          ERROR_SUCCESS ||
      type != REG_MULTI_SZ) {
    return false;
  }
  // An empty second name (a deletion) is a string of its own; the list
  // ends with one more.
  std::vector<std::string> names;
  for (std::size_t at = 0; at < size;) {
    const std::string name(data.data() + at);
    at += name.size() + 1;
    if (name.empty() && at >= size) break;
    names.push_back(name);
  }
  if (names.size() % 2 != 0) names.emplace_back();
  std::string kept;
  bool found = false;
  for (std::size_t i = 0; i + 1 < names.size(); i += 2) {
    if (SameName(names[i], oldName) && SameName(names[i + 1], newName)) {
      found = true;
      continue;
    }
    kept += names[i] + '\0' + names[i + 1] + '\0';
  }
  if (!found) return true;
  if (kept.empty()) return ::RegDeleteValueA(key.get(), kPendingRenames) == ERROR_SUCCESS;
  kept += '\0';
  return ::RegSetValueExA(key.get(), kPendingRenames, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                          static_cast<DWORD>(kept.size())) == ERROR_SUCCESS;
}

}  // namespace

bool CancelReplaceAtRestart(const CPathName& oldName, const CPathName& newName) noexcept {
  try {
    if (IsWindowsNt()) return CancelPendingRename(oldName, newName);
    const CPathName wininit = WininitPath();
    return wininit.IsEmpty() || !wininit.Exists() ||
           CIniFileEditor(wininit).RemoveEntry("rename", newName.GetPath(), oldName.GetPath());
  } catch (...) {
    return false;
  }
}

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
