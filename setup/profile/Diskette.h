// CDiskette: one diskette of the distribution, as the Insert Diskette
// prompt names it.
#pragma once

#include <string>

class CDiskette {
public:
  std::string label;  // may be empty
  std::string path;   // carried
};
