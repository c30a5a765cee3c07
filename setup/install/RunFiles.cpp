#include "setup/install/RunFiles.h"

#include <algorithm>
#include <limits>

#include "framework/HashIndex.h"
#include "setup/log/InstalledFileRecord.h"
#include "setup/profile/DestinationTable.h"
#include "setup/profile/GroupTable.h"
#include "setup/profile/IniText.h"
#include "setup/profile/ProfileSection.h"

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

// A table of slots for count items, at most three quarters full.
bool IsFull(const std::vector<std::uint32_t>& table, std::size_t count) noexcept {
  return count * 4 > table.size() * 3;
}

}  // namespace

std::string_view CRunFiles::NameOf(const File& file) const noexcept {
  // Names end with a NUL in their block.
  return blocks_[file.name >> 16].data() + (file.name & 0xFFFFu);
}

std::size_t CRunFiles::DirectorySlot(std::string_view directory) const noexcept {
  return FindHashSlot(byDirectory_, Fnv1aHash(directory),
                      [&](std::uint32_t i) { return directories_[i] == directory; });
}

std::size_t CRunFiles::PathSlot(std::uint32_t directory, std::string_view name) const noexcept {
  return FindHashSlot(byPath_, Fnv1aHash(name) + directory * 2654435761u,
                      [&](std::uint32_t i) { return files_[i].directory == directory && NameOf(files_[i]) == name; });
}

std::size_t CRunFiles::NameSlot(std::string_view name) const noexcept {
  return FindHashSlot(byName_, Fnv1aHash(name), [&](std::uint32_t i) { return NameOf(files_[i]) == name; });
}

void CRunFiles::Index(std::uint32_t file) noexcept {
  const File& f = files_[file - 1];
  byPath_[PathSlot(f.directory, NameOf(f))] = file;
  // A name's slot holds the first file of that name.
  std::uint32_t& name = byName_[NameSlot(NameOf(f))];
  if (name == 0) name = file;
}

std::uint32_t CRunFiles::DirectoryIndex(std::string_view directory) {
  if (byDirectory_.empty() || IsFull(byDirectory_, directories_.size() + 1)) {
    byDirectory_.assign(std::max<std::size_t>(16, byDirectory_.size() * 2), 0);
    for (std::uint32_t i = 0; i < directories_.size(); ++i) byDirectory_[DirectorySlot(directories_[i])] = i + 1;
  }
  std::uint32_t& slot = byDirectory_[DirectorySlot(directory)];
  if (slot == 0) {
    directories_.emplace_back(directory);
    slot = static_cast<std::uint32_t>(directories_.size());
  }
  return slot - 1;
}

bool CRunFiles::Contains(const CPathName& path) const {
  if (byPath_.empty()) return false;
  const std::string folded = FoldedProfileKey(path.GetPath());
  const std::size_t directoryLength = folded.size() - path.GetFileName().size();
  const std::uint32_t directory = byDirectory_[DirectorySlot(std::string_view(folded).substr(0, directoryLength))];
  return directory != 0 && byPath_[PathSlot(directory - 1, std::string_view(folded).substr(directoryLength))] != 0;
}

void CRunFiles::Add(const CPathName& path, std::uint64_t size) {
  // The files of a run share a few directories: each is kept once, and a
  // file is its directory's number and its name, the path's tail.
  const std::string folded = FoldedProfileKey(path.GetPath());
  const std::size_t directoryLength = folded.size() - path.GetFileName().size();
  const std::string_view name = std::string_view(folded).substr(directoryLength);
  const std::uint32_t directory = DirectoryIndex(std::string_view(folded).substr(0, directoryLength));
  if (!byPath_.empty()) {
    if (const std::uint32_t at = byPath_[PathSlot(directory, name)]; at != 0) {
      File& known = files_[at - 1];
      totalBytes_ = totalBytes_ - known.size + size;
      known.size = size;
      return;
    }
  }

  // A name starts within the first 64 KiB of its block.
  if (blocks_.empty() || blocks_.back().size() >= kBlockSize ||
      blocks_.back().capacity() - blocks_.back().size() < name.size() + 1) {
    blocks_.emplace_back().reserve(std::max(kBlockSize, name.size() + 1));
  }
  std::string& block = blocks_.back();
  const auto at = static_cast<std::uint32_t>((blocks_.size() - 1) << 16 | block.size());
  block.append(name).push_back('\0');
  files_.push_back({size, directory, at});
  totalBytes_ += size;

  if (byPath_.empty() || IsFull(byPath_, files_.size())) {
    const std::size_t slots = std::max<std::size_t>(64, byPath_.size() * 2);
    byPath_.assign(slots, 0);
    byName_.assign(slots, 0);
    for (std::uint32_t i = 1; i <= files_.size(); ++i) Index(i);
  } else {
    Index(static_cast<std::uint32_t>(files_.size()));
  }
}

DWORD CRunFiles::TotalKiB() const noexcept {
  const std::uint64_t kib = (TotalBytes() + 1023) / 1024;
  return kib > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max() : static_cast<DWORD>(kib);
}

std::vector<CLoggedFile> CRunFiles::NotShipped(const std::vector<CLoggedFile>& earlier,
                                               const CGroupTable& groups) const {
  std::vector<CLoggedFile> left;
  for (const CLoggedFile& file : earlier) {
    if (!files_.empty() && byName_[NameSlot(FoldedProfileKey(file.name))] != 0) continue;
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
