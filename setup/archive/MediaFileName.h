// Rules for the names of files on the distribution media and inside
// archives: which part of a stored name is used, which names may be
// created at all, and how the parts of a split archive are named.
#pragma once

#include <string>
#include <string_view>

#include "setup/paths/UsableFileName.h"

// The text after the last '\' or '/' (the whole name when there is none). A stored member name may carry a directory; only this part is
// ever used to make a file.
std::string FileNamePart(std::string_view name);


// True when name can stand as a key of the install log, which records
// every installed file under its name: no '=' anywhere, no leading ';' or
// '[' (a comment or a section there), no leading or trailing blank (the
// profile functions strip them, and the key would name another file).
bool IsLoggableFileName(std::string_view name);

// The name of the part file that follows the part named name: the name in
// lower case with its last character raised by one character code ("velt.ar1"
// is followed by "velt.ar2"). Empty when the result is not a usable file
// name (for example a name ending in '9' would continue in a name ending in
// ':') or the last character cannot be raised.
std::string NextPartName(std::string_view name);
