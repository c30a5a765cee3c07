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

std::string_view CRunFiles::PathOf(const File& file) const noexcept {
  return std::string_view(blocks_[file.block]).substr(file.pathBegin, file.pathLength);
}

std::string_view CRunFiles::NameOf(const File& file) const noexcept {
  return std::string_view(blocks_[file.block]).substr(file.nameBegin, file.nameLength);
}

std::pair<std::uint32_t, std::uint32_t> CRunFiles::Store(std::string_view first, std::string_view second) {
  const std::size_t length = first.size() + second.size();
  if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < length) {
    blocks_.emplace_back().reserve(std::max(kBlockSize, length));
  }
  std::string& block = blocks_.back();
  const auto begin = static_cast<std::uint32_t>(block.size());
  block.append(first).append(second);
  return {static_cast<std::uint32_t>(blocks_.size() - 1), begin};
}

template <class KeyOf>
std::size_t CRunFiles::Slot(const std::vector<std::uint32_t>& table, std::string_view key,
                            KeyOf keyOf) const noexcept {
  const std::size_t mask = table.size() - 1;
  for (std::size_t slot = HashOf(key) & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t at = table[slot];
    if (at == 0 || keyOf(files_[at - 1]) == key) return slot;
  }
}

void CRunFiles::Grow() {
  // Tables at most half full, so that a free slot is always near.
  const std::size_t size = std::max<std::size_t>(64, byPath_.size() * 2);
  byPath_.assign(size, 0);
  byName_.assign(size, 0);
  const auto path = [this](const File& f) { return PathOf(f); };
  const auto name = [this](const File& f) { return NameOf(f); };
  for (std::size_t i = 0; i < files_.size(); ++i) {
    byPath_[Slot(byPath_, PathOf(files_[i]), path)] = static_cast<std::uint32_t>(i + 1);
    const std::size_t slot = Slot(byName_, NameOf(files_[i]), name);
    if (byName_[slot] == 0) byName_[slot] = static_cast<std::uint32_t>(i + 1);
  }
}

void CRunFiles::Add(const CPathName& path, std::uint64_t size) {
  const std::string folded = FoldedProfileKey(path.GetPath());
  const std::string foldedName = FoldedProfileKey(path.GetFileName());
  if (byPath_.empty()) Grow();
  const auto pathOf = [this](const File& f) { return PathOf(f); };
  if (const std::uint32_t at = byPath_[Slot(byPath_, folded, pathOf)]; at != 0) {
    File& known = files_[at - 1];
    totalBytes_ = totalBytes_ - known.size + size;
    known.size = size;
    return;
  }
  if ((files_.size() + 1) * 2 > byPath_.size()) Grow();

  // The name is the path's tail; should it ever not be, it is kept beside.
  const bool tail = std::string_view(folded).ends_with(foldedName);
  const auto [block, begin] = Store(folded, tail ? std::string_view() : std::string_view(foldedName));
  File file{block, begin, static_cast<std::uint32_t>(folded.size()), 0, static_cast<std::uint32_t>(foldedName.size()),
            size};
  file.nameBegin = begin + static_cast<std::uint32_t>(tail ? folded.size() - foldedName.size() : folded.size());
  files_.push_back(file);
  totalBytes_ += size;
  const auto index = static_cast<std::uint32_t>(files_.size());
  byPath_[Slot(byPath_, folded, pathOf)] = index;
  const std::size_t nameSlot = Slot(byName_, foldedName, [this](const File& f) { return NameOf(f); });
  if (byName_[nameSlot] == 0) byName_[nameSlot] = index;
}

DWORD CRunFiles::TotalKiB() const noexcept {
  const std::uint64_t kib = (TotalBytes() + 1023) / 1024;
  return kib > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max() : static_cast<DWORD>(kib);
}

std::vector<CLoggedFile> CRunFiles::NotShipped(const std::vector<CLoggedFile>& earlier,
                                               const CGroupTable& groups) const {
  std::vector<CLoggedFile> left;
  for (const CLoggedFile& file : earlier) {
    if (!files_.empty() &&
        byName_[Slot(byName_, FoldedProfileKey(file.name), [this](const File& f) { return NameOf(f); })] != 0) {
      continue;
    }
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
