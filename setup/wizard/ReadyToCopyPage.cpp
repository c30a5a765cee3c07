#include "setup/wizard/ReadyToCopyPage.h"

#include "framework/WinApp.h"
#include "setup/wizard/SetupState.h"
#include "setup/profile/InstallModel.h"
#include "setup/wizard/ButtonBar.h"

BOOL CReadyToCopyPage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  if (CButtonBar* bar = GetButtonBar()) bar->SetNextText("&Copy");
  return TRUE;
}

void CReadyToCopyPage::OnOK() {
  CSetupState& app = State();
  if (!app.runFromSource) {
    const CPathName directory = app.model->destinations.GetPath(0);
    if (directory.IsEmpty() || (!directory.DirectoryExists() && !directory.CreateDirectory(true))) {
      AfxMessageBox(IDS_CANNOT_CREATE_DIRECTORY, MB_OK);
      MarkFailed(FailureCause::error);
    }
  }
  GoNext();
}
