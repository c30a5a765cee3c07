// What the copy engine works with for one installation run: where the
// distribution is read from, where files go, which program items learn
// their paths, where the outcome is logged, the display it reports to and
// the policy it asks, and how far the copy has got. The copy page fills it
// in from the run's state; tests and benchmarks fill it in with their own
// tables.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "setup/install/InstallDisplay.h"
#include "setup/install/InstallPolicy.h"
#include "setup/install/RunFiles.h"
#include "setup/log/InstallLogWriter.h"
#include "setup/log/VerboseLog.h"

class CDestinationTable;
class CInstallTransaction;
class CSourceMedia;
class CSourceReadAhead;
class CTargetTable;

struct CInstallContext {
  CSourceMedia& media;
  const CDestinationTable& destinations;
  CTargetTable& targets;
  // Takes the file records of the run; InstallFileEntry has them written
  // before it returns.
  CInstallLogWriter& log;
  CInstallDisplay& display;
  CInstallPolicy& policy;
  // The destination directories made (or found) in this run: each is
  // created once, not once per file.
  std::set<std::string> preparedDirectories{};
  // Told every file's outcome and why, and every shared-file count.
  CVerboseLog& verboseLog = NoVerboseLog();
  // Every file recorded in the log in this run, with its size.
  CRunFiles runFiles{};
  // The destination directories this run made: nothing is in them but
  // what the run put there.
  std::set<std::string> directoriesMade{};
  // The bytes of the copy done so far: the files produced and the entries
  // that are not installed. The display's ticks carry it.
  std::uint32_t bytesDone = 0;
  // Where a silent run names each change before it makes it, so that it
  // can be undone (InstallTransaction.h); none for the other runs, which
  // replace and delete as they go.
  CInstallTransaction* transaction = nullptr;
  // Reads the plain files of the kit ahead of the copy; InstallSelectedFiles
  // sets it for its loop. None: each is read when it is copied.
  CSourceReadAhead* readAhead = nullptr;
};
