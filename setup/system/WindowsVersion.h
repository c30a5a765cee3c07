// The version of Windows the setup program runs on.
#pragma once

#include <windows.h>

// The major version number GetVersionExA reports (4 for Windows 95 and
// NT 4); 0 when it cannot be had.
DWORD GetWindowsMajorVersion();
