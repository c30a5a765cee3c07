#include "setup/log/InstalledFileBatch.h"

#include <algorithm>
#include <unordered_set>

#include "setup/log/InstallLog.h"
#include "setup/profile/ProfileValueMerge.h"

void CInstalledFileBatch::Add(const std::string& groupKey, const CPathName& finalPath, std::int16_t destinationId,
                              bool placed, bool replaced) {
  if (log_.IsEmpty()) return;  // no log: an empty name would fall back to the setup profile
  const CInstalledFileRecord record{destinationId, placed ? 1 : 0, replaced ? 1 : 0};
  waiting_.push_back(Record{groupKey, finalPath.GetFileName(), record.Format()});
  journal_.Append(waiting_.back().section, waiting_.back().key, waiting_.back().value);
  if (waiting_.size() >= std::max(kFirstBatch, written_)) Flush();
}

void CInstalledFileBatch::Flush() noexcept {
  if (waiting_.empty()) return;
  try {
    // Sections in the order in which their first waiting record came, so
    // that new sections are added to the log in the order single writes
    // would add them.
    std::unordered_set<std::string> flushed;
    for (auto it = waiting_.cbegin(); it != waiting_.cend(); ++it) {
      if (flushed.insert(it->section).second) FlushSection(it->section, it);
    }
    written_ += waiting_.size();
  } catch (...) {
    // Out of memory: the log goes without these records.
  }
  waiting_.clear();
}

bool CInstalledFileBatch::FlushSection(const std::string& section, std::vector<Record>::const_iterator from) {
  ProfileValues values;
  for (auto it = from; it != waiting_.cend(); ++it) {
    if (it->section == section) values.emplace_back(it->key, it->value);
  }
  return MergeProfileValues(section, values, log_.GetPath());
}
