#include "setup/system/UninstallEntry.h"

#include "setup/system/RegistryValue.h"

std::string UninstallKey(const std::string& keyName) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + keyName;
}

bool RegisterUninstallEntry(const std::string& commandLine, const std::string& keyName,
                            const std::string& displayName) {
  // Without a key name the values would land on the Uninstall key itself.
  if (keyName.empty()) return false;
  const std::string key = UninstallKey(keyName);
  CRegistryStringValue name(HKEY_LOCAL_MACHINE, key, "DisplayName", {}, true, true);
  CRegistryStringValue uninstall(HKEY_LOCAL_MACHINE, key, "UninstallString", {}, true, true);
  name.Set(displayName);
  uninstall.Set(commandLine);
  // The same order in which destruction would write them.
  const bool uninstallWritten = uninstall.Save();
  const bool nameWritten = name.Save();
  return uninstallWritten && nameWritten;
}

bool UnregisterUninstallEntry(const std::string& keyName) {
  // Without a key name the deletion would aim at the Uninstall key itself.
  if (keyName.empty()) return false;
  CRegistryKey uninstall;
  return uninstall.DeleteSubKey(HKEY_LOCAL_MACHINE, UninstallKey(keyName).c_str());
}
