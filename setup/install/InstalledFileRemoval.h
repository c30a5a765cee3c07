// CInstalledFileRemoval: takes the files that the install log records off
// the machine again, then the product's directories. Only what the log
// names is touched, and only inside the destinations of the data model
// read from the same log.
//
// The log is a text file that anyone who may write to the Windows directory
// can edit, so its records are not trusted: a record whose key is not a
// plain file name (a path, a drive, "." or "..", a name that could not have
// been installed) is passed over and written to [Events]; a destination
// whose path is not absolute is never touched. A file in use is deleted at
// the next restart, and the directories that hold it after it. Everything
// else that fails (a file already gone or protected, a directory that is
// not empty) is passed over silently.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "setup/log/VerboseLog.h"
#include "setup/paths/PathName.h"

class CDestinationTable;
class CGroupTable;
class CInstallLog;

class CInstalledFileRemoval {
public:
  // Called with every file's path before it is handled (the removal page
  // shows it and keeps its windows alive).
  using ShowPath = std::function<void(const CPathName&)>;

  // Every file and directory deleted, skipped or kept goes to verboseLog,
  // with the reason.
  CInstalledFileRemoval(CInstallLog& log, const CDestinationTable& destinations, const CGroupTable& groups,
                        ShowPath show = {}, CVerboseLog& verboseLog = NoVerboseLog());

  // For every group in table order, every record of its log section in
  // file order: a file of the System directory (destination -3) is a shared
  // component and only counted down in SharedDLLs (the value goes at 0); any
  // other file is deleted now, its read-only attribute cleared first; one
  // in use (held open, or a program that runs) is deleted at the next
  // restart instead, and the verbose log names it with the programs that
  // hold it where the system can say. The setup program's own files
  // ("_setupx.exe", "_setupw.exe"), which run the removal, go so too. The
  // log is read as the run reads it: with what a run ended early left in
  // its journal.
  void RemoveFiles();
  // Removes the directories of the destinations of id 0 and above, the
  // deepest first (a subdirectory before its parent), each only when it is
  // empty at its one attempt; nothing is removed recursively. A directory
  // that still holds a file deleted at the restart is deleted then too,
  // after that file, when it is empty by then.
  void RemoveDirectories();

  // True when name may be deleted as a file inside a destination: a name
  // that the installation can have created and logged, with no directory,
  // drive or path of its own.
  static bool IsPlainFileName(std::string_view name);
  // True for the setup program's own file names, in any letter case.
  static bool IsSetupProgramName(std::string_view name);
  // Files of the product (not the setup program's own) that go only at the
  // next restart: the removal is complete once Windows has restarted.
  bool FilesWaitForRestart() const noexcept { return productFilesAtRestart_ > 0; }

  // True for "X:\..." and "\\server\share\..." paths.
  static bool IsAbsoluteDirectory(const CPathName& directory);

private:
  // The error of a failed deletion of a file that exists says it is in use.
  static bool IsInUse(DWORD error);
  void DeleteInUseAtRestart(const CPathName& path);

  CInstallLog& log_;
  const CDestinationTable& destinations_;
  const CGroupTable& groups_;
  ShowPath show_;
  CVerboseLog& verboseLog_;
  std::vector<std::string> deletedAtRestart_;  // paths, in the order they were scheduled
  int productFilesAtRestart_ = 0;
};
