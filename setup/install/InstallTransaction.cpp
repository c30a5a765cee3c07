#include "setup/install/InstallTransaction.h"

#include <cctype>
#include <vector>

#include "framework/Exception.h"
#include "framework/HexText.h"
#include "setup/install/ReplaceAtRestart.h"
#include "setup/log/InstallJournal.h"
#include "setup/log/InstallLog.h"
#include "setup/log/VerboseLog.h"
#include "setup/paths/TemporaryFile.h"
#include "setup/profile/IniTextFile.h"
#include "setup/system/RegistrySnapshot.h"

namespace {

// Kept copies and the copies of the log: eight hexadecimal digits and this
// extension, beside the file they keep.
constexpr char kKeptExtension[] = "old";
constexpr int kKeptNameAttempts = 100;

bool Exists(const CPathName& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SameText(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// A journal is trusted no more than the log beside it: only full paths of
// a drive or a share, with no step up, are acted on.
bool IsFullPath(const std::string& path) {
  if (path.size() > CPathName::kMaxLength || path.find("\\..") != std::string::npos || path.find('/') != std::string::npos) {
    return false;
  }
  const bool drive = path.size() > 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\';
  const bool share = path.size() > 4 && path[0] == '\\' && path[1] == '\\' && path[2] != '?' && path[2] != '.';
  return drive || share;
}

// A name a kept copy of original can have: beside it, eight hexadecimal
// digits with the kept extension.
bool IsKeptCopyOf(const std::string& original, const std::string& kept) {
  return IsFullPath(original) && IsFullPath(kept) && IsTemporaryNameBeside(CPathName(original), CPathName(kept), kKeptExtension);
}

// Deletes a file this run made. One that is in use is renamed out of the
// way and deleted at the restart. False when it stays where it is.
bool RemoveMadeFile(const CPathName& path, CVerboseLog& log) {
  if (!Exists(path)) return true;
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (::DeleteFileA(path.c_str())) {
    log.Write("Rollback: deleted %s", path.c_str());
    return true;
  }
  CPathName aside = path;
  aside.SetExtension(kKeptExtension);
  if (aside.MakeTempName(true, kKeptNameAttempts) && ::MoveFileA(path.c_str(), aside.c_str())) {
    const bool later = DeleteAtRestart(aside);
    log.Write("Rollback: %s is in use; moved to %s%s", path.c_str(), aside.c_str(),
              later ? ", which is deleted at the restart" : ", which could NOT be arranged to go at the restart");
    return true;
  }
  return false;
}

// Puts a kept copy back under its name.
void RestoreKept(const CPathName& original, const CPathName& kept, CVerboseLog& log) {
  if (!Exists(kept)) {
    log.Write("Rollback: the kept copy %s of %s is gone: %s cannot be restored.", kept.c_str(), original.c_str(),
              original.c_str());
    return;
  }
  if (!RemoveMadeFile(original, log)) {
    const bool later = ReplaceAtRestart(kept, original);
    log.Write("Rollback: %s is in use; its kept copy %s %s", original.c_str(), kept.c_str(),
              later ? "takes its place at the restart." : "could NOT be arranged to take its place, and stays.");
    return;
  }
  if (::MoveFileA(kept.c_str(), original.c_str())) {
    log.Write("Rollback: restored %s from its kept copy", original.c_str());
  } else {
    log.Write("Rollback: could NOT restore %s from its kept copy %s (error %lu)", original.c_str(), kept.c_str(),
              static_cast<unsigned long>(::GetLastError()));
  }
}

// Puts the install log (or its journal) back as it was kept.
void RestoreLogFile(const CPathName& original, const std::string& copy, CVerboseLog& log) {
  if (copy == "-") {
    if (Exists(original) && ::DeleteFileA(original.c_str())) log.Write("Rollback: deleted %s (it was not there)", original.c_str());
    return;
  }
  const CPathName kept(copy);
  if (!Exists(kept)) {
    log.Write("Rollback: the copy %s of %s is gone: it cannot be restored.", kept.c_str(), original.c_str());
    return;
  }
  const bool restored = ReplaceWithNewFile(kept, original);
  log.Write("Rollback: %s %s as it was before the run", original.c_str(), restored ? "put back" : "could NOT be put back");
}

bool IsLogFile(const CPathName& log, const std::string& path) {
  return SameText(path, log.GetPath()) || SameText(path, CInstallJournal::PathFor(log).GetPath());
}

// Undoes one step; what it names is checked first.
void Undo(const CRollbackStep& step, const CPathName& installLog, CVerboseLog& log) {
  const auto& f = step.fields;
  if (step.kind == "new") {
    if (IsFullPath(f[0]) && !RemoveMadeFile(CPathName(f[0]), log)) {
      log.Write("Rollback: could NOT delete %s (error %lu)", f[0].c_str(), static_cast<unsigned long>(::GetLastError()));
    }
  } else if (step.kind == "dir") {
    if (!IsFullPath(f[0])) return;
    CPathName directory;
    directory.SetDirectory(f[0]);
    if (directory.RemoveDirectory()) {
      log.Write("Rollback: removed the directory %s", f[0].c_str());
    } else if (directory.DirectoryExists()) {
      log.Write("Rollback: the directory %s is not empty: it stays", f[0].c_str());
    }
  } else if (step.kind == "keep") {
    if (IsKeptCopyOf(f[0], f[1])) RestoreKept(CPathName(f[0]), CPathName(f[1]), log);
  } else if (step.kind == "moved") {
    const CPathName from(f[0]), to(f[1]);
    if (IsFullPath(f[0]) && IsFullPath(f[1]) && !Exists(from) && Exists(to)) RemoveMadeFile(to, log);
  } else if (step.kind == "restart") {
    if (IsFullPath(f[0]) && IsFullPath(f[1])) {
      const bool cancelled = CancelReplaceAtRestart(CPathName(f[0]), CPathName(f[1]));
      log.Write("Rollback: the replacement of %s at the restart %s", f[1].c_str(), cancelled ? "taken back" : "could NOT be taken back");
    }
  } else if (step.kind == "key") {
    if (const auto root = RegistryRootOf(f[0])) {
      const bool restored = RestoreKeyTree(*root, f[1], f[2]);
      log.Write("Registry: rollback: key %s\\%s %s", f[0].c_str(), f[1].c_str(),
                restored ? (f[2] == "-" ? "deleted (it was not there)" : "put back as it was") : "could NOT be put back");
    }
  } else if (step.kind == "value") {
    const auto root = RegistryRootOf(f[0]);
    const auto name = FromHex(f[2]);
    if (root && name) {
      const bool restored = RestoreValue(*root, f[1], *name, f[3]);
      log.Write("Registry: rollback: value %s\\%s\\%s %s", f[0].c_str(), f[1].c_str(), name->c_str(),
                restored ? (f[3] == "-" ? "deleted (it was not there)" : "put back as it was") : "could NOT be put back");
    }
  } else if (step.kind == "file") {
    // The saves the run had begun of the log go before the log is put back.
    if (SameText(f[0], CInstallJournal::PathFor(installLog).GetPath())) DiscardUnfinishedSaves(installLog);
    if (IsLogFile(installLog, f[0]) && (f[1] == "-" || IsKeptCopyOf(f[0], f[1]))) RestoreLogFile(CPathName(f[0]), f[1], log);
  }
}

void UndoAll(const CRollbackRecord& record, const CPathName& installLog, CVerboseLog& log) {
  for (auto step = record.steps.rbegin(); step != record.steps.rend(); ++step) {
    try {
      Undo(*step, installLog, log);
    } catch (...) {
      // Out of memory: the next step all the same.
    }
  }
}

// Deletes what a committed run kept. False when a kept copy is in use; it
// goes at the restart.
bool DeleteKeptCopies(const std::vector<std::string>& copies, CVerboseLog& log) {
  bool allGone = true;
  for (const std::string& kept : copies) {
    const CPathName copy(kept);
    if (!Exists(copy)) continue;
    ::SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (::DeleteFileA(copy.c_str())) continue;
    allGone = false;
    log.Write("The kept copy %s is in use: it %s", copy.c_str(),
              DeleteAtRestart(copy) ? "is deleted at the restart." : "could NOT be arranged to go at the restart.");
  }
  return allGone;
}

// The same for the run's own kept copies: one whose file was to be
// written anew in its place and was not (a shortcut the shell could not
// save) goes back instead, as the file stayed before silent runs kept
// copies.
bool DeleteKeptCopies(const std::vector<CInstallTransaction::CKeptCopy>& copies, CVerboseLog& log) {
  std::vector<std::string> superseded;
  for (const auto& copy : copies) {
    if (copy.replacedInPlace && !Exists(CPathName(copy.original)) && Exists(CPathName(copy.kept)) &&
        ::MoveFileA(copy.kept.c_str(), copy.original.c_str())) {
      log.Write("Kept: %s, since nothing took its place.", copy.original.c_str());
      continue;
    }
    superseded.push_back(copy.kept);
  }
  return DeleteKeptCopies(superseded, log);
}

// The kept copies a journal names.
std::vector<std::string> KeptCopies(const CRollbackRecord& record, const CPathName& installLog) {
  std::vector<std::string> copies;
  for (const CRollbackStep& step : record.steps) {
    const bool kept = step.kind == "keep" || (step.kind == "file" && IsLogFile(installLog, step.fields[0]));
    if (kept && IsKeptCopyOf(step.fields[0], step.fields[1])) copies.push_back(step.fields[1]);
  }
  return copies;
}

}  // namespace

void CInstallTransaction::Name(std::initializer_list<std::string_view> fields) {
  if (journal_.Append(fields)) return;
  const DWORD error = ::GetLastError();
  CFileException::ThrowOsError(static_cast<LONG>(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT),
                               journal_.GetPath().GetPath());
}

bool CInstallTransaction::KeepLogFile(const CPathName& file) noexcept {
  try {
    if (!Exists(file)) return journal_.Append({"file", file.GetPath(), "-"});
    CPathName copy = file;
    copy.SetExtension(kKeptExtension);
    for (int attempt = 0; attempt < kKeptNameAttempts; ++attempt) {
      if (!copy.MakeTempName(true, 1)) continue;
      if (!journal_.Append({"new", copy.GetPath()})) return false;
      if (::CopyFileA(file.c_str(), copy.c_str(), TRUE)) {
        kept_.push_back({file.GetPath(), copy.GetPath(), false});
        return journal_.Append({"file", file.GetPath(), copy.GetPath()});
      }
      const bool taken = Exists(copy);
      if (!journal_.Append({"void"}) || !taken) return false;
    }
    return false;
  } catch (...) {
    return false;
  }
}

bool CInstallTransaction::Begin(const CPathName& log) noexcept {
  if (IsActive()) return true;
  if (log.IsEmpty() || !journal_.Create(log)) return false;
  log_ = log;
  if (KeepLogFile(log) && KeepLogFile(CInstallJournal::PathFor(log))) return true;
  // Nothing has changed yet but the copies, which go with the journal.
  RollBack(NoVerboseLog());
  return false;
}

void CInstallTransaction::DirectoriesToBeMade(const CPathName& directory) {
  if (!IsActive()) return;
  // The levels that are missing, innermost first; a drive's root or a
  // share is always there.
  std::vector<std::string> missing;
  std::string path = directory.GetDirectory();
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  while (path.size() > 3 && !path.starts_with("\\\\")) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) break;
    missing.push_back(path);
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos || separator < 2) break;
    path.resize(separator);
  }
  for (auto level = missing.rbegin(); level != missing.rend(); ++level) Name({"dir", *level});
}

