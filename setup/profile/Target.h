// CTarget: one program item (Start Menu shortcut) of the installation. Its
// key is the file name of the program the item starts; the copy engine
// gives it its program path when it installs that file, and only items
// with a program path are created and written to the install log.
#pragma once

#include <cstdint>
#include <string>

#include "setup/paths/PathName.h"

class CTarget {
public:
  // The record's value in the profile and the install log:
  // "%d|%d|%d|%s|%s|%s|%s" = icon index, second number, minimized,
  // description, arguments, icon file, program path.
  std::string FormatRecord() const;

  std::string key;                 // as written in the profile
  std::int16_t iconIndex = 0;
  std::int16_t secondNumber = 0;   // carried and written back
  int minimized = 0;               // for Program Manager items only
  std::string description;         // the item's title
  std::string arguments;           // after the program path, separated by one blank
  std::string iconFile;            // a file below destination 0; empty for none
  CPathName programPath;           // empty until the program is installed
};
