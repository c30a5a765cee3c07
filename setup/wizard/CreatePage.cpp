// The page factory: one case per page of the wizard, each with its fixed
// successor (set by the page class).
#include <memory>

#include "setup/resources/ResourceIds.h"
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
#include "setup/wizard/StartMenuFolderPage.h"
#include "setup/wizard/UnregisteringPage.h"
#include "setup/wizard/UserInfoPage.h"
#include "setup/wizard/WelcomePage.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/Wizard.h"

namespace {

std::unique_ptr<CWizardPage> MakePage(int id, const CSetupState& state) {
  switch (id) {
    case IDD_WELCOME: return std::make_unique<CWelcomePage>();
    case IDD_READING_SETUP: return std::make_unique<CReadingSetupPage>(state.removeMode);
    case IDD_AGREEMENT: return std::make_unique<CAgreementPage>();
    case IDD_INSTALL_CONDITIONS: return std::make_unique<CInstallConditionsPage>();
    case IDD_DIRECTORY: return std::make_unique<CDirectoryPage>();
    case IDD_START_MENU_FOLDER: return std::make_unique<CStartMenuFolderPage>();
    case IDD_USER_INFO: return std::make_unique<CUserInfoPage>();
    case IDD_READY_TO_COPY: return std::make_unique<CReadyToCopyPage>();
    case IDD_COPY_PROGRESS: return std::make_unique<CCopyProgressPage>();
    case IDD_REGISTERING: return std::make_unique<CRegisteringPage>();
    case IDD_FINISHED: return std::make_unique<CFinishedPage>();
    case IDD_RESTART: return std::make_unique<CRestartPage>();
    case IDD_FAILED: return std::make_unique<CFailedPage>();
    case IDD_REMOVE_CONFIRM: return std::make_unique<CRemoveConfirmPage>();
    case IDD_REMOVING_FILES: return std::make_unique<CRemovingFilesPage>();
    case IDD_UNREGISTERING: return std::make_unique<CUnregisteringPage>();
    case IDD_REMOVED: return std::make_unique<CRemovedPage>();
    default: return nullptr;
  }
}

}  // namespace

CWizardPage* CWizard::CreatePage(int id) {
  std::unique_ptr<CWizardPage> page = MakePage(id, state_);
  return page ? AdoptPage(std::move(page)) : nullptr;
}
