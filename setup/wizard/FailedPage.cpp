#include "setup/wizard/FailedPage.h"

#include "framework/Resources.h"
#include "setup/app/SetupApp.h"

BOOL CFailedPage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  SetDlgItemText(IDC_PAGE_TEXT, LoadResourceString(GetSetupApp().removeMode ? IDS_NOT_REMOVED : IDS_NOT_INSTALLED));
  return TRUE;
}
