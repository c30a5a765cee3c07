// What the two journals beside the install log share: the fields a line
// can carry, and reading a journal back whole.
#pragma once

#include <string>
#include <string_view>

#include "setup/paths/PathName.h"

// A field holds no tab, CR or LF, which end fields and lines.
bool FitsAJournalLine(std::string_view field) noexcept;

// The bytes of the journal at path, read while a run may still append to
// it. found tells whether there was a file; one larger than any run of
// this program writes (64 MiB) reads as empty.
std::string ReadJournalFile(const CPathName& path, bool& found);
