// How a kit's files lie on its media: one folder per diskette, a CD with
// one numbered folder per diskette (DISK01, DISK02, ...) under its root, or
// everything in one folder.
#pragma once

#include <string_view>

enum class MediaKind { diskettes, cd, flat };

// "diskettes", "cd", "flat" in any case; false for anything else.
bool ParseMediaKind(std::string_view text, MediaKind& kind);
const char* MediaKindName(MediaKind kind);
