#include "setup/wizard/WizardStep.h"

#include "setup/wizard/AgreementPage.h"
#include "setup/wizard/CopyProgressPage.h"
#include "setup/wizard/DirectoryPage.h"
#include "setup/wizard/FailedPage.h"
#include "setup/wizard/FinishedPage.h"
#include "setup/wizard/InstallConditionsPage.h"
#include "setup/wizard/ReadingSetupPage.h"
#include "setup/wizard/ReadyToCopyPage.h"
#include "setup/wizard/RegisteringPage.h"
#include "setup/wizard/RemoveConfirmPage.h"
#include "setup/wizard/RemovedPage.h"
#include "setup/wizard/RemovingFilesPage.h"
#include "setup/wizard/RestartPage.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/StartMenuFolderPage.h"
#include "setup/wizard/UnregisteringPage.h"
#include "setup/wizard/UserInfoPage.h"
#include "setup/wizard/WelcomePage.h"

namespace {

template <class Page>
std::unique_ptr<CWizardPage> Make() {
  return std::make_unique<Page>();
}

// When a step is shown.
bool Always(const CSetupState&, const CWizardPage&) { return true; }
bool OnFirstArrival(const CSetupState&, const CWizardPage& page) { return !page.WasHiddenOnce(); }
bool WhenConditionsUnmet(const CSetupState& state, const CWizardPage&) {
  return !CInstallConditionsPage::UnmetConditions(state).empty();
}
bool UnlessRunFromSource(const CSetupState& state, const CWizardPage&) { return !state.runFromSource; }

constexpr std::int16_t kEnd = kEndOfProgramStep;
constexpr auto kNowhere = CWizardStep::Back::nowhere;
constexpr auto kCameFrom = CWizardStep::Back::cameFrom;

// The installation: 102 114 150 (1537) 104 162 126 153 108 1549, then 115,
// 1558 or 116. The removal: 1545 114 1546 1550 1547. The registration
// decides its own successor; a failure anywhere leads to 116.
constexpr CWizardStep kSteps[] = {
    // page                 made as                        next                    removing            back       bar    shown
    {IDD_WELCOME,            Make<CWelcomePage>,            IDD_READING_SETUP,      0,                  kNowhere,  true,  Always},
    {IDD_READING_SETUP,      Make<CReadingSetupPage>,       IDD_AGREEMENT,          IDD_REMOVING_FILES, kCameFrom, false, OnFirstArrival},
    {IDD_AGREEMENT,          Make<CAgreementPage>,          IDD_INSTALL_CONDITIONS, 0,                  kCameFrom, true,  Always},
    {IDD_INSTALL_CONDITIONS, Make<CInstallConditionsPage>,  IDD_DIRECTORY,          0,                  kCameFrom, true,  WhenConditionsUnmet},
    {IDD_DIRECTORY,          Make<CDirectoryPage>,          IDD_START_MENU_FOLDER,  0,                  kCameFrom, true,  UnlessRunFromSource},
    {IDD_START_MENU_FOLDER,  Make<CStartMenuFolderPage>,    IDD_USER_INFO,          0,                  kCameFrom, true,  Always},
    {IDD_USER_INFO,          Make<CUserInfoPage>,           IDD_READY_TO_COPY,      0,                  kCameFrom, true,  UnlessRunFromSource},
    {IDD_READY_TO_COPY,      Make<CReadyToCopyPage>,        IDD_COPY_PROGRESS,      0,                  kCameFrom, true,  Always},
    {IDD_COPY_PROGRESS,      Make<CCopyProgressPage>,       IDD_REGISTERING,        0,                  kCameFrom, false, Always},
    {IDD_REGISTERING,        Make<CRegisteringPage>,        IDD_FINISHED,           0,                  kCameFrom, false, Always},
    {IDD_FINISHED,           Make<CFinishedPage>,           kEnd,                   0,                  kCameFrom, false, Always},
    {IDD_RESTART,            Make<CRestartPage>,            kEnd,                   0,                  kCameFrom, false, Always},
    {IDD_FAILED,             Make<CFailedPage>,             kEnd,                   0,                  kCameFrom, false, Always},
    {IDD_REMOVE_CONFIRM,     Make<CRemoveConfirmPage>,      IDD_READING_SETUP,      0,                  kNowhere,  true,  Always},
    {IDD_REMOVING_FILES,     Make<CRemovingFilesPage>,      IDD_UNREGISTERING,      0,                  kCameFrom, false, Always},
    {IDD_UNREGISTERING,      Make<CUnregisteringPage>,      IDD_REMOVED,            0,                  kCameFrom, false, Always},
    {IDD_REMOVED,            Make<CRemovedPage>,            kEnd,                   0,                  kCameFrom, false, Always},
};

}  // namespace

int CWizardStep::FirstNext(const CSetupState& state) const {
  return state.removeMode && nextRemoving != 0 ? nextRemoving : next;
}

const CWizardStep* FindWizardStep(int pageId) {
  for (const CWizardStep& step : kSteps) {
    if (step.pageId == pageId) return &step;
  }
  return nullptr;
}
