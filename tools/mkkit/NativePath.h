// Paths are printed as the user gave them, with the platform's separator:
// "product/files\app.exe" becomes "product\files\app.exe".
#pragma once

#include <algorithm>
#include <string>

inline std::string NativeSeparators(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}
