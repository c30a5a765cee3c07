// The App Paths entry through which Windows and the setup program find the
// installed product program: HKEY_LOCAL_MACHINE
// "Software\Microsoft\Windows\CurrentVersion\App Paths\<file name>".
#pragma once

#include <string>

#include "setup/paths/PathName.h"

// The key under HKEY_LOCAL_MACHINE that holds the entry of fileName.
std::string AppPathKey(const std::string& fileName);

// Writes the entry of programPath's file name: the default value holds the
// full path, "Path" its directory. True when all of it was written; callers
// ignore the result, a failure is not reported.
bool RegisterAppPath(const CPathName& programPath);
// Deletes the entry of programPath's file name. True when it was deleted.
bool UnregisterAppPath(const CPathName& programPath);

// Reads the default value (REG_SZ) of the entry of fileName ("veltapp.exe")
// into path. True when it holds a non-empty path; otherwise false, and path
// is empty. A missing key or value, or one of another type, is a normal
// "not found".
bool LookupAppPath(const std::string& fileName, std::string& path);
