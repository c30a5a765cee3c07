#include "setup/profile/FileEntry.h"

#include "setup/profile/Group.h"

std::int64_t CFileEntry::SpaceNeeded(DWORD clusterSize) const {
  const std::int64_t cluster = clusterSize;
  if (memberCount > 1) return cluster * memberCount / 2 + size;
  if (cluster != 0 && size > 0) return (size + cluster - 1) / cluster * cluster;
  return size;
}

bool CFileEntry::IsSelected() const { return group && group->selected; }

#if defined(_WIN64)
static_assert(sizeof(CFileEntry) == 88, "a file entry's fields are laid out without padding");
#endif
