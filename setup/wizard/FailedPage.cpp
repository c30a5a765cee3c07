#include "setup/wizard/FailedPage.h"

#include "framework/Resources.h"
#include "setup/wizard/SetupState.h"

BOOL CFailedPage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  SetDlgItemText(IDC_PAGE_TEXT, State().ProductText(State().removeMode ? IDS_NOT_REMOVED : IDS_NOT_INSTALLED));
  return TRUE;
}
