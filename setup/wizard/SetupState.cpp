#include "setup/wizard/SetupState.h"

#include "framework/Resources.h"
#include "setup/log/InstallLog.h"
#include "setup/resources/ResourceIds.h"
#include "setup/profile/InstallModel.h"
#include "setup/system/SystemActions.h"
#include "setup/wizard/PromptingSourceMedia.h"

CSetupState::CSetupState(std::unique_ptr<CSystemActions> system)
    : sourceMedia(std::make_unique<CPromptingSourceMedia>(
          sourceDir, [this](int diskette) { return model ? model->diskettes.GetLabel(diskette) : std::string(); },
          verboseLog)),
      system_(std::move(system)) {
  SetProduct(CProductIdentity::Builtin());
}

CSetupState::~CSetupState() = default;

CInstallLog& CSetupState::InstallLog() {
  if (!installLog_ || installLog_->GetPath().GetPath() != logPath.GetPath()) {
    installLog_ = std::make_unique<CInstallLog>(logPath);
  }
  return *installLog_;
}

void CSetupState::SetProduct(CProductIdentity identity) {
  product = std::move(identity);
  productTitle = ProductText(IDS_PRODUCT_TITLE);
  productKeyName = product.key;
  programFile = product.program;
  if (model) model->programFolder = ProductText(IDS_PROGRAM_FOLDER);
}

std::string CSetupState::ProductText(UINT id) const { return product.InText(LoadResourceString(id)); }

void CSetupState::RecordFailure(FailureCause cause) noexcept {
  installSucceeded = false;
  if (failureCause == FailureCause::none) failureCause = cause;
}
