#include "setup/install/DiskSpaceCheck.h"

#include <climits>

#include "setup/profile/FileList.h"

std::int64_t RequiredDiskSpace(const CPathName& directory, const CFileList* files) {
  return files ? files->RequiredSpace(directory.ClusterSize(), false) : 0;
}

bool HasDiskSpace(std::int64_t required, int free) noexcept {
  // FreeSpace stops counting at INT_MAX: that figure means "at least that
  // much", which is no reason to refuse the drive.
  return free <= 0 || free == INT_MAX || free >= required;
}
