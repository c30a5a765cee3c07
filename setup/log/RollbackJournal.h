// CRollbackJournal: what a silent installation changes on the machine,
// each change named before it is made, so that a run that fails, is ended
// or is killed before it commits can be undone, by itself or by the next
// run ("veltapp.rbk" beside the install log). The journal outlives the
// process: every line is handed to the system at once, unbuffered, as the
// install log's journal is (not forced to the disk, which would cost a
// wait for the disk at every file).
//
// Lines, each followed by CR LF, fields separated by tabs:
//   begin                          the run began (the first line)
//   file<TAB>original<TAB>copy     original's bytes as they were are in copy
//                                  ("-": there was no original)
//   dir<TAB>path                   a directory is about to be made
//   new<TAB>path                   a file is about to be made at path
//   keep<TAB>original<TAB>kept     original is about to be renamed to kept
//   moved<TAB>from<TAB>to          a new file is about to be renamed into place
//   restart<TAB>waiting<TAB>target waiting is to replace target at the restart
//   key<TAB>root<TAB>path<TAB>was  a registry key (with all below it) as it was
//   value<TAB>root<TAB>path<TAB>name<TAB>was  one registry value as it was
//   void                           the change named by the line before did
//                                  not happen
//   commit                         the run is complete: nothing is undone
//
// How "was" is written is the registry snapshot's business
// (RegistrySnapshot.h); the journal only carries it.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "framework/ScopedHandle.h"
#include "setup/paths/PathName.h"

class CRollbackJournal {
public:
  // The journal of the install log at log: its path with the extension
  // "rbk"; empty when log is.
  static CPathName PathFor(const CPathName& log);

  CRollbackJournal() = default;
  CRollbackJournal(const CRollbackJournal&) = delete;
  CRollbackJournal& operator=(const CRollbackJournal&) = delete;
  // Closes the journal and leaves it: only Delete takes it away.
  ~CRollbackJournal() = default;

  // Makes the journal of log new (never opening one that is there) and
  // writes its first line. False when it cannot be made.
  bool Create(const CPathName& log) noexcept;
  bool IsOpen() const noexcept { return file_.valid(); }
  const CPathName& GetPath() const noexcept { return path_; }

  // Appends one line of fields. False when the journal is
  // not open, when a field holds a tab, CR or LF, or when the line could
  // not be written whole: the change it names must then not be made.
  bool Append(std::initializer_list<std::string_view> fields) noexcept;
  // Closes the journal and deletes it.
  void Delete() noexcept;

private:
  CHandle file_;
  CPathName path_;
};

// A line of a journal read back: its kind and its fields after the kind.
struct CRollbackStep {
  std::string kind;
  std::vector<std::string> fields;
};

// What a journal holds, read back.
struct CRollbackRecord {
  bool found = false;      // there was a journal
  bool committed = false;  // it ends with the run's commit
  // The changes in the order they were named, each one that a "void" line
  // took back left out. A line cut short by a kill, and one of a kind this
  // program does not know, are passed over.
  std::vector<CRollbackStep> steps;
};

CRollbackRecord ReadRollbackJournal(const CPathName& journal) noexcept;
// The same from the journal's bytes.
CRollbackRecord ParseRollbackJournal(std::string_view text);
