// Deleting a registry key together with everything below it.
#pragma once

#include <windows.h>

// Deletes parent\name and all its sub-keys, depth first. Returns the Win32
// status: ERROR_SUCCESS when the tree is gone; the status of the failed open
// (ERROR_FILE_NOT_FOUND for a missing key) with nothing changed; or the
// status that stopped the walk, with the key and what was not yet reached
// left in place. An empty or null name is refused with
// ERROR_INVALID_PARAMETER, since it would name parent itself.
LONG DeleteKeyTree(HKEY parent, const char* name);
