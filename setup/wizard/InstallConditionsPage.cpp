#include "setup/wizard/InstallConditionsPage.h"

#include "setup/wizard/SetupState.h"
#include "setup/errors/ErrorReport.h"
#include "setup/system/SystemActions.h"

bool CInstallConditionsPage::CheckInstallConditions() {
  // Checked again on every arrival: the list is made afresh each time.
  conditionsText_.clear();
  bool met = true;
  if (State().System().WindowsMajorVersion() < 4) {
    AddCondition(IDS_NEEDS_WINDOWS_4);
    met = false;
  }
  return met;
}

void CInstallConditionsPage::AddCondition(UINT messageId) {
  CMessageBuffer message;
  FormatMessageId(message, messageId);
  conditionsText_ += "- ";
  conditionsText_ += message.text;
  conditionsText_ += "\r\n";
}

void CInstallConditionsPage::DoDataExchange(CDataExchange& dx) {
  CWizardPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_CONDITIONS, conditionsText_);
}

BOOL CInstallConditionsPage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  if (!State().ignoreConditions) SetNextPageId(kFailedPage);
  return TRUE;
}

void CInstallConditionsPage::OnOK() {
  if (GetNextPageId() == kFailedPage) MarkFailed(FailureCause::error);
  GoNext();
}
