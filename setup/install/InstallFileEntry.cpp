#include "setup/install/InstallFileEntry.h"

#include "framework/Exception.h"
#include "setup/profile/FileEntry.h"
#include "setup/archive/ArchiveFormat.h"
#include "setup/install/InstallJob.h"
#include "setup/archive/SourceMedia.h"

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

void RunTransfer(CInstallJob& job, CFileEntry& entry, CInstallContext& context) {
  CCurrentTransfer current(context.progress, job);
  job.Run(entry);
  context.progress.AddCompletedTransfer(job);
}

void CopyPlainFile(CFileEntry& entry, CInstallContext& context) {
  CInstallJob job(entry, context);
  CEntryHeader& header = job.GetHeader();
  job.SetMemberName(entry.GetSourcePath().GetPath());
  header.SetDestination(entry.destinationId);
  header.SetMethod(archive_format::kMethodStored);
  header.SetMethodParameter(0);
  header.SetChecksum(0);
  // Time, attributes and size as the file is on the media; the bytes
  // copied are the ones the profile gives.
  job.TakeStatus(entry.GetSourcePath());
  header.SetSize(static_cast<std::uint32_t>(entry.size));
  header.SetCompressedSize(static_cast<std::uint32_t>(entry.size));
  RunTransfer(job, entry, context);
}

void ExtractArchive(CFileEntry& entry, CInstallContext& context) {
  CInstallJob job(entry, context);
  while (entry.NextEntry(job, false)) {
    context.progress.PumpMessages();
    if (!context.installSucceeded) return;
    RunTransfer(job, entry, context);
  }
}

void InstallFrom(CFileEntry& entry, CInstallContext& context) {
  if (!context.media.LocateSourceFile(entry.GetFileName(), entry.GetDisketteNumber())) AfxThrowUserException();
  switch (entry.kind) {
    case CFileEntry::plainFile:
      if (entry.destinationId == -1) {
        context.progress.AddCompletedFile(entry);
        return;
      }
      entry.OpenRead(entry.GetSourcePath());
      CopyPlainFile(entry, context);
      break;
    case CFileEntry::archive:
      entry.OpenArchive(entry.GetSourcePath());
      ExtractArchive(entry, context);
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
  entry.SetSegmentSize(CArchiveReader::kSegmentSize);
  entry.SetProgressHook([&context] { context.progress.ReportProgress(); });
  try {
    try {
      InstallFrom(entry, context);
    } catch (const CUserException&) {
      EndCopy(context, CopyStop::userCancelled);
    } catch (...) {
      const bool goOn = AfxTranslateCurrentException(
          [&](CException& e) { return context.progress.AskContinueAfterError(e, entry.GetFileName()); });
      if (!goOn) EndCopy(context, CopyStop::failed);
    }
  } catch (...) {
    // The question itself failed: nobody can say to go on.
    EndCopy(context, CopyStop::failed);
  }
  entry.SetProgressHook({});
  entry.Abort();
  // What the entry placed is in the log before anything else happens.
  context.fileRecords.Flush();
}
