// Replacing or deleting a file that is in use: the change happens when
// Windows restarts.
#pragma once

#include "setup/paths/PathName.h"

// Arranges that oldName (the new data, under its temporary name) replaces
// newName (the file in use) when Windows restarts: through the system's
// list of pending renames (MoveFileEx), or where the system has none
// (Windows 95) through the [rename] section of wininit.ini in the Windows
// directory ("newName=oldName", an identical line not added twice). True
// when one of them took the rename; false when the system has no list and
// there is no Windows directory; a wininit.ini that cannot be written
// throws CFileException.
bool ReplaceAtRestart(const CPathName& oldName, const CPathName& newName);

// Arranges that path (a file in use, such as the running program) is
// deleted when Windows restarts: through the system's list of pending
// renames, or where the system has none through a "NUL=path" line in the
// [rename] section of wininit.ini. False when neither could be written;
// never throws.
bool DeleteAtRestart(const CPathName& path) noexcept;
