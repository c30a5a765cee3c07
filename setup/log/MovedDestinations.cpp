#include "setup/log/MovedDestinations.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>

#include "setup/log/InstalledFileRecord.h"
#include "setup/profile/IniText.h"
#include "setup/profile/InstallModel.h"

namespace {

bool SamePath(const CPathName& a, const CPathName& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

}  // namespace

void KeepMovedDestinations(CIniText& log, const CInstallModel& model) {
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
  std::vector<std::pair<std::string, std::string>> kept;
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
  for (const auto& [key, value] : kept) log.Set(CDestinationTable::kSection, key, value);

  CGroupTable groups;
  groups.Load(log);
  const std::string suffix = "~" + std::to_string(moved.begin()->second);
  std::vector<std::pair<std::string, std::string>> keptGroups;
  for (const auto& g : groups) {
    std::vector<std::pair<std::string, std::string>> stay;
    std::vector<std::pair<std::string, std::string>> leave;
    for (auto& [key, record] : ReadInstalledFiles(log, g->key)) {
      const auto where = moved.find(record.destinationId);
      if (where == moved.end()) {
        stay.emplace_back(key, record.Format());
      } else {
        record.destinationId = where->second;
        leave.emplace_back(key, record.Format());
      }
    }
    if (leave.empty()) continue;
    const std::string section = g->key + suffix;
    for (const auto& [key, value] : leave) log.Set(section, key, value);
    keptGroups.emplace_back(section, g->FormatRecord());
    if (stay.empty()) {
      log.RemoveSection(g->key);
    } else {
      log.ReplaceSection(g->key, stay);
    }
  }
  for (const auto& [key, value] : keptGroups) log.Set(CGroupTable::kSection, key, value);
}
