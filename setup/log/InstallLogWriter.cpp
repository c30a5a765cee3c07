#include "setup/log/InstallLogWriter.h"

#include <windows.h>

#include <cstdarg>

#include "setup/log/EventTrail.h"
#include "setup/log/InstalledFileRecord.h"
#include "setup/log/MovedDestinations.h"
#include "setup/profile/InstallModel.h"
#include "setup/profile/ProfileSection.h"

void CInstallLogWriter::WriteDestinationsAndGroups(const CInstallModel& model) {
  for (const auto& d : model.destinations) {
    if (d->id >= 0) log_.Set(CDestinationTable::kSection, std::to_string(d->id), d->FormatRecord());
  }
  for (const auto& g : model.groups) log_.Set(CGroupTable::kSection, g->key, g->FormatRecord());
}

void CInstallLogWriter::WriteProgramGroup(const CInstallModel& model) {
  log_.Set(CTargetTable::kGroupSection, CTargetTable::kGroupKey, model.programFolder);
}

void CInstallLogWriter::BeginRun(const CInstallModel& model) {
  if (log_.GetPath().IsEmpty()) return;
  const CIniText& earlier = log_.Text();
  recordedShared_.clear();
  CGroupTable earlierGroups;
  earlierGroups.Load(earlier);
  const auto noteShared = [&](const std::string& groupKey) {
    for (const auto& [key, record] : ReadInstalledFiles(earlier, groupKey)) {
      if (record.destinationId == CDestination::kSystemDirectory) recordedShared_.insert(FoldedProfileKey(key));
    }
  };
  for (const auto& g : earlierGroups) noteShared(g->key);
  for (const auto& g : model.groups) {
    if (!earlierGroups.Find(g->key)) noteShared(g->key);
  }
  KeepMovedDestinations(log_.Edit(), model);
  WriteDestinationsAndGroups(model);
  WriteProgramGroup(model);
  log_.StartJournal();
}

bool CInstallLogWriter::WasRecordedShared(const std::string& fileName) const {
  return recordedShared_.count(FoldedProfileKey(fileName)) != 0;
}

void CInstallLogWriter::AddFile(const std::string& groupKey, const CPathName& finalPath, std::int16_t destinationId,
                                bool placed, bool replaced) {
  if (log_.GetPath().IsEmpty()) return;
  const CInstalledFileRecord record{destinationId, placed ? 1 : 0, replaced ? 1 : 0};
  log_.Set(groupKey, InstalledFileKey(finalPath), record.Format());
  log_.SaveWhenDue();
}

void CInstallLogWriter::WriteProgramItems(const CInstallModel& model) {
  if (log_.GetPath().IsEmpty()) return;
  WriteProgramGroup(model);
  for (const CTargetTable::Entry& e : model.targets) {
    if (!e.target->programPath.IsEmpty()) log_.Set(CTargetTable::kSection, e.tableKey, e.target->FormatRecord());
  }
}

void CInstallLogWriter::WriteModelOfStoppedCopy(const CInstallModel& model) {
  if (log_.GetPath().IsEmpty()) return;
  WriteDestinationsAndGroups(model);
  log_.Finish();
}

void CInstallLogWriter::WriteModel(const CInstallModel& model) {
  if (log_.GetPath().IsEmpty()) return;
  WriteDestinationsAndGroups(model);
  WriteProgramItems(model);
  log_.Finish();
}

void CInstallLogWriter::Event(const char* format, ...) noexcept {
  va_list args;
  va_start(args, format);
  LogEventV(log_, format, args);
  va_end(args);
}
