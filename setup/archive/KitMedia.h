// How a kit's files lie on its media: one folder per diskette (disk1,
// disk2, ...), a CD with one numbered folder per diskette (DISK01, DISK02,
// ...) under its root, or everything in one folder.
//
// A diskette's folder is named by one rule, which the kit builder names
// them by and the setup program finds them by: a stem followed by the
// diskette's number, written with at least as many digits as the stem's
// first folder has (zeros in front).
#pragma once

#include <string>
#include <string_view>

enum class MediaKind { diskettes, cd, flat };

// "diskettes", "cd", "flat" in any case; false for anything else.
bool ParseMediaKind(std::string_view text, MediaKind& kind);
const char* MediaKindName(MediaKind kind);

// The folder of diskette n (1 or more) by the rule above: stem followed by
// n with at least digits digits ("DISK", 2, 3: "DISK03").
std::string DisketteFolderName(std::string_view stem, int digits, int n);
// The folder of diskette n as the kit builder names it for kind: "disk3"
// for diskettes, "DISK03" for a CD; empty for a flat kit.
std::string DisketteFolderName(MediaKind kind, int n);
// The folder beside folderName that holds diskette n, by the rule above:
// folderName's number (its trailing digits, other than 0) replaced by n
// ("disk1" 3: "disk3"; "DISK01" 3: "DISK03"; "Veltrane 2" 3: "Veltrane
// 3"). Empty when folderName ends in no such number.
std::string SiblingDisketteFolder(std::string_view folderName, int n);
