#include "setup/install/InstallJob.h"

#include "framework/DeviceName.h"
#include "framework/Exception.h"
#include "framework/ScopedHandle.h"
#include "setup/profile/DestinationTable.h"
#include "setup/profile/FileEntry.h"
#include "setup/profile/Group.h"
#include "setup/profile/TargetTable.h"
#include "setup/archive/ArchiveReader.h"
#include "setup/archive/MediaFileName.h"
#include "setup/install/InstallTransaction.h"
#include "setup/install/ReplaceAtRestart.h"
#include "setup/install/ReplaceRule.h"
#include "setup/paths/TemporaryFile.h"
#include "setup/system/SharedDllCounter.h"
#include "framework/JoinText.h"

namespace {

constexpr std::int16_t kNotInstalled = -1;
constexpr std::int16_t kWindowsDirectory = -2;
constexpr std::int16_t kSystemDirectory = -3;
constexpr int kTemporaryNameAttempts = 1000;

// The name in a system directory, when a file of that name is there.
bool FindIn(SpecialDirectory kind, const std::string& fileName, CPathName& found) {
  CPathName path(kind);
  if (path.IsEmpty()) return false;
  path.SetFileName(fileName);
  if (!path.Exists()) return false;
  found = path;
  return true;
}

}  // namespace

void CInstallJob::Run(CArchiveReader& reader) {
  placed = 0;
  replaced = 0;
  waitsForRestart_ = false;
  const std::int16_t destinationId = GetHeader().GetDestination();
  if (destinationId == kNotInstalled) return;

  Prepare();
  try {
    reader.Extract(*this);
  } catch (...) {
    // Nothing of a failed or cancelled extraction is kept; the file was
    // made by this job (in place only when the name was free).
    if (!temporaryPath.IsEmpty()) temporaryPath.Delete(true);
    throw;
  }
  Place();
  NoteOutcome();

  // The record is journalled before the count goes up: a run ended in
  // between leaves a file the removal finds, never a count nobody takes
  // back.
  const std::string groupKey = fileEntry_.group ? fileEntry_.group->key : std::string();
  context_.log.AddFile(groupKey, finalPath, destinationId, placed != 0, replaced != 0);
  context_.runFiles.Add(finalPath, InstalledSize());
  if (destinationId == kSystemDirectory) {
    CSharedDllCounter counter(finalPath);
    const DWORD before = counter.GetCount();
    // Installed over an installation whose log records the file, the
    // product holds its count already (unless nothing counts it).
    if (counter.GetCount() == 0 || !context_.log.WasRecordedShared(finalPath.GetFileName())) {
      if (context_.transaction) {
        context_.transaction->RegistryValueChanging(HKEY_LOCAL_MACHINE, CSharedDllCounter::kKeyPath, finalPath.GetPath());
      }
      counter.Increment();
    }
    context_.verboseLog.Write("Shared file %s: SharedDLLs count %lu before, %lu after.", finalPath.c_str(),
                              static_cast<unsigned long>(before), static_cast<unsigned long>(counter.GetCount()));
  }
  if (CTarget* target = context_.targets.Find(finalPath.GetFileName())) target->programPath = finalPath;
}

