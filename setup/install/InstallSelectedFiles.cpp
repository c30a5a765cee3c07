#include "setup/install/InstallSelectedFiles.h"

#include "setup/install/InstallFileEntry.h"
#include "setup/profile/FileList.h"

namespace {

const char* StopReason(CopyStop stop) noexcept {
  switch (stop) {
    case CopyStop::userCancelled: return "the source file or diskette was not given";
    case CopyStop::requested: return "the run was ended";
    default: return "Cancel Operation after an error";
  }
}

}  // namespace

CInstallOutcome InstallSelectedFiles(CFileList& files, CInstallContext& context) noexcept {
  CInstallOutcome copy;
  for (const auto& entry : files) {
    if (!entry->IsSelected()) continue;
    const CInstallOutcome outcome = InstallFileEntry(*entry, context);
    if (outcome.restartNeeded) copy.restartNeeded = true;
    if (outcome.Stopped()) {
      copy.stop = outcome.stop;
      context.verboseLog.Write("The copy stopped at %s: %s.", entry->GetFileName().c_str(), StopReason(outcome.stop));
      break;
    }
  }
  return copy;
}
