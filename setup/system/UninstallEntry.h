// The product's entry in the Windows list of removable software:
// HKEY_LOCAL_MACHINE "Software\Microsoft\Windows\CurrentVersion\Uninstall\<key name>".
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The values of the entry, as Add/Remove Programs and inventory tools read
// them. An empty text, or a number not given, leaves its value out.
struct CUninstallEntry {
  std::string keyName;                // the subkey
  std::string displayName;            // DisplayName
  std::string uninstallCommand;       // UninstallString, stored as given
  std::string quietUninstallCommand;  // QuietUninstallString: the removal with no window
  std::string displayVersion;         // DisplayVersion
  std::string publisher;              // Publisher
  std::string installLocation;        // InstallLocation: the installation directory
  std::string displayIcon;            // DisplayIcon: the product's program
  std::optional<DWORD> estimatedSize;  // EstimatedSize (a DWORD): the installed files, in KiB
  std::string installDate;            // InstallDate: YYYYMMDD
  std::string urlInfoAbout;           // URLInfoAbout: the product's web address
};

// The InstallDate of an entry written on date: "YYYYMMDD".
std::string UninstallEntryDate(const SYSTEMTIME& date);

// The key under HKEY_LOCAL_MACHINE that holds the entry of keyName.
std::string UninstallKey(const std::string& keyName);

// Writes "UninstallString" and then "DisplayName", creating the key when
// needed, then the other values that are given (those of an earlier
// installation replaced), and NoModify = 1 and NoRepair = 1 (DWORDs: the product can be removed, not changed or
// repaired). True when every value was written; callers ignore the result.
// An empty keyName writes nothing.
bool RegisterUninstallEntry(const CUninstallEntry& entry);
// Deletes the entry (a key without sub-keys), with all its values. True
// when it was deleted; an empty keyName deletes nothing.
bool UnregisterUninstallEntry(const std::string& keyName);
