#include "setup/install/InstallFileEntry.h"

#include "framework/Exception.h"
#include "setup/archive/ArchiveFormat.h"
#include "setup/archive/MediaReader.h"
#include "setup/archive/SourceMedia.h"
#include "setup/install/InstallJob.h"
#include "setup/profile/FileEntry.h"

namespace {

// Clears the progress display's current transfer on every way out.
class CCurrentTransfer {
public:
  CCurrentTransfer(CInstallProgress& progress, const CInstallJob& job) : progress_(progress) {
    progress_.SetCurrentTransfer(&job);
  }
  ~CCurrentTransfer() { progress_.SetCurrentTransfer(nullptr); }
  CCurrentTransfer(const CCurrentTransfer&) = delete;
  CCurrentTransfer& operator=(const CCurrentTransfer&) = delete;

private:
  CInstallProgress& progress_;
};

void RunTransfer(CInstallJob& job, CMediaReader& reader, CInstallContext& context) {
  CCurrentTransfer current(context.progress, job);
  job.Run(reader);
  context.progress.AddCompletedTransfer(job);
}

void CopyPlainFile(CFileEntry& entry, CMediaReader& reader, CInstallContext& context) {
  CInstallJob job(entry, context);
  CEntryHeader& header = job.GetHeader();
  job.SetMemberName(reader.GetSourcePath().GetPath());
  header.SetDestination(entry.destinationId);
  header.SetMethod(archive_format::kMethodStored);
  header.SetMethodParameter(0);
  header.SetChecksum(0);
  // Time, attributes and size as the file is on the media; the bytes
  // copied are the ones the profile gives.
  job.TakeStatus(reader.GetSourcePath());
  header.SetSize(static_cast<std::uint32_t>(entry.size));
  header.SetCompressedSize(static_cast<std::uint32_t>(entry.size));
  RunTransfer(job, reader, context);
}

void ExtractArchive(CFileEntry& entry, CMediaReader& reader, CInstallContext& context) {
  CInstallJob job(entry, context);
  while (reader.NextEntry(job, false)) {
    context.progress.PumpMessages();
    if (!context.installSucceeded) return;
    RunTransfer(job, reader, context);
  }
}

void InstallFrom(CFileEntry& entry, CMediaReader& reader, CInstallContext& context) {
  if (!context.media.LocateSourceFile(entry.GetFileName(), entry.GetDisketteNumber())) AfxThrowUserException();
  switch (entry.kind) {
    case CFileEntry::plainFile:
      if (entry.destinationId == -1) {
        context.progress.AddCompletedFile(entry);
        return;
      }
      reader.OpenRead(reader.GetSourcePath());
      CopyPlainFile(entry, reader, context);
      break;
    case CFileEntry::archive:
      reader.OpenArchive(reader.GetSourcePath());
      ExtractArchive(entry, reader, context);
      break;
    default:
      break;
  }
}

void EndCopy(CInstallContext& context, CopyStop why) {
  context.installSucceeded = false;
  context.stop = why;
}

}  // namespace

void InstallFileEntry(CFileEntry& entry, CInstallContext& context) noexcept {
  if (!context.installSucceeded) return;
  try {
    // The entry's source, read through the media; its segments are the
    // progress display's ticks.
    CMediaReader reader(context.media, entry.GetFileName(), entry.GetDisketteNumber(),
                        [&context] { context.progress.ReportProgress(); });
    reader.SetSegmentSize(CArchiveReader::kSegmentSize);
    try {
      InstallFrom(entry, reader, context);
    } catch (const CUserException&) {
      EndCopy(context, CopyStop::userCancelled);
    } catch (...) {
      const bool goOn = AfxTranslateCurrentException(
          [&](CException& e) { return context.progress.AskContinueAfterError(e, entry.GetFileName()); });
      if (!goOn) EndCopy(context, CopyStop::failed);
    }
    reader.Abort();
  } catch (...) {
    // The question itself failed: nobody can say to go on.
    EndCopy(context, CopyStop::failed);
  }
  // What the entry placed is in the log before anything else happens.
  context.fileRecords.Flush();
}
