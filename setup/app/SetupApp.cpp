#include "setup/app/SetupApp.h"

#include <shellapi.h>

#include "framework/Resources.h"
#include "framework/BitmapDialog.h"
#include "setup/app/CommandLineArgs.h"
#include "setup/app/MainWnd.h"
#include "setup/errors/ErrorReport.h"
#include "setup/log/InstallLog.h"
#include "setup/profile/InstallModel.h"
#include "setup/resources/ResourceIds.h"
#include "setup/system/AppPath.h"
#include "setup/system/StatusMif.h"
#include "setup/system/WindowsSystemActions.h"
#include "setup/wizard/Wizard.h"
#include "setup/wizard/WizardPage.h"

namespace {

constexpr int kFirstInstallPage = 102;
constexpr int kFirstRemovePage = 1545;
constexpr DWORD kSplashMilliseconds = 3000;

}  // namespace

CSetupApp::CSetupApp() : CSetupApp(std::make_unique<CWindowsSystemActions>()) {}

CSetupApp::CSetupApp(std::unique_ptr<CSystemActions> system)
    : CSetupState(std::move(system)) {}

CSetupApp::~CSetupApp() = default;

BOOL CSetupApp::InitInstance() {
  model = std::make_unique<CInstallModel>(LoadResourceString(IDS_PROGRAM_FOLDER));

  m_title = LoadResourceString(IDS_APP_TITLE);
  productTitle = LoadResourceString(IDS_PRODUCT_TITLE);
  programFile = LoadResourceString(IDS_PROGRAM_FILE);
  productKeyName = LoadResourceString(IDS_PRODUCT_KEY_NAME);

  profilePath = CPathName::GetProgramPath();
  profilePath.SetExtension("ini");
  sourceDir = CPathName(SpecialDirectory::setup);
  logPath = InstallLogPath();

  SetDialogBkColor(::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_WINDOWTEXT));

  ApplySwitches(CCommandLineArgs(m_lpCmdLine));

  // A run that ends here has installed nothing: it must not be reported as
  // a successful installation.
  auto mainWnd = std::make_unique<CMainWnd>(*this);
  if (!mainWnd->Create()) {
    RecordFailure(FailureCause::error);
    return FALSE;
  }
  mainWnd_ = std::move(mainWnd);
  m_pMainWnd = mainWnd_.get();
  mainWnd_->UpdateWindow();
  wizard_.SetBackgroundPalette(mainWnd_->GetPalette());

  if (!removeMode && !ConfirmOverwrite()) {
    RecordFailure(FailureCause::user);
    return FALSE;
  }

  if (removeMode) {
    // The removal reads the install log with the profile's readers.
    profilePath = logPath;
    wizard_.ShowPage(kFirstRemovePage, false);
  } else {
    ShowSplash();
    wizard_.ShowPage(kFirstInstallPage, false);
  }
  return TRUE;
}

void CSetupApp::ApplySwitches(const CCommandLineArgs& args) {
  std::string directory;
  // An empty directory ("/D" or "/D:") would leave relative names, which
  // the profile functions look for in the Windows directory: ignored.
  if (args.Get("D", directory) && !directory.empty()) {
    sourceDir.SetDirectory(directory);
    profilePath.SetDirectory(directory);
  }
  if (args.Has("U")) removeMode = true;
  if (args.Has("B")) batchMode = true;
  if (args.Has("I")) ignoreConditions = true;
  if (args.Has("C")) runFromSource = true;
}

bool CSetupApp::FindExistingInstallation(std::string& directory) const {
  std::string program;
  if (!LookupAppPath(programFile, program)) return false;
  SHFILEINFOA info{};
  const DWORD_PTR type = ::SHGetFileInfoA(program.c_str(), 0, &info, sizeof info, SHGFI_EXETYPE);
  // The high word holds the Windows version an executable asks for; it is 0
  // for console programs and anything that is no program.
  if (HIWORD(type) == 0) return false;
  directory = CPathName(program).GetDirectory();
  return true;
}

bool CSetupApp::ConfirmOverwrite() const {
  std::string directory;
  if (!FindExistingInstallation(directory)) return true;
  return AfxMessageBox(AfxFormatString1(IDS_ALREADY_INSTALLED, directory),
                       MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

void CSetupApp::ShowSplash() const {
  CBitmapDialog splash(IDD_BITMAP_DIALOG, IDB_SPLASH, nullptr, batchMode);
  if (!splash.Create()) return;
  // Nothing is dispatched while the splash shows: it is painted at once.
  splash.UpdateWindow();
  ::Sleep(kSplashMilliseconds);
  splash.DestroyWindow();
}

int CSetupApp::ExitInstance() {
  // Decided before anything is torn down: the page the run ended on goes
  // with the pages.
  const CWizardPage* const finalPage = wizard_.GetCurrentPage();
  m_exitCode = CRunOutcome{installSucceeded, rebootNeeded, failureCause, finalPage ? finalPage->GetPageId() : 0}
                   .ExitCode();
  wizard_.DestroyAllPages();
  if (!removeMode) SendStatusReport(programFile, productKeyName, installSucceeded, logPath);
  model.reset();
  mainWnd_.reset();
  return CWinApp::ExitInstance();
}

LRESULT CSetupApp::ProcessWndProcException(CException& e, const MSG* msg) {
  ReportError(IDS_SETUP_CANNOT_CONTINUE, e);
  // A window whose creation failed is not created; anything else goes on.
  return (msg && msg->message == WM_CREATE) ? -1 : 0;
}
