#include "setup/profile/Destination.h"

void CDestination::SetPath(std::string_view text) {
  path = CPathName();
  path.SetDirectory(text);
}

std::string CDestination::FormatRecord() const {
  return name + "|" + std::to_string(parentId) + "|" + path.GetPath();
}
