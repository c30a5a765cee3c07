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

// Takes back a replacement that ReplaceAtRestart arranged for oldName:
// its pair leaves the system's list of pending renames, or its
// "newName=oldName" line leaves the [rename] section of wininit.ini. True
// when no such replacement is left; never throws.
bool CancelReplaceAtRestart(const CPathName& oldName, const CPathName& newName) noexcept;

// Arranges that path (a file in use, such as the running program, or a
// directory that holds such files and is to go after them) is deleted when
// Windows restarts, after the deletions arranged before it: on Windows NT
// through the system's list of pending renames (MoveFileEx with no new
// name), on Windows 95, 98 and Me through a "NUL=" line in the [rename]
// section of wininit.ini (AddWininitDeletion). False when the system did
// not take it; never throws.
bool DeleteAtRestart(const CPathName& path) noexcept;

// Adds "NUL=<path>" to the [rename] section of the file wininit, with the
// short (8.3) form of path: Windows 95 carries the section out before its
// long file names are there. An identical line is not added twice. A file
// that cannot be written throws CFileException.
bool AddWininitDeletion(const CPathName& wininit, const CPathName& path);
