#include "setup/log/InstallLog.h"

#include <windows.h>

#include <algorithm>

#include "setup/profile/DestinationTable.h"
#include "setup/paths/TemporaryFile.h"
#include "setup/profile/IniTextFile.h"

namespace {

bool SamePath(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// A name a save of log can have made: beside it, with its extension and a
// temporary base name. A journal is trusted no more than the log.
bool IsSaveOf(const CPathName& log, const CPathName& made) {
  return IsTemporaryNameBeside(log, made, log.GetExtension());
}

bool Exists(const CPathName& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Deletes the file a run was making when it ended, when it lies where the
// product's files go: directly in a directory of the log's destinations
// (the built-in ones included).
void DeleteFileBegun(const CIniText& log, const CPathName& file) {
  const std::string name = file.GetFileName();
  if (name.empty() || name == "." || name == ".." || name.find(':') != std::string::npos || file.IsTooLong()) return;
  CDestinationTable destinations;
  try {
    destinations.Load(log);
    destinations.Resolve();
  } catch (...) {
    // Destinations that cannot be read: only the built-in ones count.
  }
  for (const auto& d : destinations) {
    if (d->path.IsEmpty()) continue;
    CPathName where = d->path;
    where.SetFileName(name);
    if (SamePath(where.GetPath(), file.GetPath())) {
      where.Delete(true);
      return;
    }
  }
}

}  // namespace

void DiscardUnfinishedSaves(const CPathName& log) noexcept {
  try {
    for (const std::string& made : ReadInstallJournal(log).saves) {
      const CPathName file(made);
      if (IsSaveOf(log, file)) ::DeleteFileA(file.c_str());
    }
  } catch (...) {
    // Out of memory: the files stay.
  }
}

CPathName InstallLogPath(const std::string& fileName) {
  CPathName path(SpecialDirectory::windows);
  if (!path.IsEmpty()) path.SetFileName(fileName);
  return path;
}

CInstallLog::~CInstallLog() {
  if (journal_.IsOpen()) Finish();
}

const CIniText& CInstallLog::Text() {
  Load();
  return text_;
}

CIniText& CInstallLog::Edit() {
  Load();
  unsaved_ = true;
  return text_;
}

void CInstallLog::Load() {
  if (loaded_) return;
  loaded_ = true;
  if (path_.IsEmpty()) return;
  const CJournalContents journal = ReadInstallJournal(path_);
  // A save that an ended run had begun: where the system deletes the log
  // before it renames the new file, the new file, complete by then, is the
  // log; a new file beside a log is one that was never put in place.
  bool logThere = Exists(path_);
  for (auto made = journal.saves.rbegin(); made != journal.saves.rend(); ++made) {
    const CPathName file(*made);
    if (!IsSaveOf(path_, file) || !Exists(file)) continue;
    if (!logThere && ::MoveFileA(file.c_str(), path_.c_str())) {
      logThere = true;
    } else {
      ::DeleteFileA(file.c_str());
    }
  }
  text_ = ReadIniTextFile(path_);
  if (journal.found) TakeInJournal(journal);
}

void CInstallLog::TakeInJournal(const CJournalContents& journal) {
  unsaved_ = true;
  for (const auto& [section, value] : journal.values) text_.Set(section, value.first, value.second);
  if (!journal.fileBegun.empty()) DeleteFileBegun(text_, CPathName(journal.fileBegun));
}

void CInstallLog::Set(const std::string& section, const std::string& key, const std::string& value) {
  if (path_.IsEmpty() || forgotten_) return;
  Load();
  text_.Set(section, key, value);
  unsaved_ = true;
  if (!journal_.IsOpen()) return;
  journal_.Append(section, key, value);
  // A value after a file's name ends that file, as the next run reads the
  // journal: a save must not name it again, or the next run would delete a
  // file the log records as installed.
  fileBegun_ = CPathName();
  ++changesSinceSave_;
}

bool CInstallLog::Save() noexcept {
  if (path_.IsEmpty() || forgotten_) return false;
  try {
    Load();
    // The journal names the new file before it is made; a run that does
    // not journal opens it for the save alone.
    const bool journalling = journal_.IsOpen();
    if (!journalling) journal_.Open(path_);
    const bool saved = WriteIniTextFile(text_, path_, [this](const CPathName& made) { journal_.AppendSave(made); });
    if (saved) {
      changesSinceSave_ = 0;
      linesAtLastSave_ = text_.LineCount();
      unsaved_ = false;
      journal_.Clear();
      if (!fileBegun_.IsEmpty()) journal_.AppendFileBegun(fileBegun_);
    }
    if (!journalling) {
      // Nothing in it that the log does not hold, after a save; else what
      // an ended run left stays for the next run.
      if (saved) {
        journal_.Close();
      } else {
        journal_.Release();
      }
    }
    return saved;
  } catch (...) {
    return false;
  }
}

void CInstallLog::SaveWhenDue() noexcept {
  if (!journal_.IsOpen()) return;
  if (changesSinceSave_ >= std::max(kFirstSaveInterval, linesAtLastSave_)) Save();
}

bool CInstallLog::StartJournal() noexcept {
  if (path_.IsEmpty() || forgotten_) return false;
  if (journal_.IsOpen()) return true;
  if (!journal_.Open(path_)) return false;
  if (Save()) return true;
  // The log cannot be written: what an ended run left in the journal stays
  // there for the next run.
  journal_.Release();
  return false;
}

void CInstallLog::FileBegun(const CPathName& path) noexcept {
  if (!journal_.IsOpen()) return;
  fileBegun_ = path;
  journal_.AppendFileBegun(path);
}

void CInstallLog::Finish() noexcept {
  if (path_.IsEmpty() || forgotten_) return;
  fileBegun_ = CPathName();
  if (!journal_.IsOpen()) {
    // A run that never journalled: a journal it took in goes with the save.
    if (unsaved_) Save();
    return;
  }
  if (Save()) {
    journal_.Close();
  } else {
    journal_.Release();
  }
}

void CInstallLog::Forget() noexcept {
  forgotten_ = true;
  journal_.Close();
  ::DeleteFileA(CInstallJournal::PathFor(path_).c_str());
}
