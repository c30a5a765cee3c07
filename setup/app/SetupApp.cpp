#include "setup/app/SetupApp.h"

#include <shellapi.h>

#include "framework/Resources.h"
#include "framework/BitmapDialog.h"
#include "framework/Dialog.h"
#include "setup/app/CommandLineArgs.h"
#include "setup/app/MainWnd.h"
#include "setup/app/UnattendedAnswers.h"
#include "framework/PackedBitmap.h"
#include "setup/archive/KitSealFile.h"
#include "setup/errors/ErrorReport.h"
#include "setup/log/EventTrail.h"
#include "setup/log/InstallLog.h"
#include "setup/profile/IniTextFile.h"
#include "setup/profile/InstallModel.h"
#include "setup/resources/ResourceIds.h"
#include "setup/system/AppPath.h"
#include "setup/system/StatusMif.h"
#include "setup/system/WindowsSystemActions.h"
#include "setup/wizard/KitProduct.h"
#include "setup/wizard/Wizard.h"
#include "setup/wizard/WizardPage.h"
#include "framework/JoinText.h"

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

  profilePath = CPathName::GetProgramPath();
  profilePath.SetExtension("ini");
  sourceDir = CPathName(SpecialDirectory::setup);

  SetDialogBkColor(::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_WINDOWTEXT));

  const CCommandLineArgs args(m_lpCmdLine);
  ApplySwitches(args);
  // The product names everything from here on: the lock, the logs, the
  // texts and the windows.
  if (!TakeProduct(args)) {
    RecordFailure(FailureCause::error);
    return FALSE;
  }
  m_title = ProductText(IDS_APP_TITLE);
  if (!TakeRunLock(args)) return FALSE;
  if (!OpenVerboseLog(args)) {
    RecordFailure(FailureCause::error);
    return FALSE;
  }

  // A silent run has nothing to show: it makes no window at all.
  if (!silentMode) {
    // A run that ends here has installed nothing: it must not be reported
    // as a successful installation.
    auto mainWnd = std::make_unique<CMainWnd>(*this);
    if (!mainWnd->Create()) {
      RecordFailure(FailureCause::error);
      return FALSE;
    }
    mainWnd_ = std::move(mainWnd);
    m_pMainWnd = mainWnd_.get();
    mainWnd_->UpdateWindow();
    wizard_.SetBackgroundPalette(mainWnd_->GetPalette());
  }

  if (!removeMode && !ConfirmOverwrite()) {
    RecordFailure(FailureCause::user);
    return FALSE;
  }

  // The removal reads the install log with the profile's readers.
  if (removeMode) profilePath = logPath;
  const int firstPage = removeMode ? kFirstRemovePage : kFirstInstallPage;
  if (silentMode) {
    wizard_.WalkUnseen(firstPage);
    ::PostQuitMessage(0);
    return TRUE;
  }
  if (!removeMode) ShowSplash();
  wizard_.ShowPage(firstPage, false);
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
  if (args.Has("S")) silentMode = batchMode = true;
  std::string value;
  if (args.Get("T", value)) choices.directory = value;
  if (args.Get("G", value)) choices.programFolder = value;
  if (args.Get("N", value)) choices.userName = value;
  if (args.Get("O", value)) choices.company = value;
}

bool CSetupApp::TakeProduct(const CCommandLineArgs& args) {
  std::string key;
  if (removeMode && args.Get("P", key)) {
    if (!IsProductKey(key)) {
      AfxMessageBox(JoinText({"Setup cannot remove a product of the key \"", key, "\" (/P): that is no product key."}),
                    MB_OK | MB_ICONSTOP);
      return false;
    }
    // Only read: the log is taken in (with its journal) once the run holds
    // the product's lock.
    SetProduct(ReadLogProduct(ReadIniTextFile(InstallLogPath(key + ".log")), key));
  } else {
    try {
      SetProduct(ReadKitProduct(profilePath));
    } catch (...) {
      // Until the Reading page reports what is wrong with the kit, the run
      // is the built-in product's.
      SetProduct(CProductIdentity::Builtin());
    }
  }
  logPath = InstallLogPath(product.LogFileName());
  return true;
}

bool CSetupApp::TakeRunLock(const CCommandLineArgs& args) {
  const std::string name = CRunLock::MutexNameHere(productKeyName);
  if (runLock.Acquire(name) != CRunLock::Result::heldElsewhere) return true;
  RecordFailure(FailureCause::anotherRun);
  // The install log and everything else on the machine belong to the run
  // that holds the lock; this one writes only to a verbose log of its own.
  std::string file;
  if (args.Get("L", file) && OpenVerboseLogFile(file)) {
    WriteRunHeader();
    verboseLog.Write("Another run of Setup holds the lock \"%s\": this run ends at once, having changed nothing.",
                     name.c_str());
  }
  AfxMessageBox(ProductText(IDS_ANOTHER_RUN), MB_OK | MB_ICONSTOP);
  return false;
}

