#include "setup/wizard/CopyProgressPage.h"

#include "setup/app/SetupApp.h"
#include "setup/profile/DestinationTable.h"
#include "setup/profile/GroupTable.h"
#include "setup/profile/TargetTable.h"
#include "setup/system/SystemActions.h"
#include "setup/wizard/PlaceWindow.h"

BOOL CCopyProgressPage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  PlaceWindow(m_hWnd, 5, 7, 3, 5, nullptr);
  return TRUE;
}

void CCopyProgressPage::PointTargetsIntoSource(CSetupApp& app) {
  for (const auto& entry : *app.targets) {
    CTarget& target = *entry.target;
    const bool isProduct = ::lstrcmpiA(target.key.c_str(), app.programFile.c_str()) == 0;
    CPathName path = app.destinations->GetPath(isProduct ? 0 : 1);
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
  app.System().CreateProgramItems(*app.targets, app.programFolder, app.destinations->GetPath(0));
  app.destinations->SaveToLog(app.logPath);
  app.groups->SaveToLog(app.logPath);
  app.targets->SaveToLog(app.logPath, app.programFolder);
  return GetNextPageId();
}
