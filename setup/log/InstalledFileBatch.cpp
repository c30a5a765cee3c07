#include "setup/log/InstalledFileBatch.h"

#include <algorithm>

#include "setup/log/InstallLog.h"

void CInstalledFileBatch::Add(const std::string& groupKey, const CPathName& finalPath, std::int16_t destinationId,
                              bool placed, bool replaced) {
  if (log_.IsEmpty()) return;  // no log: an empty name would fall back to the setup profile
  const CInstalledFileRecord record{destinationId, placed ? 1 : 0, replaced ? 1 : 0};
  // A run has a few groups: their sections are found by looking.
  auto section = std::find_if(waiting_.begin(), waiting_.end(),
                              [&](const WaitingSection& waiting) { return waiting.section == groupKey; });
  if (section == waiting_.end()) section = waiting_.insert(waiting_.end(), WaitingSection{groupKey, {}});
  const auto& [key, value] = section->values.emplace_back(finalPath.GetFileName(), record.Format());
  journal_.Append(groupKey, key, value);
  if (WaitingCount() >= std::max(kFirstBatch, written_)) Flush();
}

std::size_t CInstalledFileBatch::WaitingCount() const noexcept {
  std::size_t count = 0;
  for (const WaitingSection& section : waiting_) count += section.values.size();
  return count;
}

void CInstalledFileBatch::Flush() noexcept {
  if (waiting_.empty()) return;
  try {
    for (const WaitingSection& section : waiting_) MergeProfileValues(section.section, section.values, log_.GetPath());
    written_ += WaitingCount();
  } catch (...) {
    // Out of memory: the log goes without these records.
  }
  waiting_.clear();
}