bool CSetupApp::OpenVerboseLogFile(const std::string& file) {
  return file.empty() ? verboseLog.OpenNew(CVerboseLog::TemporaryFolder(), productKeyName) : verboseLog.Open(file);
}

void CSetupApp::WriteRunHeader() {
  verboseLog.Write("%s %s started. Command line: %s", productKeyName.c_str(), removeMode ? "removal" : "setup",
                   m_lpCmdLine.c_str());
  verboseLog.Write("Mode: %s, %s%s%s; setup program: %s; reads %s; install log: %s",
                   removeMode ? "remove" : "install",
                   silentMode ? "silent (/S)" : (batchMode ? "batch (/B)" : "interactive"),
                   ignoreConditions ? ", conditions ignored (/I)" : "", runFromSource ? ", run from the source (/C)" : "",
                   CPathName::GetProgramPath().c_str(), removeMode ? logPath.c_str() : profilePath.c_str(),
                   logPath.c_str());
}

bool CSetupApp::MayWriteInstallLog() const {
  // A removal that finds no log must not make one: it would leave a file
  // of the product's behind, and the next removal would find a log that
  // records nothing.
  return !logPath.IsEmpty() && (!removeMode || logPath.Exists());
}

bool CSetupApp::OpenVerboseLog(const CCommandLineArgs& args) {
  std::string file;
  if (!args.Get("L", file)) {
    RecoverEarlierRun();
    BeginTransaction();
    return true;
  }
  if (OpenVerboseLogFile(file)) {
    WriteRunHeader();
    RecoverEarlierRun();
    BeginTransaction();
    if (MayWriteInstallLog()) LogEvent(InstallLog(), "Verbose log of this run: %s", verboseLog.GetPath().c_str());
    return true;
  }
  const DWORD error = ::GetLastError();
  // The run ends here, with a trace in the install log of what it could
  // not do: nothing else of it is to be undone.
  RecoverEarlierRun();
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  const std::string path =
      file.empty() ? CVerboseLog::TemporaryFolder() + CVerboseLog::RunLogName(productKeyName, now) : file;
  LeaveTraceOfUnwritableLog(path, error);
  AfxMessageBox(JoinText({"Setup cannot write its log file ", path, "."}), MB_OK | MB_ICONSTOP);
  return false;
}

void CSetupApp::RecoverEarlierRun() {
  if (!logPath.IsEmpty()) CInstallTransaction::Recover(logPath, verboseLog);
}

void CSetupApp::BeginTransaction() {
  if (!silentMode || removeMode || logPath.IsEmpty()) return;
  if (transaction.Begin(logPath)) {
    verboseLog.Write("The installation is one step: every change is journalled in %s, and undone when the run "
                     "fails or is ended before it completes.",
                     CRollbackJournal::PathFor(logPath).c_str());
  } else {
    verboseLog.Write("The rollback journal %s could not be made: a failure of this run cannot be undone.",
                     CRollbackJournal::PathFor(logPath).c_str());
  }
}

void CSetupApp::EndTransaction() {
  if (!transaction.IsActive()) return;
  if (m_exitCode == SetupExitCode::success || m_exitCode == SetupExitCode::restartRequired) {
    InstallLog().Finish();
    if (!transaction.Commit(verboseLog) && m_exitCode == SetupExitCode::success) {
      m_exitCode = SetupExitCode::restartRequired;
      verboseLog.Write("Exit code %d (%s): a replaced file is in use until the restart.", m_exitCode,
                       ExitCodeMeaning(m_exitCode));
    }
    return;
  }
  // Nothing of the run's own log is saved from here on: the log goes back
  // to what it was.
  InstallLog().Forget();
  transaction.RollBack(verboseLog);
  verboseLog.Write("Everything this run changed is rolled back; exit code %d (%s).", m_exitCode,
                   ExitCodeMeaning(m_exitCode));
}

