#include "setup/system/AppPath.h"

#include "setup/system/RegistryKey.h"

std::string AppPathKey(const std::string& fileName) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + fileName;
}

bool RegisterAppPath(const CPathName& programPath) {
  const std::string fileName = programPath.GetFileName();
  // Without a file name the key would be App Paths itself.
  if (fileName.empty()) return false;
  CRegistryKey key;
  if (!key.CreateKey(HKEY_LOCAL_MACHINE, AppPathKey(fileName).c_str(), nullptr, KEY_ALL_ACCESS)) return false;
  const bool program = key.SetString(nullptr, programPath.GetPath());
  const bool path = key.SetString("Path", programPath.GetDirectory());
  return program && path;
}

bool UnregisterAppPath(const CPathName& programPath) {
  const std::string fileName = programPath.GetFileName();
  if (fileName.empty()) return false;
  return ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, AppPathKey(fileName).c_str()) == ERROR_SUCCESS;
}

bool LookupAppPath(const std::string& fileName, std::string& path) {
  path.clear();
  // Opened for reading only: a user without write rights on the machine's
  // keys must still find an earlier installation.
  CRegistryKey key;
  return key.OpenKey(HKEY_LOCAL_MACHINE, AppPathKey(fileName).c_str(), KEY_QUERY_VALUE) &&
         key.GetString(nullptr, path) && !path.empty();
}
