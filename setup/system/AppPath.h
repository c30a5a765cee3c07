// The App Paths entry through which Windows and the setup program find the
// installed product program: HKEY_LOCAL_MACHINE
// "Software\Microsoft\Windows\CurrentVersion\App Paths\<file name>".
#pragma once

#include <string>

// The key under HKEY_LOCAL_MACHINE that holds the entry of fileName.
std::string AppPathKey(const std::string& fileName);

// Reads the default value (REG_SZ) of the entry of fileName ("veltapp.exe")
// into path. True when it holds a non-empty path; otherwise false, and path
// is empty. A missing key or value, or one of another type, is a normal
// "not found".
bool LookupAppPath(const std::string& fileName, std::string& path);
