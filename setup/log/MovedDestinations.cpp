#include "setup/log/MovedDestinations.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>

#include "setup/log/InstallLog.h"
#include "setup/profile/InstallModel.h"
#include "setup/profile/ProfileValueMerge.h"

namespace {

bool SamePath(const CPathName& a, const CPathName& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

}  // namespace

void KeepMovedDestinations(const CPathName& log, const CInstallModel& model) {
  if (log.IsEmpty()) return;
  CDestinationTable earlier;
  try {
    earlier.Load(log);
    earlier.Resolve();
  } catch (...) {
    // No destinations a removal could use: nothing to keep.
    return;
  }

  int nextId = 0;
  for (const auto& d : earlier) nextId = std::max<int>(nextId, d->id + 1);
  for (const auto& d : model.destinations) nextId = std::max<int>(nextId, d->id + 1);

  std::map<std::int16_t, std::int16_t> moved;  // earlier id -> the id it keeps its files under
  ProfileValues kept;
  for (const auto& d : earlier) {
    if (d->id < 0) continue;
    const CPathName before = earlier.GetPath(d->id);
    const CPathName now = model.destinations.GetPath(d->id);
    if (before.IsEmpty() || now.IsEmpty() || SamePath(before, now)) continue;
    if (nextId > std::numeric_limits<std::int16_t>::max()) break;
    const auto id = static_cast<std::int16_t>(nextId++);
    moved.emplace(d->id, id);
    kept.emplace_back(std::to_string(id), d->name + "|-1|" + before.GetPath());
  }
  if (moved.empty()) return;
  MergeProfileValues(CDestinationTable::kSection, kept, log.GetPath());

  CGroupTable groups;
  groups.Load(log);
  const std::string suffix = "~" + std::to_string(moved.begin()->second);
  ProfileValues keptGroups;
  for (const auto& g : groups) {
    std::vector<std::pair<std::string, CInstalledFileRecord>> stay;
    ProfileValues leave;
    for (auto& [key, record] : ReadInstalledFiles(log, g->key)) {
      const auto where = moved.find(record.destinationId);
      if (where == moved.end()) {
        stay.emplace_back(key, record);
      } else {
        record.destinationId = where->second;
        leave.emplace_back(key, record.Format());
      }
    }
    if (leave.empty()) continue;
    const std::string section = g->key + suffix;
    MergeProfileValues(section, leave, log.GetPath());
    keptGroups.emplace_back(section, g->FormatRecord());
    RewriteInstalledFiles(log, g->key, stay);
  }
  MergeProfileValues(CGroupTable::kSection, keptGroups, log.GetPath());
}
