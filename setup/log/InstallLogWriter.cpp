#include "setup/log/InstallLogWriter.h"

#include <cstdarg>

#include "setup/log/EventTrail.h"
#include "setup/profile/InstallModel.h"
#include "setup/profile/ProfileEntry.h"
#include "setup/profile/ProfileValueMerge.h"

void CInstallLogWriter::WriteDestinationsAndGroups(const CInstallModel& model) {
  // An empty name would fall back to the setup profile.
  if (log_.IsEmpty()) return;
  // Everything a run may still write about its files goes first.
  FlushFiles();
  ProfileValues destinations;
  for (const auto& d : model.destinations) {
    if (d->id >= 0) destinations.emplace_back(std::to_string(d->id), d->FormatRecord());
  }
  MergeProfileValues(CDestinationTable::kSection, destinations, log_.GetPath());
  ProfileValues groups;
  for (const auto& g : model.groups) groups.emplace_back(g->key, g->FormatRecord());
  MergeProfileValues(CGroupTable::kSection, groups, log_.GetPath());
}

void CInstallLogWriter::WriteModelOfStoppedCopy(const CInstallModel& model) { WriteDestinationsAndGroups(model); }

void CInstallLogWriter::WriteModel(const CInstallModel& model) {
  WriteDestinationsAndGroups(model);
  if (log_.IsEmpty()) return;
  {
    CProfileEntry group(model.programFolder, CTargetTable::kGroupSection, CTargetTable::kGroupKey, log_, false, false);
    group.Write();
  }
  ProfileValues targets;
  for (const CTargetTable::Entry& e : model.targets) {
    if (!e.target->programPath.IsEmpty()) targets.emplace_back(e.tableKey, e.target->FormatRecord());
  }
  MergeProfileValues(CTargetTable::kSection, targets, log_.GetPath());
}

void CInstallLogWriter::Event(const char* format, ...) noexcept {
  va_list args;
  va_start(args, format);
  LogEventV(log_, format, args);
  va_end(args);
}
