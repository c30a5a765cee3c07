#include "setup/profile/FileList.h"

#include <algorithm>
#include <cstdlib>

#include "setup/profile/GroupTable.h"
#include "setup/profile/IniTextFile.h"
#include "setup/profile/ProfileRecords.h"
#include "setup/profile/ProfileSection.h"

void CFileList::Load(const CPathName& profile, const CGroupTable& groups) { Load(ReadIniTextFile(profile), groups); }

void CFileList::Load(const CIniText& profile, const CGroupTable& groups) {
  // The list is made as large as it becomes at once: a list that doubled
  // its way to 20,000 entries would have touched half as much again.
  std::size_t count = records_.size();
  for (const auto& group : groups) count += profile.KeyCount(group->key);
  records_.reserve(count);
  for (const auto& group : groups) {
    ForEachProfileValue(group->key, profile, [&](const std::string& key, const std::string& value) {
      CFileEntryRecord record = CFileEntryRecord::Parse(value);
      auto file = std::make_unique<CFileEntry>(key);
      file->size = static_cast<std::int32_t>(record.size);
      file->kind = static_cast<CFileEntry::Kind>(record.kind);
      file->memberCount = static_cast<std::int16_t>(record.memberCount);
      file->marked = record.diskette < 0 ? 1 : 0;
      file->SetDisketteNumber(std::abs(record.diskette));
      file->destinationId = static_cast<std::int16_t>(record.destinationId);
      file->text = std::move(record.text);
      file->group = group.get();
      Insert(std::move(file));
    });
  }
}

void CFileList::Insert(std::unique_ptr<CFileEntry> entry) {
  const int diskette = entry->GetDisketteNumber();
  const bool marked = entry->marked != 0;
  // The list is ordered by diskette, the marked files of a diskette after
  // the others: the new entry goes after every entry of its place in that
  // order (a search, not a walk: a profile may hold thousands of files).
  const auto before = std::upper_bound(records_.begin(), records_.end(), 0, [&](int, const auto& e) {
    return e->GetDisketteNumber() > diskette || (e->GetDisketteNumber() == diskette && e->marked && !marked);
  });
  records_.insert(before, std::move(entry));
}

std::int64_t CFileList::RequiredSpace(DWORD clusterSize, bool all) const {
  std::int64_t total = 0;
  for (const auto& e : records_) {
    if (all || e->IsSelected()) total += e->SpaceNeeded(clusterSize);
  }
  return total;
}