bool CInstallTransaction::MakeDirectory(const CPathName& directory) {
  DirectoriesToBeMade(directory);
  return directory.CreateDirectoryOrThrow(true);
}

void CInstallTransaction::FileToBeMade(const CPathName& path) {
  if (IsActive()) Name({"new", path.GetPath()});
}

void CInstallTransaction::FileNotMade() {
  if (IsActive()) Name({"void"});
}

bool CInstallTransaction::KeepExisting(const CPathName& existing) {
  CPathName kept = existing;
  kept.SetExtension(kKeptExtension);
  for (int attempt = 0; attempt < kKeptNameAttempts; ++attempt) {
    if (!kept.MakeTempName(false, 1)) continue;
    Name({"keep", existing.GetPath(), kept.GetPath()});
    if (::MoveFileA(existing.c_str(), kept.c_str())) {
      kept_.push_back({existing.GetPath(), kept.GetPath(), false});
      return true;
    }
    const DWORD error = ::GetLastError();
    Name({"void"});
    // A name that is taken leads to another; anything else leaves the file
    // where it is.
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

void CInstallTransaction::FileToBeWritten(const CPathName& path) {
  if (!IsActive()) return;
  DirectoriesToBeMade(path);
  if (!Exists(path)) {
    Name({"new", path.GetPath()});
  } else if (KeepExisting(path)) {
    kept_.back().replacedInPlace = true;
  } else {
    CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), path.GetPath());
  }
}

