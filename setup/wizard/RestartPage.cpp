#include "setup/wizard/RestartPage.h"

#include "setup/wizard/SetupState.h"
#include "setup/system/SystemActions.h"

BOOL CRestartPage::OnCommand(UINT id, UINT code, HWND control) {
  if (code == BN_CLICKED || control == nullptr) {
    if (id == IDC_RESTART) {
      State().System().RestartWindows();
      return TRUE;
    }
    if (id == IDC_DONT_RESTART) {
      GoNext();
      return TRUE;
    }
  }
  return CWizardPage::OnCommand(id, code, control);
}
