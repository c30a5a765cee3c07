#include "setup/wizard/RegisteringPage.h"

#include "setup/app/SetupApp.h"

int CRegisteringPage::FinalPage(bool installSucceeded, bool rebootNeeded) {
  if (!installSucceeded) return kFailedPage;
  return rebootNeeded ? IDD_RESTART : IDD_FINISHED;
}

int CRegisteringPage::DoPageWork() {
  const CSetupApp& app = GetSetupApp();
  // The registry entries (application path, uninstall entry, the host
  // product's menu entry) are written here once the registry layer is in.
  SetNextPageId(FinalPage(app.installSucceeded, app.rebootNeeded));
  return GetNextPageId();
}
