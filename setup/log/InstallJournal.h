// CInstallJournal: the file records of a run, for the time the install log
// may not hold them. Every write of the log rewrites it whole, so records wait in
// memory and go into the log in batches (CInstalledFileBatch); a run ended
// in between (killed, or the machine switched off) would leave files in
// place that no removal could find. Each record is therefore also appended
// at once to the journal, a file beside the log ("veltapp.jnl"),
// which is deleted when the run ends. What an ended run left in it is
// merged into the log by the next run that opens the log, installing or
// removing (RecoverInstallJournal).
//
// The journal keeps every record of the run, also those already in the
// log, and the data model's values the run wrote first: the system
// rewrites the log in place (it empties the file, then writes it anew), so
// that a run ended during a write of the log leaves it empty or cut short,
// and only the journal still holds what the run wrote.
//
// The journal also names each file the copy engine makes, as soon as it is
// made (a new file, in place or under a temporary name): files are made one
// at a time, and a file is finished when its record follows. A file named
// last and not followed by a record is what a run ended in the middle of a
// file left, cut short; the next run deletes it before it could be taken
// for an installed file.
//
// A record line is "section<TAB>key<TAB>value", a file line "+<TAB>path",
// each followed by CR LF.
#pragma once

#include <string>

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

  // Makes a new journal for log, after merging one that an ended run left
  // into the log. False when it cannot be made: the records are then only
  // batched.
  bool Open(const CPathName& log) noexcept;
  bool IsOpen() const noexcept { return file_.valid(); }
  // Appends one record, unbuffered, so that it outlives the process. A
  // record that a line cannot hold (a tab, CR or LF in a field) is left out.
  void Append(const std::string& section, const std::string& key, const std::string& value) noexcept;
  // Names the file that the copy engine has just made (created new), the
  // same way.
  void AppendFileBegun(const CPathName& path) noexcept;

private:
  CHandle file_;
  CPathName path_;
};

// Takes in what an ended run left in the journal of log: merges its records
// into log's sections (as single writes in the same order would), deletes
// the file it named last when no record followed (the file that run was
// making), then deletes the journal. A line cut short, and one that is no
// record (a section or key the log could not hold), is passed over; a file
// is deleted only when it lies directly in a directory of the log's
// [destinations] or in the Windows or System directory. Nothing happens
// when there is no journal; write failures leave the journal for the next
// try.
void RecoverInstallJournal(const CPathName& log) noexcept;
