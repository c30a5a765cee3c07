// Temporary files beside the file they stand in for. A temporary file is
// always a new file: a name that is taken (by a file, a folder or a link,
// also one that appears between the look and the creation) is never opened,
// truncated or followed, but leads to another name.
#pragma once

#include <string_view>

#include "framework/FunctionRef.h"
#include "setup/paths/PathName.h"

// Gives path (a file in the folder the temporary file goes to) a new
// temporary name (CPathName::MakeTempName) and has create make the file
// there. create must make the file only when nothing has that name yet
// (CREATE_NEW) and return whether it did. Returns true with path naming the
// file made; false when attempts names were all taken (path then holds the
// last one). Any other failure of create throws CFileException with the
// system's error for the name.
bool CreateTemporaryFile(CPathName& path, CFunctionRef<bool(const CPathName&)> create, int attempts = 1000);

// Whether candidate is a name a temporary file beside file can have, with
// the extension extension: in file's folder, a base name of eight
// hexadecimal digits (CPathName::MakeTempName), that extension, not file
// itself, and not too long. Names read back from a journal are trusted no
// further than this.
bool IsTemporaryNameBeside(const CPathName& file, const CPathName& candidate, std::string_view extension);
