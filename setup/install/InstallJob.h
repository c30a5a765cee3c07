// CInstallJob: one destination file being produced, a plain file or one
// member of an archive. A file that meets no copy of itself is written
// straight to its final path, created there only while nothing has that
// name; otherwise the data is written under a temporary name in the
// destination directory first, and then the file is put in its place (or
// the existing copy is kept, or replaced at the next restart). The outcome
// is written to the install log and the run's files (with the size the file
// has once the run is done), a shared system file is counted, and a
// program item that starts this file learns its path.
//
// Every file the job makes is named in the log's journal before it is
// made; until its record follows there, a run ended in between leaves it
// to be deleted by the next run (see InstallJournal.h).
#pragma once

#include "setup/archive/ArchiveMember.h"
#include "setup/install/InstallContext.h"
#include "setup/paths/PathName.h"

class CArchiveReader;
class CFileEntry;

class CInstallJob : public CArchiveMember {
public:
  CInstallJob(CFileEntry& fileEntry, CInstallContext& context) : fileEntry_(fileEntry), context_(context) {}

  // Produces, places and logs the member whose header was read last
  // (through the reader's Extract). A destination id of -1 does nothing.
  // The file written is removed when the extraction, the placing or the
  // final rename fails. A file of the System directory is counted in
  // SharedDLLs after its record is in the log's journal, and not again when
  // the log recorded it before the run (and it is counted). Failures throw: CFileException (directory creation, disk full, a
  // temporary name that cannot be found, a rename into place that fails),
  // CMultiFileException, CZLibException, and CUserException when the
  // extraction was cancelled.
  void Run(CArchiveReader& reader);

  const CPathName& GetFinalPath() const noexcept { return finalPath; }
  const CPathName& GetTemporaryPath() const noexcept { return temporaryPath; }
  bool WasPlaced() const noexcept { return placed != 0; }
  bool WasReplaced() const noexcept { return replaced != 0; }
  // The existing copy is replaced by the new file only at the next restart.
  bool WaitsForRestart() const noexcept { return waitsForRestart_; }
  // Whether the data went straight to the final path (no copy was there).
  bool WasWrittenInPlace() const noexcept {
    return !temporaryPath.IsEmpty() && temporaryPath.GetPath() == finalPath.GetPath();
  }

  // How far the job has got, for the display's ticks.
  std::uint32_t GetTransferSize() const noexcept { return GetHeader().GetSize(); }
  std::int64_t GetBytesDone() const noexcept { return GetBytesWritten(); }

  CPathName finalPath;      // destination directory + the member's file name
  CPathName temporaryPath;  // where the data is written first: the final path itself when
                            // it is written in place, empty before the file is made
  int placed = 0;           // the new file is at the final path now
  int replaced = 0;         // an existing copy was judged older and is replaced (now or at restart)

protected:
  // Makes the file the data goes to: the final path when no copy of the
  // file is met and nothing has taken the name, else a new file under a
  // temporary name. Neither ever opens a file that exists.
  void OpenOutputFile() override;

private:
  void Prepare();
  // Whether no copy stands where this destination would meet one besides
  // the final path itself (the other system directory for -2 and -3); the
  // final path is claimed by creating it.
  bool MayWriteInPlace() const;
  // Whether nothing has the final path's name yet, as far as can be told
  // before claiming it: in a directory this run made, no file of the run's
  // has it; elsewhere one look-up finds nothing.
  bool FinalNameIsFree() const;
  // Puts the temporary file in place, keeps the existing copy, or arranges
  // the replacement for the next restart; sets placed and replaced. When
  // that fails, the temporary file is deleted and the failure thrown.
  void Place();
  // Has the temporary file replace existing (in use) at the next restart;
  // throws CFileException (sharingViolation) when that cannot be arranged.
  void ReplaceWhenRestarted(const CPathName& existing);
  // Renames the temporary file to the final path. When that fails the
  // temporary file is deleted and CFileException is thrown, to be asked
  // about as the file's error.
  void PutInPlace();
  // The copy a new file of this destination meets: the final path, or for
  // the Windows and System directories the name in either of them (Windows
  // first); empty when there is none.
  CPathName FindExistingCopy() const;

  // The size the file has once the run is done: the new file's, or the
  // kept copy's.
  std::uint64_t InstalledSize() const;
  // The outcome of the file, with the reason, in the verbose log.
  void NoteOutcome() const;

  CFileEntry& fileEntry_;
  CInstallContext& context_;
  bool waitsForRestart_ = false;
  // The destination directory of the current file was made by this run.
  bool directoryMadeByRun_ = false;
  // What the replace rule went by when a copy was met (only with a
  // verbose log to tell it to); empty when none was met.
  std::string replaceReason_;
};