void CInstallTransaction::Moving(const CPathName& from, const CPathName& to) {
  if (IsActive()) Name({"moved", from.GetPath(), to.GetPath()});
}

void CInstallTransaction::MoveFailed() {
  if (IsActive()) Name({"void"});
}

void CInstallTransaction::ReplacementAtRestart(const CPathName& waiting, const CPathName& target) {
  if (IsActive()) Name({"restart", waiting.GetPath(), target.GetPath()});
}

void CInstallTransaction::RegistryKeyChanging(HKEY root, const std::string& path) {
  if (IsActive()) Name({"key", RegistryRootName(root), path, SnapshotKeyTree(root, path)});
}

void CInstallTransaction::RegistryValueChanging(HKEY root, const std::string& path, const std::string& name) {
  if (IsActive()) Name({"value", RegistryRootName(root), path, ToHex(name), SnapshotValue(root, path, name)});
}

bool CInstallTransaction::Commit(CVerboseLog& log) noexcept {
  if (!IsActive()) return true;
  // With the commit in the journal, a run ended while the kept copies are
  // deleted has the next run delete the rest. Where the line cannot be
  // written, the journal goes first: a copy left then is only a copy.
  const bool committed = journal_.Append({"commit"});
  if (!committed) journal_.Delete();
  const bool allGone = DeleteKeptCopies(kept_, log);
  kept_.clear();
  journal_.Delete();
  log.Write("Committed: the kept copies of the replaced files are deleted.");
  return allGone;
}

void CInstallTransaction::RollBack(CVerboseLog& log) noexcept {
  if (!IsActive()) return;
  const CRollbackRecord record = ReadRollbackJournal(journal_.GetPath());
  UndoAll(record, log_, log);
  kept_.clear();
  journal_.Delete();
}

bool CInstallTransaction::Recover(const CPathName& log, CVerboseLog& verbose) noexcept {
  try {
    const CPathName path = CRollbackJournal::PathFor(log);
    const CRollbackRecord record = ReadRollbackJournal(path);
    if (!record.found) return false;
    if (record.committed) {
      verbose.Write("An earlier silent run committed but did not end: its kept copies are deleted.");
      DeleteKeptCopies(KeptCopies(record, log), verbose);
    } else {
      verbose.Write("An earlier silent run ended before it committed: it is rolled back first.");
      UndoAll(record, log, verbose);
      verbose.Write("The earlier run is rolled back.");
    }
    ::DeleteFileA(path.c_str());
    return true;
  } catch (...) {
    return false;
  }
}
