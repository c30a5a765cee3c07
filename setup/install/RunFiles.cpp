#include "setup/install/RunFiles.h"

#include <limits>

#include "setup/log/InstalledFileRecord.h"
#include "setup/profile/DestinationTable.h"
#include "setup/profile/GroupTable.h"
#include "setup/profile/IniText.h"
#include "setup/profile/ProfileSection.h"

void CRunFiles::Add(const CPathName& path, std::uint64_t size) {
  sizes_[FoldedProfileKey(path.GetPath())] = size;
  names_.insert(FoldedProfileKey(path.GetFileName()));
}

std::uint64_t CRunFiles::TotalBytes() const noexcept {
  std::uint64_t total = 0;
  for (const auto& [path, size] : sizes_) total += size;
  return total;
}

DWORD CRunFiles::TotalKiB() const noexcept {
  const std::uint64_t kib = (TotalBytes() + 1023) / 1024;
  return kib > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max() : static_cast<DWORD>(kib);
}

std::vector<CLoggedFile> CRunFiles::NotShipped(const std::vector<CLoggedFile>& earlier,
                                               const CGroupTable& groups) const {
  std::vector<CLoggedFile> left;
  for (const CLoggedFile& file : earlier) {
    if (names_.count(FoldedProfileKey(file.name)) != 0) continue;
    const CGroup* group = groups.Find(file.groupKey.substr(0, file.groupKey.find('~')));
    if (group && !group->selected) continue;
    left.push_back(file);
  }
  return left;
}

std::vector<CLoggedFile> ReadLoggedFiles(const CIniText& log) {
  CGroupTable groups;
  groups.Load(log);
  CDestinationTable destinations;
  try {
    destinations.Load(log);
    destinations.Resolve();
  } catch (...) {
    // Destinations that cannot be read: the files keep their names only.
  }
  std::vector<CLoggedFile> files;
  for (const auto& group : groups) {
    for (const auto& [name, record] : ReadInstalledFiles(log, group->key)) {
      CPathName path = destinations.GetPath(record.destinationId);
      if (!path.IsEmpty()) path.SetFileName(name);
      files.push_back({group->key, name, path});
    }
  }
  return files;
}
