// CInstallLogWriter: the one writer of the install log during an
// installation. Its three jobs: the file records of the run (batched, see
// CInstalledFileBatch), the data model's sections that let a removal find
// them, and the events (see EventTrail.h). Nothing is written when the log
// path is empty; write failures are not reported (the installation goes on
// without a log).
#pragma once

#include <cstdint>
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

  // Records one handled file under its group's section (key: the file
  // name of finalPath, value "%d|%d|%d"). The record may wait in memory
  // until FlushFiles (or the writer's end).
  void AddFile(const std::string& groupKey, const CPathName& finalPath, std::int16_t destinationId, bool placed,
               bool replaced) {
    fileRecords_.Add(groupKey, finalPath, destinationId, placed, replaced);
  }
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

  CPathName log_;
  CInstalledFileBatch fileRecords_;
};
