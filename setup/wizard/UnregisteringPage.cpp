#include "setup/wizard/UnregisteringPage.h"

#include "setup/app/SetupApp.h"
#include "setup/system/SystemActions.h"
#include "setup/wizard/RegisteringPage.h"

int CUnregisteringPage::DoPageWork() {
  const CSetupApp& app = GetSetupApp();
  app.System().UnregisterProduct(CRegisteringPage::ProductProgram(app), app.productKeyName);
  // The install log is removed here once the removal of the log is in.
  return GetNextPageId();
}