void CSetupApp::LeaveTraceOfUnwritableLog(const std::string& path, DWORD error) {
  const std::string reason = CVerboseLog::DescribeError(error);
  if (MayWriteInstallLog()) {
    LogEvent(InstallLog(), "Could not make the verbose log %s: %s", path.c_str(), reason.c_str());
    if (InstallLog().Save()) return;
  }
  // Nothing of the install log can be written either: the line goes into
  // a file of its own in the Windows directory's temporary folder, which
  // every Windows has.
  CPathName windowsTemp(SpecialDirectory::windows);
  if (windowsTemp.IsEmpty()) return;
  CVerboseLog trace;
  if (trace.OpenNew(windowsTemp.GetPath() + "Temp\\", productKeyName)) {
    trace.Write("%s %s: could not make the verbose log %s: %s. Command line: %s", productKeyName.c_str(),
                removeMode ? "removal" : "setup", path.c_str(), reason.c_str(), m_lpCmdLine.c_str());
  }
}

int CSetupApp::DoMessageBox(const std::string& text, UINT type, const char* caption) {
  const bool question = IsQuestion(type);
  if (silentMode) {
    const int answer = UnattendedAnswer(type);
    if (question) {
      verboseLog.Write("Question not shown (silent run): \"%s\" Answer: %s", text.c_str(), AnswerName(answer));
    } else {
      verboseLog.Write("Message not shown (silent run): \"%s\"", text.c_str());
    }
    return answer;
  }
  verboseLog.Write("%s shown: \"%s\"", question ? "Question" : "Message", text.c_str());
  const int answer = CWinApp::DoMessageBox(text, type, caption);
  if (question) verboseLog.Write("Answer: %s", AnswerName(answer));
  return answer;
}

INT_PTR CSetupApp::DoModalDialog(CDialog& dialog) {
  if (silentMode) {
    const INT_PTR result = dialog.UnattendedResult();
    verboseLog.Write("Not shown (silent run): %s Answer: %s", dialog.Describe().c_str(),
                     dialog.DescribeResult(result).c_str());
    return result;
  }
  verboseLog.Write("Shown: %s", dialog.Describe().c_str());
  const INT_PTR result = CWinApp::DoModalDialog(dialog);
  verboseLog.Write("Answer: %s", dialog.DescribeResult(result).c_str());
  return result;
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
  // The product's name goes into the text before the directory, which may
  // hold any name.
  return AfxMessageBox(FormatPlaceholders(ProductText(IDS_ALREADY_INSTALLED), directory),
                       MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

void CSetupApp::ShowSplash() {
  CBitmap picture;
  if (product.named) {
    // A product the kit names shows its own splash or none.
    std::vector<unsigned char> dib;
    if (!product.splash.empty()) {
      try {
        const std::optional<CKitSeal> seal = ReadKitSealBeside(profilePath);
        dib = ReadKitPicture(profilePath, seal ? &*seal : nullptr, product.splash, verboseLog);
      } catch (...) {
        verboseLog.Write("The kit's seal cannot be read: its splash %s is not shown.", product.splash.c_str());
      }
    }
    picture.Attach(dib.empty() ? nullptr : CreateBitmapFromDib(dib.data(), dib.size()));
    if (!picture) return;
  }
  CBitmapDialog splash(IDD_BITMAP_DIALOG, std::move(picture), IDB_SPLASH, nullptr, batchMode);
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
  const int finalPageId = finalPage ? finalPage->GetPageId() : 0;
  m_exitCode = CRunOutcome{installSucceeded, rebootNeeded, failureCause, finalPageId}.ExitCode();
  verboseLog.Write("The run ended on page %d with exit code %d (%s).", finalPageId, m_exitCode,
                   ExitCodeMeaning(m_exitCode));
  wizard_.DestroyAllPages();
  // A run that found another one running leaves the install log alone.
  if (!removeMode && failureCause != FailureCause::anotherRun) {
    SendStatusReport(product, installSucceeded, InstallLog());
  }
  EndTransaction();
  model.reset();
  mainWnd_.reset();
  return CWinApp::ExitInstance();
}

BOOL CSetupApp::PreTranslateMessage(MSG* msg) {
  if (silentMode && !msg->hwnd && msg->message == WM_CLOSE) {
    // Once the walk has ended there is nothing left to abandon.
    if (!wizard_.HasEnded()) CMainWnd::AskToAbandon(*this);
    return TRUE;
  }
  return CWinApp::PreTranslateMessage(msg);
}

LRESULT CSetupApp::ProcessWndProcException(CException& e, const MSG* msg) {
  ReportError(IDS_SETUP_CANNOT_CONTINUE, e);
  // Nobody saw the error: the run must not end as a success.
  if (silentMode) RecordFailure(FailureCause::error);
  // A window whose creation failed is not created; anything else goes on.
  return (msg && msg->message == WM_CREATE) ? -1 : 0;
}
