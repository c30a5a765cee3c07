#include "setup/wizard/RestartPage.h"

#include "setup/system/Restart.h"

CRestartPage::RestartAction CRestartPage::restartAction = &RestartWindows;

BOOL CRestartPage::OnCommand(UINT id, UINT code, HWND control) {
  if (code == BN_CLICKED || control == nullptr) {
    if (id == IDC_RESTART) {
      restartAction();
      return TRUE;
    }
    if (id == IDC_DONT_RESTART) {
      GoNext();
      return TRUE;
    }
  }
  return CWizardPage::OnCommand(id, code, control);
}
