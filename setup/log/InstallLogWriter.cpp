#include "setup/log/InstallLogWriter.h"

#include <windows.h>

#include <cstdarg>

#include "setup/log/EventTrail.h"
#include "setup/log/InstallJournal.h"
#include "setup/log/InstallLog.h"
#include "setup/log/MovedDestinations.h"
#include "setup/profile/InstallModel.h"
#include "setup/profile/ProfileEntry.h"
#include "setup/profile/ProfileSection.h"
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
  ProfileValues groups;
  for (const auto& g : model.groups) groups.emplace_back(g->key, g->FormatRecord());
  for (const auto& [section, values] : {std::pair{CDestinationTable::kSection, &destinations},
                                        std::pair{CGroupTable::kSection, &groups}}) {
    // The journal first: the system rewrites the whole log in place, and a
    // run ended in the middle of that leaves it cut.
    for (const auto& [key, value] : *values) fileRecords_.JournalValue(section, key, value);
    MergeProfileValues(section, *values, log_.GetPath());
  }
}

void CInstallLogWriter::BeginRun(const CInstallModel& model) {
  if (log_.IsEmpty()) return;
  RecoverInstallJournal(log_);
  recordedShared_.clear();
  CGroupTable earlierGroups;
  earlierGroups.Load(log_);
  const auto noteShared = [this](const std::string& groupKey) {
    for (const auto& [key, record] : ReadInstalledFiles(log_, groupKey)) {
      if (record.destinationId == CDestination::kSystemDirectory) recordedShared_.insert(FoldedProfileKey(key));
    }
  };
  for (const auto& g : earlierGroups) noteShared(g->key);
  for (const auto& g : model.groups) {
    if (!earlierGroups.Find(g->key)) noteShared(g->key);
  }
  KeepMovedDestinations(log_, model);
  fileRecords_.StartJournal();
  WriteDestinationsAndGroups(model);
  WriteProgramGroup(model);
}

bool CInstallLogWriter::WasRecordedShared(const std::string& fileName) const {
  return recordedShared_.count(FoldedProfileKey(fileName)) != 0;
}

void CInstallLogWriter::WriteProgramGroup(const CInstallModel& model) {
  CProfileEntry group(model.programFolder, CTargetTable::kGroupSection, CTargetTable::kGroupKey, log_, false, false);
  fileRecords_.JournalValue(CTargetTable::kGroupSection, CTargetTable::kGroupKey, model.programFolder);
  group.Write();
}

void CInstallLogWriter::WriteModelOfStoppedCopy(const CInstallModel& model) { WriteDestinationsAndGroups(model); }

void CInstallLogWriter::WriteModel(const CInstallModel& model) {
  WriteDestinationsAndGroups(model);
  if (log_.IsEmpty()) return;
  WriteProgramGroup(model);
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
