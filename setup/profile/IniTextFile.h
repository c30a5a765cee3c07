// Reading and saving an INI file whole (see CIniText).
//
// A file is read once, whole, at any size. It is saved whole to a new file
// beside it, made new (never one that exists), written and flushed to the
// disk, which then takes the old file's place in one step: a run ended at
// any moment leaves either the old file or the new one, never a file cut
// short. Windows 95, 98 and Me cannot replace a file in one step; there the
// old file is deleted and the new one renamed, and whoever saves must be
// able to find the new file by its name should the run end in between (the
// name is given to the caller before the file is made).
#pragma once

#include "framework/FunctionRef.h"

#include "setup/paths/PathName.h"
#include "setup/profile/IniText.h"

// The text of the file at path; empty when it is missing, cannot be read
// or is larger than any INI file this system writes. found, when given,
// tells whether a file was read.
CIniText ReadIniTextFile(const CPathName& path, bool* found = nullptr);

// Saves text as the file at path (see above). beforeCreate, when given, is
// called with the name of each new file before it is made. Returns false
// when the file could not be written; path is then as it was, and the new
// file is gone.
bool WriteIniTextFile(const CIniText& text, const CPathName& path,
                      CFunctionRef<void(const CPathName&)> beforeCreate = {});

// Puts the complete file made at made in the place of path: in one step
// where the system can, else by deleting path and renaming made. False
// when neither worked; made is left as it is then.
bool ReplaceWithNewFile(const CPathName& made, const CPathName& path);
