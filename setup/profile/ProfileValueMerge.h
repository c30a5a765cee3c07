// MergeProfileValues: writes many values into one section of an INI file
// with one read and one write of the section. The file ends up as one
// WritePrivateProfileStringA per value, in the same order, would leave it:
// a key already in the section (in any letter case) gets its new value
// where it stands, a new key is added at the end of the section, and a
// missing section is added at the end of the file.
//
// Each WritePrivateProfileStringA reads and rewrites the whole file, so
// that writing a few hundred values one by one costs a noticeable time.
#pragma once

#include <string>
#include <utility>
#include <vector>

using ProfileValues = std::vector<std::pair<std::string, std::string>>;

// False when the file could not be written (nothing is reported). A
// section that holds a line without '=' (not written by this system) gets
// the values one by one, since such a line does not survive a section
// write on every system.
bool MergeProfileValues(const std::string& section, const ProfileValues& values, const std::string& file);
