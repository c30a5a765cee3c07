// The install log: an INI file ("veltapp.log" in the Windows directory)
// that records what an installation did, so that a later run in remove
// mode can undo it. It holds one section per file group with a record per
// installed file (below), the data model's sections and the [Events]
// section (EventTrail.h). During an installation CInstallLogWriter writes
// all three.
//
// The log is written only through WritePrivateProfileString: a second
// installation merges into an existing log, records whose keys are written
// again being replaced. Write failures are not reported (the installation
// goes on without a log).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "setup/paths/PathName.h"

// "veltapp.log" in the Windows directory; empty when the Windows directory
// cannot be had.
CPathName InstallLogPath();

// One installed file: its key is the file's name without directory, its
// value "%d|%d|%d".
struct CInstalledFileRecord {
  std::int16_t destinationId = 0;  // written with its sign (-2 Windows, -3 System, -4 temporary)
  int placed = 0;    // the new file was moved into its place in this run
  int replaced = 0;  // an existing copy was to be replaced by it

  std::string Format() const;
  // Reads a value written by Format; fields that are missing read as 0.
  static CInstalledFileRecord Parse(std::string_view value);
};

// Records one handled file under the section of its group (groupKey): the
// key is the file name of finalPath (base name, then "." and the extension
// when there is one). A file of the same name in the same group replaces
// the earlier record.
void LogInstalledFile(const CPathName& log, const std::string& groupKey, const CPathName& finalPath,
                      std::int16_t destinationId, bool placed, bool replaced);

// Replaces the whole section of a group by records (none: the section
// goes). False when the log could not be written.
bool RewriteInstalledFiles(const CPathName& log, const std::string& groupKey,
                           const std::vector<std::pair<std::string, CInstalledFileRecord>>& records);

// The records of one group's section, in the order in which they stand in
// the log; none when the log or the section is missing.
std::vector<std::pair<std::string, CInstalledFileRecord>> ReadInstalledFiles(const CPathName& log,
                                                                             const std::string& groupKey);
