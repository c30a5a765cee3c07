// CInstallTransaction: a silent installation as one step that either
// happens whole or leaves the machine as it was. Every change the run makes
// is named in the rollback journal (RollbackJournal.h) before it is made,
// and nothing it replaces is lost until it commits: an existing file that a
// new copy replaces is renamed to a name of its own beside it (a kept
// copy), and the registry keys and values it changes, the install log and
// the log's journal are kept as they were.
//
// The commit names the run complete in the journal, then deletes the kept
// copies and the journal. A rollback undoes every change, newest first:
// the files made go, the kept copies return under their names (with their
// times and attributes, which a rename keeps), replacements at the restart
// are taken back, the registry keys and values are put back, the
// directories made go when they are empty, and the install log and its
// journal are put back. A run that ended without either (killed, or the
// machine switched off) leaves the journal for the next run, which
// completes or undoes it first (Recover).
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "setup/log/RollbackJournal.h"
#include "setup/paths/PathName.h"

class CVerboseLog;

class CInstallTransaction {
public:
  // A copy kept until the commit: of original, at kept. replacedInPlace: a
  // new file is to be written at original itself.
  struct CKeptCopy {
    std::string original;
    std::string kept;
    bool replacedInPlace = false;
  };

  CInstallTransaction() = default;
  CInstallTransaction(const CInstallTransaction&) = delete;
  CInstallTransaction& operator=(const CInstallTransaction&) = delete;
  // A transaction neither committed nor rolled back stays for the next run.
  ~CInstallTransaction() = default;

  // Begins the transaction of a run whose install log is log: the journal
  // is made new, and the log and the log's journal are kept as they are.
  // False, with nothing begun, when that cannot be done.
  bool Begin(const CPathName& log) noexcept;
  bool IsActive() const noexcept { return journal_.IsOpen(); }

  // The changes, each named before it is made. Each throws CFileException
  // when the journal cannot take its line: the change must not be made.
  //
  // Makes directory with the parents it lacks, each level named first;
  // throws CFileException as CPathName::CreateDirectoryOrThrow does, and
  // says as it does whether the directory itself was made.
  bool MakeDirectory(const CPathName& directory);
  // Names the levels of directory that are missing, which someone else is
  // about to make.
  void DirectoriesToBeMade(const CPathName& directory);
  // A file about to be made (only ever new); FileNotMade when it was not.
  void FileToBeMade(const CPathName& path);
  void FileNotMade();
  // Renames existing to a kept copy beside it. False, with nothing
  // changed, when it cannot be renamed (a file in use).
  bool KeepExisting(const CPathName& existing);
  // A file that someone else is about to write at path (a shortcut): an
  // existing one is kept, else the new one is named as made. Throws
  // CFileException also when an existing one cannot be kept. A kept one
  // that nothing took the place of by the commit goes back.
  void FileToBeWritten(const CPathName& path);
  // A new file about to be renamed into place; MoveFailed when it was not.
  void Moving(const CPathName& from, const CPathName& to);
  void MoveFailed();
  // waiting is about to be arranged to replace target at the restart.
  void ReplacementAtRestart(const CPathName& waiting, const CPathName& target);
  // A registry key about to be written (with everything below it), or one
  // value of a key.
  void RegistryKeyChanging(HKEY root, const std::string& path);
  void RegistryValueChanging(HKEY root, const std::string& path, const std::string& name);

  // Commits the run and ends the transaction. False when a kept copy is in
  // use: it goes at the restart, which the run then needs.
  bool Commit(CVerboseLog& log) noexcept;
  // Undoes the run and ends the transaction; each step goes to log.
  void RollBack(CVerboseLog& log) noexcept;

  // What a run of log that never ended its transaction left: a committed
  // run's kept copies are deleted, an uncommitted run is undone. Each step
  // goes to log. False when there was none.
  static bool Recover(const CPathName& log, CVerboseLog& verbose) noexcept;

private:
  void Name(std::initializer_list<std::string_view> fields);
  bool KeepLogFile(const CPathName& file) noexcept;

  CRollbackJournal journal_;
  CPathName log_;
  // The kept copies made so far, which the commit deletes.
  std::vector<CKeptCopy> kept_;
};
