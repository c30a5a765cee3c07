// CInstallLog: the product's install log in the Windows directory
// ("veltapp.log" for Veltrane), held in memory for the run. The log records
// what an installation did, so that a later run in remove mode can undo
// it: one section per file group with a record per installed file
// (InstalledFileRecord.h), the data model's sections and the [Events]
// section (EventTrail.h).
//
// The log is read once, whole, with what an ended run left in its journal
// taken in (InstallJournal.h). It is changed in memory and saved whole to a
// new file that then replaces it in one step (IniTextFile.h), so that no
// moment of a run leaves it cut short. While a run journals, every change
// is in the journal at once, and a save empties the journal: the log on
// disk and the journal hold every change at any moment.
//
// A second installation merges into an existing log: values whose keys are
// written again are replaced. Write failures are not reported (the
// installation goes on without a log).
#pragma once

#include <cstddef>
#include <string>

#include "setup/log/InstallJournal.h"
#include "setup/paths/PathName.h"
#include "setup/profile/IniText.h"

// The log fileName (CProductIdentity::LogFileName) in the Windows
// directory; empty when the Windows directory cannot be had.
CPathName InstallLogPath(const std::string& fileName);

// Deletes the new files of the saves of log that its journal names (the
// saves a run had begun), so that the log can be put back as it was.
void DiscardUnfinishedSaves(const CPathName& log) noexcept;

class CInstallLog {
public:
  // Saves at the latest after this many changes of a run, and after as many
  // changes as the log had lines at its last save when that is more.
  static constexpr std::size_t kFirstSaveInterval = 512;

  // An empty path: no log; nothing is read and nothing written.
  explicit CInstallLog(CPathName path) : path_(std::move(path)) {}
  CInstallLog(const CInstallLog&) = delete;
  CInstallLog& operator=(const CInstallLog&) = delete;
  // Ends a journalled run as Finish does.
  ~CInstallLog();

  const CPathName& GetPath() const noexcept { return path_; }

  // The log's text. Read at the first call: what an ended run left in the
  // journal is taken in (its values written; the file it was making
  // deleted, when it lies in a directory of the log's destinations; a save
  // it had begun completed or undone).
  const CIniText& Text();

  // Writes value under key in section; at once into the journal while the
  // run journals.
  void Set(const std::string& section, const std::string& key, const std::string& value);
  // The text to change in other ways (sections rewritten or removed). Such
  // changes are not journalled: they reach the disk with the next save.
  CIniText& Edit();

  // Saves the log whole, then empties the journal. False when it could not
  // be written; the journal then still holds everything.
  bool Save() noexcept;
  // Saves when enough changes have come since the last save
  // (kFirstSaveInterval), so that the saves of a run cost time in
  // proportion to its length.
  void SaveWhenDue() noexcept;

  // Saves the log and journals every change from now on. False when the
  // log cannot be saved or the journal not made: the run then goes on with
  // the log in memory only.
  bool StartJournal() noexcept;
  bool IsJournalling() const noexcept { return journal_.IsOpen(); }
  // Names the file the copy engine is about to make in the journal (see
  // InstallJournal.h); an empty path: no file is being made. Nothing while
  // the run does not journal.
  void FileBegun(const CPathName& path) noexcept;

  // Ends the run: saves what the log on disk does not hold, and deletes the
  // journal (which stays for the next run when the save failed).
  void Finish() noexcept;
  // The log was taken away (the removal recycles it): nothing is saved
  // from now on, and the journal goes.
  void Forget() noexcept;

private:
  void Load();
  void TakeInJournal(const CJournalContents& journal);

  CPathName path_;
  CIniText text_;
  bool loaded_ = false;
  bool forgotten_ = false;
  // Changes (a journal of an ended run taken in among them) that the log on
  // disk does not hold.
  bool unsaved_ = false;
  CInstallJournal journal_;
  CPathName fileBegun_;
  std::size_t changesSinceSave_ = 0;
  std::size_t linesAtLastSave_ = 0;
};
