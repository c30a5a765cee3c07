#include "setup/system/UninstallEntry.h"

#include "framework/FormatText.h"
#include "setup/system/RegistryValue.h"

std::string UninstallKey(const std::string& keyName) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + keyName;
}

std::string UninstallEntryDate(const SYSTEMTIME& date) {
  char text[16];
  FormatText(text, sizeof text, "%04u%02u%02u", date.wYear, date.wMonth, date.wDay);
  return text;
}

bool RegisterUninstallEntry(const CUninstallEntry& entry) {
  // Without a key name the values would land on the Uninstall key itself.
  if (entry.keyName.empty()) return false;
  const std::string key = UninstallKey(entry.keyName);
  bool allWritten = true;
  const auto writeString = [&](const char* name, const std::string& value, bool always) {
    if (value.empty() && !always) return;
    CRegistryStringValue registryValue(HKEY_LOCAL_MACHINE, key, name, {}, false, false);
    registryValue.Set(value);
    allWritten = registryValue.Save() && allWritten;
  };
  const auto writeDword = [&](const char* name, DWORD value) {
    CRegistryDwordValue registryValue(HKEY_LOCAL_MACHINE, key, name, 0, false, false);
    registryValue.Set(value);
    allWritten = registryValue.Save() && allWritten;
  };
  // The two values every entry has, in the order in which they always were
  // written.
  writeString("UninstallString", entry.uninstallCommand, true);
  writeString("DisplayName", entry.displayName, true);
  writeString("QuietUninstallString", entry.quietUninstallCommand, false);
  writeString("DisplayVersion", entry.displayVersion, false);
  writeString("Publisher", entry.publisher, false);
  writeString("InstallLocation", entry.installLocation, false);
  writeString("DisplayIcon", entry.displayIcon, false);
  if (entry.estimatedSize) writeDword("EstimatedSize", *entry.estimatedSize);
  writeString("InstallDate", entry.installDate, false);
  writeString("URLInfoAbout", entry.urlInfoAbout, false);
  writeDword("NoModify", 1);
  writeDword("NoRepair", 1);
  return allWritten;
}

bool UnregisterUninstallEntry(const std::string& keyName) {
  // Without a key name the deletion would aim at the Uninstall key itself.
  if (keyName.empty()) return false;
  CRegistryKey uninstall;
  return uninstall.DeleteSubKey(HKEY_LOCAL_MACHINE, UninstallKey(keyName).c_str());
}
