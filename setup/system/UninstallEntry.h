// The product's entry in the Windows list of removable software:
// HKEY_LOCAL_MACHINE "Software\Microsoft\Windows\CurrentVersion\Uninstall\<key name>".
#pragma once

#include <string>

// The key under HKEY_LOCAL_MACHINE that holds the entry of keyName.
std::string UninstallKey(const std::string& keyName);

// Writes "UninstallString" = commandLine (stored as given, unquoted) and then
// "DisplayName" = displayName, creating the key when needed. True when both
// were written; callers ignore the result. An empty keyName writes nothing.
bool RegisterUninstallEntry(const std::string& commandLine, const std::string& keyName,
                            const std::string& displayName);
// Deletes the entry (a key without sub-keys). True when it was deleted; an
// empty keyName deletes nothing.
bool UnregisterUninstallEntry(const std::string& keyName);
