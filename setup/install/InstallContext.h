// What the copy engine works with for one installation run: where the
// distribution is read from, where files go, which program items learn
// their paths, where the outcome is logged, the run's two outcome flags,
// and the one that watches (progress display and the Continue/Cancel
// question). The copy page fills it in from the application; tests fill
// it in with their own tables and flags.
#pragma once

#include <set>
#include <string>

#include "setup/log/InstalledFileBatch.h"
#include "setup/paths/PathName.h"

class CException;
class CDestinationTable;
class CFileEntry;
class CInstallJob;
class CSourceMedia;
class CTargetTable;

// The copy engine's view of the page that shows its progress. Every call
// is made on the user-interface thread, from inside the copy.
class CInstallProgress {
public:
  virtual ~CInstallProgress() = default;

  // The file now being produced, or null once it is done. The job gives the
  // bytes written so far, the file's size and its final path.
  virtual void SetCurrentTransfer(const CInstallJob* job) = 0;
  // A produced file's size counts as done.
  virtual void AddCompletedTransfer(const CInstallJob& job) = 0;
  // An entry that produces no file (a plain file that is not installed)
  // counts as done with its size.
  virtual void AddCompletedFile(const CFileEntry& entry) = 0;
  // Every 4096 bytes read from the media.
  virtual void ReportProgress() = 0;
  // Between two members of an archive: lets waiting messages through.
  virtual void PumpMessages() = 0;
  // An entry failed with e: true to go on with the next entry ("Continue
  // Operation"), false to end the copy ("Cancel Operation").
  virtual bool AskContinueAfterError(const CException& e, const std::string& entryFileName) = 0;
};

// Why a copy ended before its last entry.
enum class CopyStop {
  none,           // it did not
  userCancelled,  // a diskette was not given, or a running extraction was cancelled
  failed,         // an entry failed and the answer was "Cancel Operation"
};

struct CInstallContext {
  CSourceMedia& media;
  const CDestinationTable& destinations;
  CTargetTable& targets;
  CPathName logPath;
  // One-way outcome flags of the run: installSucceeded is only ever cleared
  // (also from outside, while messages are pumped: the copy then stops
  // after the current file or member), rebootNeeded only ever set.
  bool& installSucceeded;
  bool& rebootNeeded;
  CInstallProgress& progress;
  // Set when the engine itself ends the copy.
  CopyStop stop = CopyStop::none;
  // The install log's file records of the run; InstallFileEntry writes
  // them before it returns.
  CInstalledFileBatch fileRecords{logPath};
  // The destination directories made (or found) in this run: each is
  // created once, not once per file.
  std::set<std::string> preparedDirectories{};
};
