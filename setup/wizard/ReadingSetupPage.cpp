#include "setup/wizard/ReadingSetupPage.h"

#include <string>

#include "setup/archive/KitSealFile.h"
#include "setup/archive/SourceMedia.h"
#include "setup/errors/XException.h"
#include "setup/profile/InstallProfileException.h"
#include "setup/wizard/SetupState.h"
#include "setup/profile/IniTextFile.h"
#include "setup/profile/InstallModel.h"
#include "setup/profile/ProfileCheck.h"
#include "setup/wizard/KitProduct.h"
#include "setup/resources/ResourceIds.h"
#include "framework/PumpMessages.h"

namespace {

// Setup types: 2 is the normal installation, 3 the one that runs the
// product from the distribution.
constexpr int kTypicalSetup = 2;
constexpr int kRunFromSourceSetup = 3;

// An installation reads its kit through the seal beside the profile, when
// the kit has one: the profile is checked before it is read, and the seal
// goes with the source media, which check every further file.
void CheckKitSeal(CSetupState& app) {
  if (!app.profilePath.Exists()) return;  // the load names what is missing
  std::optional<CKitSeal> seal = ReadKitSealBeside(app.profilePath);
  if (seal) {
    CheckSealedFile(*seal, 1, app.profilePath);
    app.verboseLog.Write("The kit's seal (version %d) lists %u files; the profile matches it.", seal->GetVersion(),
                         static_cast<unsigned>(seal->GetEntries().size()));
  }
  app.sourceMedia->SetSeal(std::move(seal));
}

}  // namespace

CReadingSetupPage::CReadingSetupPage() : CWizardPage(IDD_READING_SETUP) {}

int CReadingSetupPage::DoPageWork() {
  CSetupState& app = State();
  CInstallModel& model = *app.model;
  // The entries read their archives through the application's source media.
  try {
    if (!app.removeMode) CheckKitSeal(app);
    // In remove mode the profile is the install log, read once for the run
    // with what an ended run left in its journal.
    // The file must name the product the run started as.
    if (app.removeMode) {
      model.Load(app.InstallLog().Text(), &PumpMessages);
      CheckSameProduct(app.InstallLog().Text(), app.product, app.logPath);
    } else {
      const CIniText profile = ReadIniTextFile(app.profilePath);
      model.Load(profile, &PumpMessages);
      CheckSameProduct(profile, app.product, app.profilePath);
      CheckSetupProfile(profile, model, app.profilePath);
    }
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
