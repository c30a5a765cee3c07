// The version of Windows the setup program runs on.
#pragma once

#include <windows.h>

// The major version number GetVersionExA reports (4 for Windows 95 and
// NT 4); 0 when it cannot be had.
DWORD GetWindowsMajorVersion();
// True on Windows NT and its successors, false on Windows 95, 98 and Me
// (and when the version cannot be had).
bool IsWindowsNt();
