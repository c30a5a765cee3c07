#include "setup/wizard/CopyProgressPage.h"

#include "setup/app/SetupApp.h"
#include "setup/profile/InstallModel.h"
#include "setup/system/SystemActions.h"
#include "setup/wizard/PlaceWindow.h"

BOOL CCopyProgressPage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  PlaceWindow(m_hWnd, 5, 7, 3, 5, nullptr);
  return TRUE;
}

void CCopyProgressPage::PointTargetsIntoSource(CSetupApp& app) {
  for (const auto& entry : app.model->targets) {
    CTarget& target = *entry.target;
    const bool isProduct = ::lstrcmpiA(target.key.c_str(), app.programFile.c_str()) == 0;
    CPathName path = app.model->destinations.GetPath(isProduct ? 0 : 1);
    path.SetFileName(target.key);
    target.programPath = path;
  }
}

bool CCopyProgressPage::CopySelectedFiles() {
  // The copy engine with its gauge and billboards joins here; until then
  // an installation has no files to copy.
  return true;
}

int CCopyProgressPage::DoPageWork() {
  CSetupApp& app = GetSetupApp();
  if (app.runFromSource) {
    PointTargetsIntoSource(app);
  } else if (!CopySelectedFiles()) {
    return kFailedPage;
  }
  const CInstallModel& model = *app.model;
  app.System().CreateProgramItems(model.targets, model.programFolder, model.destinations.GetPath(0));
  model.SaveToLog(app.logPath);
  return GetNextPageId();
}
