#include "setup/wizard/ReadingSetupPage.h"

#include "setup/app/SetupApp.h"
#include "setup/profile/DestinationTable.h"
#include "setup/profile/DisketteTable.h"
#include "setup/profile/FileList.h"
#include "setup/profile/GroupTable.h"
#include "setup/profile/TargetTable.h"
#include "setup/resources/ResourceIds.h"
#include "setup/wizard/PumpMessages.h"

namespace {

// Setup types: 2 is the normal installation, 3 the one that runs the
// product from the distribution.
constexpr int kTypicalSetup = 2;
constexpr int kRunFromSourceSetup = 3;

}  // namespace

CReadingSetupPage::CReadingSetupPage()
    : CWizardPage(IDD_READING_SETUP, GetSetupApp().removeMode ? IDD_REMOVING_FILES : IDD_AGREEMENT, false) {}

int CReadingSetupPage::DoPageWork() {
  CSetupApp& app = GetSetupApp();
  const CPathName& profile = app.profilePath;
  app.destinations->Load(profile);
  PumpMessages();
  app.groups->Load(profile);
  PumpMessages();
  app.targets->Load(profile, app.programFolder);
  PumpMessages();
  // The entries read their archives through the application's source media.
  app.files->Load(profile, *app.groups, *app.sourceMedia);
  PumpMessages();
  app.diskettes->Load(profile);
  PumpMessages();

  if (app.runFromSource) {
    // The product is used where the setup program lies.
    app.destinations->SetPath(0, CPathName(SpecialDirectory::setup).GetPath());
    app.destinations->Resolve();
    app.groups->SelectBySetupType(kRunFromSourceSetup);
  } else {
    app.groups->SelectBySetupType(kTypicalSetup);
  }
  // A Cancel answered while the queue was drained has turned the
  // successor into the failure page.
  return GetNextPageId();
}
