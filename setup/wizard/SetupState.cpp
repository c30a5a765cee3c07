#include "setup/wizard/SetupState.h"

#include "setup/log/InstallLog.h"
#include "setup/profile/InstallModel.h"
#include "setup/system/SystemActions.h"
#include "setup/wizard/PromptingSourceMedia.h"

CSetupState::CSetupState(std::unique_ptr<CSystemActions> system)
    : sourceMedia(std::make_unique<CPromptingSourceMedia>(
          sourceDir, [this](int diskette) { return model ? model->diskettes.GetLabel(diskette) : std::string(); },
          verboseLog)),
      system_(std::move(system)) {}

CSetupState::~CSetupState() = default;

CInstallLog& CSetupState::InstallLog() {
  if (!installLog_ || installLog_->GetPath().GetPath() != logPath.GetPath()) {
    installLog_ = std::make_unique<CInstallLog>(logPath);
  }
  return *installLog_;
}

void CSetupState::RecordFailure(FailureCause cause) noexcept {
  installSucceeded = false;
  if (failureCause == FailureCause::none) failureCause = cause;
}
