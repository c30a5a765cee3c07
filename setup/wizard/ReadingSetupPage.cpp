#include "setup/wizard/ReadingSetupPage.h"

#include "setup/errors/XException.h"
#include "setup/wizard/SetupState.h"
#include "setup/profile/InstallModel.h"
#include "setup/resources/ResourceIds.h"
#include "framework/PumpMessages.h"

namespace {

// Setup types: 2 is the normal installation, 3 the one that runs the
// product from the distribution.
constexpr int kTypicalSetup = 2;
constexpr int kRunFromSourceSetup = 3;

}  // namespace

CReadingSetupPage::CReadingSetupPage(bool removeMode)
    : CWizardPage(IDD_READING_SETUP, removeMode ? IDD_REMOVING_FILES : IDD_AGREEMENT, false) {}

int CReadingSetupPage::DoPageWork() {
  CSetupState& app = State();
  CInstallModel& model = *app.model;
  // The entries read their archives through the application's source media.
  try {
    model.Load(app.profilePath, &PumpMessages);
  } catch (CXException& e) {
    // Whatever was wrong, it was wrong with this file: the report says
    // which one was read (or looked for).
    if (e.GetSubject().empty()) {
      e.SetSubject(app.profilePath.GetPath() + (app.profilePath.Exists() ? "" : " (the file does not exist)"));
    }
    throw;
  }

  if (app.runFromSource) {
    // The product is used where the setup program lies.
    model.destinations.SetPath(0, CPathName(SpecialDirectory::setup).GetPath());
    model.destinations.Resolve();
    model.groups.SelectBySetupType(kRunFromSourceSetup);
  } else {
    model.groups.SelectBySetupType(kTypicalSetup);
  }
  // A Cancel answered while the queue was drained has turned the
  // successor into the failure page.
  return GetNextPageId();
}
