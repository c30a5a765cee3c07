// Reading one text value from the registry, for the defaults the wizard
// proposes. A missing key or value is a normal result.
#pragma once

#include <windows.h>

#include <string>

// The keys of the system's settings the defaults come from.
inline constexpr char kWindowsCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr char kWindowsNtCurrentVersionKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";

// The REG_SZ (or REG_EXPAND_SZ, unexpanded) value valueName of root\subKey
// into value; false, value untouched, when the key or the value is missing
// or of another type.
bool ReadRegistryString(HKEY root, const char* subKey, const char* valueName, std::string& value);
