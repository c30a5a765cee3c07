#include "setup/install/InstallFileEntry.h"

#include <algorithm>

#include "framework/Exception.h"
#include "setup/errors/XException.h"
#include "setup/archive/ArchiveFormat.h"
#include "setup/archive/MediaFileName.h"
#include "setup/archive/MediaReader.h"
#include "setup/archive/MultiFileException.h"
#include "setup/archive/SourceMedia.h"
#include "setup/install/InstallJob.h"
#include "setup/profile/FileEntry.h"

namespace {

// How far an entry got: for the events that name what a failure left
// out, and for the display's ticks.
struct CEntryProgress {
  int filesDone = 0;          // files of the entry handled (placed, kept or waiting)
  std::string currentFile;    // the file being installed, if any
  const CInstallJob* running = nullptr;  // the job producing it
};

CCopyProgress ProgressOf(const CInstallJob& job, std::uint32_t copyBytesDone) {
  const auto fileBytesDone = static_cast<std::uint32_t>(std::max<std::int64_t>(0, job.GetBytesDone()));
  return {job.GetFinalPath(), job.GetOutputPath(), fileBytesDone, job.GetTransferSize(), copyBytesDone + fileBytesDone};
}

void RunTransfer(CInstallJob& job, CMediaReader& reader, CInstallContext& context, CInstallOutcome& outcome,
                 CEntryProgress& progress) {
  progress.currentFile = FileNamePart(job.GetMemberName());
  // (InstallFileEntry forgets the job when Run throws.)
  progress.running = &job;
  job.Run(reader);
  progress.running = nullptr;
  progress.currentFile.clear();
  ++progress.filesDone;
  if (job.WaitsForRestart()) outcome.restartNeeded = true;
  context.bytesDone += job.GetTransferSize();
  const std::uint32_t size = job.GetTransferSize();
  context.display.FileDone({job.GetFinalPath(), job.GetOutputPath(), size, size, context.bytesDone});
}

// Leaves in [Events] the files of entry that a failure left out, so that
// an administrator can see what a run that went on did not install.
void LogFilesNotInstalled(const CFileEntry& entry, const CEntryProgress& progress, CInstallLogWriter& log) noexcept {
  const char* const source = entry.GetFileName().c_str();
  if (entry.kind != CFileEntry::archive) {
    log.Event("File not installed: %s", source);
    return;
  }
  if (!progress.currentFile.empty()) log.Event("File not installed: %s (from %s)", progress.currentFile.c_str(), source);
  const int left = entry.memberCount - progress.filesDone - (progress.currentFile.empty() ? 0 : 1);
  if (left > 0) {
    log.Event("Files not installed: %d more files of %s", left, source);
  } else if (entry.memberCount <= 0) {
    log.Event("Files not installed: the rest of %s", source);
  }
}

void CopyPlainFile(CFileEntry& entry, CMediaReader& reader, CInstallContext& context, CInstallOutcome& outcome,
                   CEntryProgress& progress) {
  CInstallJob job(entry, context);
  CEntryHeader& header = job.GetHeader();
  job.SetMemberName(reader.GetSourcePath().GetPath());
  header.SetDestination(entry.destinationId);
  header.SetMethod(archive_format::kMethodStored);
  header.SetMethodParameter(0);
  header.SetChecksum(0);
  // Time, attributes and size as the file is on the media; the bytes
  // copied are the ones the profile gives.
  job.TakeStatus(reader.GetPlainFileStatus());
  header.SetSize(static_cast<std::uint32_t>(entry.size));
  header.SetCompressedSize(static_cast<std::uint32_t>(entry.size));
  RunTransfer(job, reader, context, outcome, progress);
}

// An archive whose members end before the number its record gives (a part
// cut before or inside an entry header) is damaged: the members missing
// are never passed over in silence.
void ExtractArchive(CFileEntry& entry, CMediaReader& reader, CInstallContext& context, CInstallOutcome& outcome,
                    CEntryProgress& progress) {
  CInstallJob job(entry, context);
  int members = 0;
  while (reader.NextEntry(job, false)) {
    ++members;
    if (context.policy.StopRequested()) {
      outcome.stop = CopyStop::requested;
      return;
    }
    RunTransfer(job, reader, context, outcome, progress);
  }
  if (members < entry.memberCount) throw CMultiFileException(CMultiFileException::missingEntryHeader);
}

void InstallFrom(CFileEntry& entry, CMediaReader& reader, CInstallContext& context, CInstallOutcome& outcome,
                 CEntryProgress& progress) {
  if (!context.media.LocateSourceFile(entry.GetFileName(), entry.GetDisketteNumber())) AfxThrowUserException();
  switch (entry.kind) {
    case CFileEntry::plainFile:
      if (entry.destinationId == -1) {
        context.bytesDone += static_cast<std::uint32_t>(entry.size);
        return;
      }
      reader.OpenPlainFile(context.readAhead);
      // The copy takes the bytes the record gives: a file of another size
      // would be installed cut short or fail half-way.
      if (reader.GetLength() != static_cast<std::uint64_t>(entry.size)) {
        throw CMultiFileException(CMultiFileException::sizeDiffers);
      }
      CopyPlainFile(entry, reader, context, outcome, progress);
      break;
    case CFileEntry::archive:
      reader.OpenArchive(reader.GetSourcePath());
      ExtractArchive(entry, reader, context, outcome, progress);
      break;
    default:
      break;
  }
}

}  // namespace

CInstallOutcome InstallFileEntry(CFileEntry& entry, CInstallContext& context) noexcept {
  CInstallOutcome outcome;
  try {
    context.display.EntryStarting(entry, context.bytesDone);
    // The entry's source, read through the media; its segments are the
    // display's ticks while a file is produced.
    CEntryProgress progress;
    CMediaReader reader(context.media, entry.GetFileName(), entry.GetDisketteNumber(), [&context, &progress] {
      if (progress.running) context.display.Tick(ProgressOf(*progress.running, context.bytesDone));
    });
    reader.SetSegmentSize(CArchiveReader::kSegmentSize);
    try {
      InstallFrom(entry, reader, context, outcome, progress);
    } catch (const CUserException&) {
      progress.running = nullptr;
      outcome.stop = CopyStop::userCancelled;
    } catch (...) {
      progress.running = nullptr;
      LogFilesNotInstalled(entry, progress, context.log);
      const bool goOn = AfxTranslateCurrentException([&](CException& e) {
        // An error of the media names the file it was read from.
        if (auto* x = dynamic_cast<CXException*>(&e); x && x->GetSubject().empty()) {
          x->SetSubject(reader.GetSourcePath().GetPath());
        }
        return context.policy.AskContinueAfterError(e, entry.GetFileName());
      });
      if (!goOn) outcome.stop = CopyStop::failed;
    }
    reader.Abort();
  } catch (...) {
    // The question itself failed: nobody can say to go on.
    outcome.stop = CopyStop::failed;
  }
  // A stop from outside while the entry was copied ends the copy after it.
  if (!outcome.Stopped()) {
    try {
      if (context.policy.StopRequested()) outcome.stop = CopyStop::requested;
    } catch (...) {
      outcome.stop = CopyStop::failed;
    }
  }
  return outcome;
}
