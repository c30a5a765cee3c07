#include "setup/install/InstallFileEntry.h"

#include "framework/Exception.h"
#include "setup/errors/XException.h"
#include "setup/archive/ArchiveFormat.h"
#include "setup/archive/MediaReader.h"
#include "setup/archive/SourceMedia.h"
#include "setup/install/InstallJob.h"
#include "setup/profile/FileEntry.h"

namespace {

// Clears the display's current transfer on every way out.
class CCurrentTransfer {
public:
  CCurrentTransfer(CInstallDisplay& display, const CInstallJob& job) : display_(display) {
    display_.SetCurrentTransfer(&job);
  }
  ~CCurrentTransfer() { display_.SetCurrentTransfer(nullptr); }
  CCurrentTransfer(const CCurrentTransfer&) = delete;
  CCurrentTransfer& operator=(const CCurrentTransfer&) = delete;

private:
  CInstallDisplay& display_;
};

void RunTransfer(CInstallJob& job, CMediaReader& reader, CInstallContext& context, CInstallOutcome& outcome) {
  CCurrentTransfer current(context.display, job);
  job.Run(reader);
  if (job.WaitsForRestart()) outcome.restartNeeded = true;
  context.display.TransferDone(job);
}

void CopyPlainFile(CFileEntry& entry, CMediaReader& reader, CInstallContext& context, CInstallOutcome& outcome) {
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
  RunTransfer(job, reader, context, outcome);
}

void ExtractArchive(CFileEntry& entry, CMediaReader& reader, CInstallContext& context, CInstallOutcome& outcome) {
  CInstallJob job(entry, context);
  while (reader.NextEntry(job, false)) {
    if (context.policy.StopRequested()) {
      outcome.stop = CopyStop::requested;
      return;
    }
    RunTransfer(job, reader, context, outcome);
  }
}

void InstallFrom(CFileEntry& entry, CMediaReader& reader, CInstallContext& context, CInstallOutcome& outcome) {
  if (!context.media.LocateSourceFile(entry.GetFileName(), entry.GetDisketteNumber())) AfxThrowUserException();
  switch (entry.kind) {
    case CFileEntry::plainFile:
      if (entry.destinationId == -1) {
        context.display.AddBytesDone(static_cast<std::uint32_t>(entry.size));
        return;
      }
      reader.OpenRead(reader.GetSourcePath());
      CopyPlainFile(entry, reader, context, outcome);
      break;
    case CFileEntry::archive:
      reader.OpenArchive(reader.GetSourcePath());
      ExtractArchive(entry, reader, context, outcome);
      break;
    default:
      break;
  }
}

}  // namespace

CInstallOutcome InstallFileEntry(CFileEntry& entry, CInstallContext& context) noexcept {
  CInstallOutcome outcome;
  try {
    // The entry's source, read through the media; its segments are the
    // display's ticks.
    CMediaReader reader(context.media, entry.GetFileName(), entry.GetDisketteNumber(),
                        [&context] { context.display.Tick(); });
    reader.SetSegmentSize(CArchiveReader::kSegmentSize);
    try {
      InstallFrom(entry, reader, context, outcome);
    } catch (const CUserException&) {
      outcome.stop = CopyStop::userCancelled;
    } catch (...) {
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
  // What the entry placed is in the log before anything else happens.
  context.log.FlushFiles();
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
