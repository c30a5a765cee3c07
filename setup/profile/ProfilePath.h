// Where the setup profile lies: beside the running program, under the
// program's own name with the extension "ini" (A:\_setupx.exe reads
// A:\_setupx.ini).
#pragma once

#include "setup/paths/PathName.h"

// Empty when the program's own path cannot be had (longer than MAX_PATH).
CPathName DefaultProfilePath();
