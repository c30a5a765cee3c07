#include "setup/wizard/InstallConditionsPage.h"

#include "setup/wizard/SetupState.h"
#include "setup/errors/ErrorReport.h"
#include "setup/system/SystemActions.h"

namespace {

// The string-table message as one condition line.
std::string ConditionLine(UINT messageId) {
  CMessageBuffer message;
  FormatMessageId(message, messageId);
  return std::string("- ") + message.text + "\r\n";
}

}  // namespace

std::string CInstallConditionsPage::UnmetConditions(const CSetupState& state) {
  std::string unmet;
  if (state.System().WindowsMajorVersion() < 4) unmet += ConditionLine(IDS_NEEDS_WINDOWS_4);
  return unmet;
}

void CInstallConditionsPage::DoDataExchange(CDataExchange& dx) {
  CWizardPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_CONDITIONS, conditionsText_);
}

void CInstallConditionsPage::Prepare() {
  conditionsText_ = UnmetConditions(State());
  if (!State().ignoreConditions) SetNextPageId(kFailedPage);
}

void CInstallConditionsPage::OnOK() {
  if (GetNextPageId() == kFailedPage) MarkFailed(FailureCause::error);
  GoNext();
}
