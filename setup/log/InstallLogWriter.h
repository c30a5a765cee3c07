// CInstallLogWriter: the one writer of the install log during an
// installation. Its three jobs: the file records of the run, the data
// model's sections that let a removal find them, and the events (see
// EventTrail.h). It writes into the run's log in memory (CInstallLog),
// which journals every change at once and is saved whole now and then.
// Nothing is written when the log has no path; write failures are not
// reported (the installation goes on without a log).
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "setup/log/InstallLog.h"
#include "setup/paths/PathName.h"

class CInstallModel;

class CInstallLogWriter {
public:
  explicit CInstallLogWriter(CInstallLog& log) : log_(log) {}
  CInstallLogWriter(const CInstallLogWriter&) = delete;
  CInstallLogWriter& operator=(const CInstallLogWriter&) = delete;

  const CPathName& GetPath() const noexcept { return log_.GetPath(); }

  // Before the first file of an installation is placed: reads the log
  // (taking in what an ended run left in the journal), notes which files
  // of the System directory it records already, keeps the files of
  // directories that this run moves elsewhere findable (see
  // MovedDestinations.h), writes [destinations], [groups] and [PMGroup] of
  // this run, saves the log and starts the journal. From then on every
  // change is journalled as it is made, so that a run ended at any point
  // leaves a log from which a removal finds every file placed.
  void BeginRun(const CInstallModel& model);
  // The log recorded a file of this name in the System directory (-3)
  // before BeginRun: the product counts it in SharedDLLs already.
  bool WasRecordedShared(const std::string& fileName) const;

  // Records one handled file under its group's section (key: the file
  // name of finalPath, value "%d|%d|%d"); in the journal when this returns.
  // The log is saved when enough records have come since its last save.
  void AddFile(const std::string& groupKey, const CPathName& finalPath, std::int16_t destinationId, bool placed,
               bool replaced);
  // Names a file the copy engine is about to make, before it is made, so
  // that a run ended before its record leaves it to be deleted (see
  // InstallJournal.h). Nothing before BeginRun.
  void BeginFile(const CPathName& path) noexcept { log_.FileBegun(path); }
  // The file named last was not made after all (its name was taken).
  void FileNotMade() noexcept { log_.FileBegun(CPathName()); }

  // Before the shortcuts are made: [PMGroup] and [targets] (the items
  // whose program was installed, keyed in lower case), so that a run ended
  // while it makes them leaves none that a removal does not find.
  void WriteProgramItems(const CInstallModel& model);
  // After a copy that went through and its shortcuts: [destinations] (ids
  // 0 and above, paths as they are now), [groups], [PMGroup] and
  // [targets]; then the log is saved and the journal ends. The file lists
  // and diskettes are not written: the file records stand for them.
  void WriteModel(const CInstallModel& model);
  // After a copy that stopped: [destinations] and [groups] only, so that a
  // removal finds the files placed so far; no shortcut was made, so no
  // program item is written. The log is saved and the journal ends.
  void WriteModelOfStoppedCopy(const CInstallModel& model);

  // Leaves an event in [Events] (printf conventions; see LogEvent).
  __attribute__((format(gnu_printf, 2, 3))) void Event(const char* format, ...) noexcept;

private:
  void WriteDestinationsAndGroups(const CInstallModel& model);
  void WriteProgramGroup(const CInstallModel& model);

  CInstallLog& log_;
  std::set<std::string> recordedShared_;  // file names in lower case
};
