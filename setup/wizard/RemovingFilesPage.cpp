#include "setup/wizard/RemovingFilesPage.h"

#include "setup/wizard/SetupState.h"
#include "setup/install/InstalledFileRemoval.h"
#include "setup/profile/InstallModel.h"
#include "setup/system/SystemActions.h"
#include "framework/PumpMessages.h"

int CRemovingFilesPage::DoPageWork() {
  CSetupState& app = State();
  const CInstallModel& model = *app.model;
  // A product that runs from the distribution has nothing on the machine
  // but its shortcuts.
  if (app.runFromSource) {
    app.System().RemoveProgramItems(model.targets, model.programFolder, app.verboseLog);
    return GetNextPageId();
  }
  CInstalledFileRemoval removal(app.logPath, model.destinations, model.groups, [this](const CPathName& path) {
    SetDlgItemText(IDC_REMOVING_FILE, path.GetPath());
    PumpMessages();
  }, app.verboseLog);
  removal.RemoveFiles();
  app.System().RemoveProgramItems(model.targets, model.programFolder, app.verboseLog);
  removal.RemoveDirectories();
  return GetNextPageId();
}
