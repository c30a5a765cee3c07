#include "setup/wizard/RunOutcome.h"

#include "setup/resources/ResourceIds.h"

const char* ExitCodeMeaning(int exitCode) noexcept {
  switch (exitCode) {
    case SetupExitCode::success:
      return "success";
    case SetupExitCode::userCancelled:
      return "cancelled by the user";
    case SetupExitCode::failed:
      return "failed";
    case SetupExitCode::restartRequired:
      return "success, a restart is required";
    case SetupExitCode::anotherRunActive:
      return "another run of Setup is in progress";
    default:
      return "unknown";
  }
}

int CRunOutcome::ExitCode() const {
  // Only a run that reached one of the pages that say so ended well: the
  // failure page, any page in between and no page at all did not.
  if (installSucceeded) {
    switch (finalPageId) {
      case IDD_REMOVED:
      case IDD_FINISHED:
        return rebootNeeded ? SetupExitCode::restartRequired : SetupExitCode::success;
      case IDD_RESTART:
        return SetupExitCode::restartRequired;
      default:
        break;
    }
  }
  switch (failureCause) {
    case FailureCause::user:
      return SetupExitCode::userCancelled;
    case FailureCause::anotherRun:
      return SetupExitCode::anotherRunActive;
    default:
      return SetupExitCode::failed;
  }
}
