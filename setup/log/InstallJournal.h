// CInstallJournal: what the install log on disk does not hold yet. The log
// lives in memory for the run (CInstallLog) and is saved whole now and
// then; in between, every change is appended at once to the journal, a
// file beside the log ("veltapp.jnl"), so that a run ended at any moment
// (killed, or the machine switched off) loses none. A save of the log
// empties the journal; the run's end deletes it. What an ended run left in
// it is taken in by the next run that reads the log, installing or
// removing (CInstallLog::Load).
//
// The journal also names each file the copy engine makes, before it is
// made (a new file, in place or under a temporary name): files are made
// one at a time, and a file is finished when its record follows. A file
// named last and not followed by a record is what a run ended in the
// middle of a file left, cut short, or never made; the next run deletes it
// before it could be taken for an installed file.
//
// And it names each new file a save of the log is written to, before it
// is made: a run ended while the log was being saved leaves that file,
// which the next run deletes, or, where the system cannot replace a file
// in one step, puts in the log's place when the log is gone.
//
// Lines, each followed by CR LF:
//   section<TAB>key<TAB>value     a value written into the log
//   +<TAB>path<TAB>               a file being made (an empty path: none)
//   <TAB>save<TAB>path            a new file the log is being saved to
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "framework/ScopedHandle.h"
#include "setup/paths/PathName.h"

class CInstallJournal {
public:
  // The journal of the install log at log: its path with the extension
  // "jnl"; empty when log is.
  static CPathName PathFor(const CPathName& log);

  CInstallJournal() = default;
  // Closes the journal and deletes it.
  ~CInstallJournal();
  CInstallJournal(const CInstallJournal&) = delete;
  CInstallJournal& operator=(const CInstallJournal&) = delete;

  // Opens the journal of log for appending, made new when there is none.
  // False when it cannot be opened: the run then goes on without one.
  bool Open(const CPathName& log) noexcept;
  bool IsOpen() const noexcept { return file_.valid(); }
  // Appends one value, unbuffered, so that it outlives the process. A value
  // that a line cannot hold (a tab, CR or LF in a field) is left out.
  void Append(const std::string& section, const std::string& key, const std::string& value) noexcept;
  // Names the file that the copy engine is about to make; an empty path
  // says that no file is being made.
  void AppendFileBegun(const CPathName& path) noexcept;
  // Names the new file a save of the log is about to be written to.
  void AppendSave(const CPathName& path) noexcept;
  // Empties the journal: the log on disk holds everything it held.
  void Clear() noexcept;
  // Closes the journal and deletes it.
  void Close() noexcept;
  // Closes the journal and leaves it for the next run.
  void Release() noexcept;

private:
  void AppendLine(const std::string& line) noexcept;

  CHandle file_;
  CPathName path_;
};

// What an ended run left in a journal, read back.
struct CJournalContents {
  bool found = false;  // there was a journal
  // The values in the order they were written.
  std::vector<std::pair<std::string, std::pair<std::string, std::string>>> values;
  std::string fileBegun;           // the file named last with no record after it
  std::vector<std::string> saves;  // the new files of the log's saves, in order
};

// Reads the journal of log. A line cut short, and one that is no value (a
// section or key that the log could not hold), is passed over.
CJournalContents ReadInstallJournal(const CPathName& log) noexcept;
