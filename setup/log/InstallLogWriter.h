// CInstallLogWriter: the one writer of the install log during an
// installation. Its three jobs: the file records of the run (batched, see
// CInstalledFileBatch, and journalled at once, see CInstallJournal), the
// data model's sections that let a removal find them, and the events (see
// EventTrail.h). Nothing is written when the log
// path is empty; write failures are not reported (the installation goes on
// without a log).
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "setup/log/InstalledFileBatch.h"
#include "setup/paths/PathName.h"

class CInstallModel;

class CInstallLogWriter {
public:
  explicit CInstallLogWriter(CPathName log) : log_(std::move(log)), fileRecords_(log_) {}
  CInstallLogWriter(const CInstallLogWriter&) = delete;
  CInstallLogWriter& operator=(const CInstallLogWriter&) = delete;

  const CPathName& GetPath() const noexcept { return log_; }

  // Before the first file of an installation is placed: merges the records
  // that an ended run left in the journal into the log, notes which files
  // of the System directory the log records already, keeps the files of
  // directories that this run moves elsewhere findable (see
  // MovedDestinations.h), and writes [destinations], [groups] and
  // [PMGroup] of this run. From then on every file record is journalled as
  // it is added, so that a run ended at any point leaves a log from which a
  // removal finds every file placed.
  void BeginRun(const CInstallModel& model);
  // The log recorded a file of this name in the System directory (-3)
  // before BeginRun: the product counts it in SharedDLLs already.
  bool WasRecordedShared(const std::string& fileName) const;

  // Records one handled file under its group's section (key: the file
  // name of finalPath, value "%d|%d|%d"). The record may wait in memory
  // until FlushFiles (or the writer's end); after BeginRun it is in the
  // journal when this returns.
  void AddFile(const std::string& groupKey, const CPathName& finalPath, std::int16_t destinationId, bool placed,
               bool replaced) {
    fileRecords_.Add(groupKey, finalPath, destinationId, placed, replaced);
  }
  // Names a file the copy engine has just made, before any of its data, so
  // that a run ended before its record leaves it to be deleted (see
  // CInstallJournal). Nothing before BeginRun.
  void BeginFile(const CPathName& path) noexcept { fileRecords_.BeginFile(path); }
  // Writes the waiting file records.
  void FlushFiles() noexcept { fileRecords_.Flush(); }

  // After a copy that went through: [destinations] (ids 0 and above, paths
  // as they are now), [groups], [PMGroup] and [targets] (the items whose
  // program was installed, keyed in lower case). The file lists and
  // diskettes are not written: the file records stand for them.
  void WriteModel(const CInstallModel& model);
  // After a copy that stopped: [destinations] and [groups] only, so that a
  // removal finds the files placed so far; no shortcut was made, so no
  // program item is written.
  void WriteModelOfStoppedCopy(const CInstallModel& model);

  // Leaves an event in [Events] (printf conventions; see LogEvent).
  __attribute__((format(gnu_printf, 2, 3))) void Event(const char* format, ...) noexcept;

private:
  void WriteDestinationsAndGroups(const CInstallModel& model);
  void WriteProgramGroup(const CInstallModel& model);

  CPathName log_;
  CInstalledFileBatch fileRecords_;
  std::set<std::string> recordedShared_;  // file names in lower case
};
