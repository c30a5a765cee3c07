#include "setup/wizard/RemovingFilesPage.h"

#include <string>

#include "setup/wizard/DisplayGate.h"
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
  // The page follows the removal as the copy page follows the copy, at
  // most every CDisplayGate::kIntervalMs; the last path is shown at the end.
  CDisplayGate lastShown;
  std::string unshown;
  const auto show = [this](const std::string& path) {
    if (m_hWnd) SetDlgItemText(IDC_REMOVING_FILE, path);
    PumpMessages();
  };
  CInstalledFileRemoval removal(app.InstallLog(), model.destinations, model.groups, [&](const CPathName& path) {
    if (!lastShown.Pass(::GetTickCount())) {
      unshown = path.GetPath();
      return;
    }
    unshown.clear();
    show(path.GetPath());
  }, app.verboseLog);
  removal.RemoveFiles();
  if (!unshown.empty()) show(unshown);
  app.System().RemoveProgramItems(model.targets, model.programFolder, app.verboseLog);
  removal.RemoveDirectories();
  // Files of the product that were in use go at the next restart: the
  // removal ends on the Removed page all the same, with 3010.
  if (removal.FilesWaitForRestart()) app.rebootNeeded = true;
  return GetNextPageId();
}
