#include "setup/profile/Destination.h"

#include "setup/profile/ProfileRecords.h"

void CDestination::SetPath(std::string_view text) {
  path = CPathName();
  path.SetDirectory(text);
}

std::string CDestination::FormatRecord() const {
  return CDestinationRecord{name, parentId, path.GetPath()}.Format();
}
