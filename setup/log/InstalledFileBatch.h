// CInstalledFileBatch: the file records of one installation run (see
// LogInstalledFile), written into the install log in batches. A record
// waits in memory until Flush, which merges the waiting records into their
// group sections with one read and one write of each section
// (MergeProfileValues), leaving the log as one LogInstalledFile per record
// in the same order would. Flush runs by itself once as many records wait
// as the batch has written before (at least kFirstBatch), and on
// destruction.
//
// Each LogInstalledFile rewrites the whole log, so that a run of many
// small files spent more time on its log than on its files. Once the
// journal is started, each record is also appended to it as it comes (see
// CInstallJournal), so that a run ended before Flush loses none.
//
// A merge costs the system time that grows with the square of the
// section's length (it searches the section for every key it writes), so
// batches of a fixed size made a run of 20,000 files spend most of its
// time merging. Batches that grow with the section keep the merges of a
// run about as costly as its last one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "setup/log/InstallJournal.h"
#include "setup/paths/PathName.h"
#include "setup/profile/ProfileValueMerge.h"

class CInstalledFileBatch {
public:
  static constexpr std::size_t kFirstBatch = 256;

  // An empty log path: records are dropped, as LogInstalledFile drops them.
  explicit CInstalledFileBatch(CPathName log) : log_(std::move(log)) {}
  CInstalledFileBatch(const CInstalledFileBatch&) = delete;
  CInstalledFileBatch& operator=(const CInstalledFileBatch&) = delete;
  ~CInstalledFileBatch() { Flush(); }

  // Journals every record from now on; false when the journal cannot be
  // made (the records are then only batched).
  bool StartJournal() noexcept { return journal_.Open(log_); }
  bool IsJournalling() const noexcept { return journal_.IsOpen(); }

  // Names a file the copy engine has just made in the journal (see
  // CInstallJournal); nothing without a journal.
  void BeginFile(const CPathName& path) noexcept { journal_.AppendFileBegun(path); }

  // Records one handled file under its group's section (key: the file
  // name of finalPath, value "%d|%d|%d").
  void Add(const std::string& groupKey, const CPathName& finalPath, std::int16_t destinationId, bool placed,
           bool replaced);
  // Writes the waiting records. Write failures are not reported (the
  // installation goes on without a log); the records are dropped then, and
  // stay in the journal for the next run, as every record of the run does
  // until the batch ends (see CInstallJournal).
  void Flush() noexcept;
  // Puts a value the run writes into the log itself (a section of the data
  // model) into the journal too; nothing without a journal.
  void JournalValue(const std::string& section, const std::string& key, const std::string& value) noexcept {
    journal_.Append(section, key, value);
  }

  std::size_t WaitingCount() const noexcept;

private:
  // The waiting records of one section, as the merge takes them.
  struct WaitingSection {
    std::string section;
    ProfileValues values;
  };

  CPathName log_;
  CInstallJournal journal_;
  // Sections in the order in which their first waiting record came, so
  // that new sections are added to the log in the order single writes
  // would add them.
  std::vector<WaitingSection> waiting_;
  std::size_t written_ = 0;  // records flushed by this batch
};