std::uint64_t CInstallJob::InstalledSize() const {
  if (placed || waitsForRestart_) return GetHeader().GetSize();
  // The existing copy was kept: its own size counts. (Windows 95 has no
  // GetFileAttributesExA.)
  const CPathName existing = FindExistingCopy();
  if (existing.IsEmpty()) return 0;
  WIN32_FIND_DATAA data{};
  const CFindHandle found(::FindFirstFileA(existing.c_str(), &data));
  if (!found) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void CInstallJob::NoteOutcome() const {
  CVerboseLog& log = context_.verboseLog;
  if (!log.IsOpen()) return;
  const unsigned long size = GetHeader().GetSize();
  if (waitsForRestart_) {
    log.Write("Replaced at the next restart, because the existing copy is in use: %s (%lu bytes); %s",
              finalPath.c_str(), size, replaceReason_.c_str());
  } else if (replaced) {
    log.Write("Replaced, because the new file is not older: %s (%lu bytes); %s", finalPath.c_str(), size,
              replaceReason_.c_str());
  } else if (placed) {
    log.Write("Written new: %s (%lu bytes)", finalPath.c_str(), size);
  } else {
    log.Write("Kept the existing copy, because the new file is not newer: %s; %s", finalPath.c_str(),
              replaceReason_.c_str());
  }
}

void CInstallJob::Prepare() {
  const std::int16_t destinationId = GetHeader().GetDestination();
  const CPathName directory = context_.destinations.GetPath(destinationId);
  if (directory.IsEmpty()) CFileException::Throw(CFileException::badPath, -1, GetMemberName());
  if (context_.preparedDirectories.count(directory.GetPath()) == 0) {
    const bool made =
        context_.transaction ? context_.transaction->MakeDirectory(directory) : directory.CreateDirectoryOrThrow(true);
    context_.preparedDirectories.insert(directory.GetPath());
    if (made) context_.directoriesMade.insert(directory.GetPath());
  }
  directoryMadeByRun_ = context_.directoriesMade.count(directory.GetPath()) != 0;

  finalPath = directory;
  finalPath.SetFileName(FileNamePart(GetMemberName()));
  // The job serves every member of an archive: nothing of the last one's
  // files may be taken for this one's.
  temporaryPath = CPathName();
}

bool CInstallJob::MayWriteInPlace() const {
  const std::int16_t destinationId = GetHeader().GetDestination();
  if (destinationId == kWindowsDirectory || destinationId == kSystemDirectory) return FindExistingCopy().IsEmpty();
  return true;
}

void CInstallJob::OpenOutputFile() {
  // The log's journal names every file before it is made, so that a run
  // ended at any moment leaves none that the next run cannot find. The next
  // run deletes the file named last: a name is named only while nothing
  // has it as far as the run can tell (FinalNameIsFree, or a temporary
  // name found free), and a name that turns out taken is named off again
  // at once, so that an existing copy is never taken for a file this run
  // was making (but by a run ended in that instant, for a file another
  // hand made meanwhile).
  const auto claim = [this](const CPathName& name) {
    if (context_.transaction) context_.transaction->FileToBeMade(name);
    context_.log.BeginFile(name);
    if (CreateOutputNew(name)) return true;
    context_.log.FileNotMade();
    if (context_.transaction) context_.transaction->FileNotMade();
    return false;
  };
  // Most files of an installation meet no copy of themselves. Written in
  // place, they save finding a free temporary name, looking for the
  // existing copy and the rename; the on-disk result is the same. The
  // name is claimed by creating the file, so a file that appeared in the
  // meantime is never overwritten: it takes the usual way.
  if (MayWriteInPlace() && FinalNameIsFree() && claim(finalPath)) {
    temporaryPath = finalPath;
    SetOutputPath(finalPath);
    return;
  }
  CPathName temporary = finalPath;
  if (!CreateTemporaryFile(temporary, claim, kTemporaryNameAttempts)) {
    CFileException::Throw(CFileException::tooManyOpenFiles, -1, temporary.GetPath());
  }
  temporaryPath = temporary;
  SetOutputPath(temporaryPath);
}

bool CInstallJob::FinalNameIsFree() const {
  // In a directory this run made, only the run's own files have names. A
  // look-up is then not needed, and it costs: under Wine, asking for a name
  // that is not there reads the whole folder, as making the file does again.
  if (directoryMadeByRun_) {
    return !finalPath.IsTooLong() && !IsDeviceName(finalPath.GetFileName()) && !context_.runFiles.Contains(finalPath);
  }
  return finalPath.LookUpName() == CPathName::NameLookup::free;
}

CPathName CInstallJob::FindExistingCopy() const {
  const std::int16_t destinationId = GetHeader().GetDestination();
  CPathName found;
  if (destinationId == kWindowsDirectory || destinationId == kSystemDirectory) {
    const std::string name = finalPath.GetFileName();
    if (!FindIn(SpecialDirectory::windows, name, found)) FindIn(SpecialDirectory::system, name, found);
  } else if (finalPath.Exists()) {
    found = finalPath;
  }
  return found;
}

void CInstallJob::Place() {
  if (WasWrittenInPlace()) {
    placed = 1;
    return;
  }
  try {
    const CPathName existing = FindExistingCopy();
    replaceReason_.clear();
    CReplaceDecision decision;
    if (!existing.IsEmpty()) {
      decision = DecideReplacement(temporaryPath, existing, context_.verboseLog.IsOpen());
      if (!decision.reason.empty()) replaceReason_ = JoinText({existing.GetPath(), ": ", decision.reason});
    }
    if (existing.IsEmpty()) {
      placed = 1;
    } else if (decision.replace) {
      replaced = 1;
      // A silent run keeps the existing copy until it commits.
      if (context_.transaction ? context_.transaction->KeepExisting(existing) : existing.Delete(true)) {
        placed = 1;
      } else {
        // In use: the new file takes the existing copy's place, wherever
        // that is, when Windows restarts.
        ReplaceWhenRestarted(existing);
      }
    } else {
      temporaryPath.Delete(true);
    }
  } catch (...) {
    // Nothing of a file that could not be placed stays.
    temporaryPath.Delete(true);
    placed = 0;
    replaced = 0;
    throw;
  }
  if (placed) PutInPlace();
}

void CInstallJob::ReplaceWhenRestarted(const CPathName& existing) {
  if (context_.transaction) context_.transaction->ReplacementAtRestart(temporaryPath, existing);
  if (!ReplaceAtRestart(temporaryPath, existing)) {
    // Neither the system nor wininit.ini takes the replacement: the copy
    // in use stays, and the file's error question follows.
    CFileException::Throw(CFileException::sharingViolation, -1, existing.GetPath());
  }
  waitsForRestart_ = true;
}

void CInstallJob::PutInPlace() {
  if (context_.transaction) context_.transaction->Moving(temporaryPath, finalPath);
  ::SetLastError(ERROR_SUCCESS);
  if (temporaryPath.MoveTo(finalPath)) return;
  const DWORD error = ::GetLastError();
  // Nothing of the file stays; the file's error question follows.
  temporaryPath.Delete(true);
  placed = 0;
  if (context_.transaction) context_.transaction->MoveFailed();
  if (error == ERROR_SUCCESS) CFileException::Throw(CFileException::badPath, -1, finalPath.GetPath());
  CFileException::ThrowOsError(static_cast<LONG>(error), finalPath.GetPath());
}
