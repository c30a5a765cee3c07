#include "setup/install/RunFiles.h"

#include <algorithm>
#include <limits>

#include "setup/log/InstalledFileRecord.h"
#include "setup/profile/DestinationTable.h"
#include "setup/profile/GroupTable.h"
#include "setup/profile/IniText.h"
#include "setup/profile/ProfileSection.h"

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

// FNV-1a over text already folded.
std::size_t HashOf(std::string_view folded) noexcept {
  std::uint32_t hash = 2166136261u;
  for (const char c : folded) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace

std::string_view CRunFiles::KeyOf(const File& file, bool name) const noexcept {
  const std::string_view block(blocks_[file.block]);
  if (!name) return block.substr(file.pathBegin, file.pathLength);
  const std::uint32_t length = file.name & ~kNameAfterPath;
  const std::uint32_t pathEnd = file.pathBegin + file.pathLength;
  return block.substr((file.name & kNameAfterPath) ? pathEnd : pathEnd - length, length);
}

std::size_t CRunFiles::Slot(bool name, std::string_view key) const noexcept {
  const std::vector<std::uint32_t>& table = name ? byName_ : byPath_;
  const std::size_t mask = table.size() - 1;
  for (std::size_t slot = HashOf(key) & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t at = table[slot];
    if (at == 0 || KeyOf(files_[at - 1], name) == key) return slot;
  }
}

void CRunFiles::Index(std::uint32_t file) noexcept {
  byPath_[Slot(false, KeyOf(files_[file - 1], false))] = file;
  // A name's slot holds the first file of that name.
  std::uint32_t& name = byName_[Slot(true, KeyOf(files_[file - 1], true))];
  if (name == 0) name = file;
}

void CRunFiles::Add(const CPathName& path, std::uint64_t size) {
  const std::string folded = FoldedProfileKey(path.GetPath());
  const std::string foldedName = FoldedProfileKey(path.GetFileName());
  if (!byPath_.empty()) {
    if (const std::uint32_t at = byPath_[Slot(false, folded)]; at != 0) {
      File& known = files_[at - 1];
      totalBytes_ = totalBytes_ - known.size + size;
      known.size = size;
      return;
    }
  }

  // The name is the path's tail; should it ever not be, it is kept beside.
  const bool tail = std::string_view(folded).ends_with(foldedName);
  const std::size_t length = folded.size() + (tail ? 0 : foldedName.size());
  if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < length) {
    blocks_.emplace_back().reserve(std::max(kBlockSize, length));
  }
  std::string& block = blocks_.back();
  const auto begin = static_cast<std::uint32_t>(block.size());
  block.append(folded);
  if (!tail) block.append(foldedName);
  files_.push_back({size, static_cast<std::uint32_t>(blocks_.size() - 1), begin,
                    static_cast<std::uint32_t>(folded.size()),
                    static_cast<std::uint32_t>(foldedName.size()) | (tail ? 0 : kNameAfterPath)});
  totalBytes_ += size;

  // The tables stay at most half full, so that a free slot is always near.
  if (files_.size() * 2 > byPath_.size()) {
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
    if (!files_.empty() && byName_[Slot(true, FoldedProfileKey(file.name))] != 0) continue;
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
