#include "setup/wizard/RegisteringPage.h"

#include "setup/app/SetupApp.h"
#include "setup/profile/DestinationTable.h"
#include "setup/profile/TargetTable.h"
#include "setup/system/AppPath.h"
#include "setup/system/HostMenuEntry.h"
#include "setup/system/UninstallEntry.h"

CRegisteringPage::RegisterAction CRegisteringPage::registerAction = &CRegisteringPage::RegisterProduct;

int CRegisteringPage::FinalPage(bool installSucceeded, bool rebootNeeded) {
  if (!installSucceeded) return kFailedPage;
  return rebootNeeded ? IDD_RESTART : IDD_FINISHED;
}

std::string CRegisteringPage::UninstallCommand(const CSetupApp& app) {
  const CPathName directory = app.destinations->GetPath(app.runFromSource ? 1 : 0);
  return directory.GetPath() + CPathName::GetProgramPath().GetFileName() + " /U";
}

void CRegisteringPage::RegisterProduct(const CSetupApp& app) {
  CPathName program = app.destinations->GetPath(0);
  program.SetFileName(app.programFile);
  RegisterAppPath(program);
  RegisterUninstallEntry(UninstallCommand(app), app.productKeyName, app.productKeyName);
  RegisterHostMenuEntry(HKEY_CURRENT_USER, program, *app.targets);
  RegisterHostMenuEntry(HKEY_LOCAL_MACHINE, program, *app.targets);
}

int CRegisteringPage::DoPageWork() {
  const CSetupApp& app = GetSetupApp();
  registerAction(app);
  SetNextPageId(FinalPage(app.installSucceeded, app.rebootNeeded));
  return GetNextPageId();
}
