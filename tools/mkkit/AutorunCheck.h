// Whether a CD menu's autorun.inf can do what it offers on its CD: the
// program AutoPlay starts ([autorun] open and icon), the background picture
// and the start-up sound, and of every button its command, its picture pair
// (name1 and name2 of Bitmap=name) and its sound must lie on the CD.
// A command may also be a bare program name that Windows itself has
// (explorer.exe, found in the Windows or system folder), or QuitProgram.
#pragma once

#include <functional>
#include <string>

// onCd(path, anyExtension): whether the CD holds path (relative to its
// root; with anyExtension, path.* as the menu looks for a command without
// one). Returns the first problem, "" when there is none; checked counts
// the names looked at.
std::string FindAutorunProblem(const std::string& autorunText,
                               const std::function<bool(const std::string&, bool)>& onCd, int* checked = nullptr);
