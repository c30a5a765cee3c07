// CSetupApp: the setup program's application object. It owns every piece
// of state that lives for the run: the install data model, the paths of the
// setup profile, the source directory and the install log, the user's
// choices and the two one-way outcome flags, and the system actions through
// which the run acts on the machine. The wizard pages reach it as the
// current application (GetSetupApp) and read or write these members
// directly; what works below the pages is given what it needs.
#pragma once

#include <memory>
#include <string>

#include "framework/WinApp.h"
#include "setup/wizard/RunOutcome.h"
#include "setup/paths/PathName.h"

class CCommandLineArgs;
class CMainWnd;
class CInstallModel;
class CSourceMedia;
class CSystemActions;

// The user name and company from the User Information page.
struct CUserInfo {
  std::string name;
  std::string company;
};

class CSetupApp : public CWinApp {
public:
  // An application that acts on the machine it runs on
  // (CWindowsSystemActions).
  CSetupApp();
  ~CSetupApp() override;

  // Start-up: the data model, the texts, the paths, the dialog colours,
  // the command line, the background window, the question whether an
  // existing installation may be overwritten, then the first wizard page
  // (the Remove page in remove mode, otherwise Welcome after the splash).
  // False ends the program at once, as a failed run.
  BOOL InitInstance() override;
  // Shutdown: the exit code is decided from the outcome flags, the failure
  // cause and the page the run ended on (CRunOutcome); the wizard pages are
  // destroyed, the status report is sent (install mode only) and the data
  // model is released. Returns the exit code.
  int ExitInstance() override;
  // An exception that escaped a window procedure is shown in the error
  // dialog under "Setup cannot continue"; the program carries on.
  LRESULT ProcessWndProcException(CException& e, const MSG* msg) override;

  // Applies the recognised switches: /D<dir> or /D:<dir> (the directory of
  // sourceDir and profilePath), /U, /B, /I and /C. Keys are case-sensitive;
  // anything else is ignored.
  void ApplySwitches(const CCommandLineArgs& args);

  // The directory of an earlier installation: the App Paths entry of
  // programFile, when it names a Windows executable. False when there is
  // none.
  bool FindExistingInstallation(std::string& directory) const;

  std::string productTitle;    // caption of the main window, title painted on it
  std::string productKeyName;  // Uninstall subkey and DisplayName; product in the status report
  std::string programFile;     // file name of the installed product program

  bool removeMode = false;        // /U: the run removes the product
  bool batchMode = false;         // /B: unattended; pages proceed by themselves, windows out of sight
  bool ignoreConditions = false;  // /I: unmet install conditions may be passed
  bool runFromSource = false;     // /C: nothing is copied

  // One-way outcome flags: installSucceeded is only ever cleared,
  // rebootNeeded only ever set.
  bool installSucceeded = true;
  bool rebootNeeded = false;
  // Why the run failed; the first cause recorded stays. Read only at the
  // end, for the exit code.
  FailureCause failureCause = FailureCause::none;

  // The run has failed for cause: installSucceeded is cleared and the
  // cause recorded unless an earlier one was.
  void RecordFailure(FailureCause cause) noexcept;

  // The install data model (destinations, groups, targets, files,
  // diskettes and programFolder, the Start Menu folder of the product's
  // shortcuts), created at start-up and released at exit. Filled by the
  // Reading page, written to the install log by the copy page.
  std::unique_ptr<CInstallModel> model;

  CPathName profilePath;  // the setup profile (the install log in remove mode)
  CPathName sourceDir;    // where archives and diskette files are looked for
  CPathName logPath;      // the install log
  // Finds the files of the distribution in sourceDir, asking for diskettes;
  // changes sourceDir when the files turn up elsewhere. Lives as long as
  // the application.
  const std::unique_ptr<CSourceMedia> sourceMedia;
  CUserInfo userInfo;

  // What the run asks of the machine: the Windows version, shortcuts,
  // registration, restart. Lives as long as the application.
  CSystemActions& System() const noexcept { return *system_; }

protected:
  // An application whose requests to the machine go to system instead
  // (a test's own application).
  explicit CSetupApp(std::unique_ptr<CSystemActions> system);

private:
  // Asks whether an installation found through App Paths may be
  // overwritten; true when there is none or the user answers Yes.
  bool ConfirmOverwrite() const;
  void ShowSplash() const;

  const std::unique_ptr<CSystemActions> system_;
  std::unique_ptr<CMainWnd> mainWnd_;
};

// The current application as the setup program's; throws
// CNotSupportedException when the current application is not one.
CSetupApp& GetSetupApp();
