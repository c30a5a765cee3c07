// CSetupApp: the setup program's application object. It is the run's state
// (CSetupState: the install data model, the paths, the user's choices, the
// outcome and the system actions) and owns the wizard, whose pages reach
// that state through it, and the background window. What works below the
// pages is given what it needs.
#pragma once

#include <memory>
#include <string>

#include "framework/WinApp.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/Wizard.h"

class CCommandLineArgs;
class CMainWnd;
class CSystemActions;

class CSetupApp : public CWinApp, public CSetupState {
public:
  // An application that acts on the machine it runs on
  // (CWindowsSystemActions).
  CSetupApp();
  ~CSetupApp() override;

  // Start-up: the data model, the texts, the paths, the dialog colours,
  // the command line, the background window, the question whether an
  // existing installation may be overwritten, then the first wizard page
  // (the Remove page in remove mode, otherwise Welcome after the splash).
  // A silent run makes no window at all: no background, no splash; it
  // walks the wizard's steps without their windows to the end, here, and
  // leaves the message loop at once. False ends the program at once, as a
  // failed run.
  BOOL InitInstance() override;
  // Shutdown: the exit code is decided from the outcome flags, the failure
  // cause and the page the run ended on (CRunOutcome); the wizard pages are
  // destroyed, the status report is sent (install mode only) and the data
  // model is released. Returns the exit code.
  int ExitInstance() override;
  // An exception that escaped a window procedure is shown in the error
  // dialog under "Setup cannot continue"; the program carries on.
  LRESULT ProcessWndProcException(CException& e, const MSG* msg) override;
  // A silent run has no window to close: a close request posted to its
  // thread (WM_CLOSE without a window) asks the background window's close
  // question, which the run answers unseen, until its walk has ended.
  BOOL PreTranslateMessage(MSG* msg) override;

  // Applies the recognised switches: /D<dir> or /D:<dir> (the directory of
  // sourceDir and profilePath), /U, /B, /I, /C, /S (silent, which includes
  // /B), and the wizard's choices /T:<dir>, /G:<folder>, /N:<name> and
  // /O:<company>. Keys are case-sensitive; anything else is ignored.
  void ApplySwitches(const CCommandLineArgs& args);
  // Takes the run's product, and the install log named after it: for a
  // removal with /P:<key>, the product that log records (/P is how the
  // uninstall command of a product the kit names finds its log); else the
  // [Product] of the kit's profile (a profile that cannot be read gives
  // the built-in product until the Reading page reports it), or Veltrane.
  // False, after telling the user, for a /P that is no product key.
  bool TakeProduct(const CCommandLineArgs& args);
  // Takes the product's lock on the machine. False when another run holds
  // it: this run then ends at once with anotherRun, before any window,
  // having told so (in its own verbose log when /L asks for one, and in a
  // message box, which a silent run answers unseen) and changed nothing.
  bool TakeRunLock(const CCommandLineArgs& args);
  // Opens the verbose log that /L[:<file>] asks for (without a file, a new
  // one of the run's own in the temporary directory, see
  // CVerboseLog::OpenNew), writes the run's first lines and names the file
  // in the install log's [Events]. False when the log was asked for and
  // cannot be written: a line in [Events] (or, where that cannot be
  // written either, a file of its own in the Windows directory's Temp
  // folder) names the log and why; the run then ends before it has done
  // anything.
  bool OpenVerboseLog(const CCommandLineArgs& args);
  // Undoes what a silent installation that never committed left (or
  // completes the commit it had begun), before anything reads the install
  // log; then a silent installation begins its own transaction.
  void RecoverEarlierRun();
  void BeginTransaction();
  // A silent installation that ended well commits; one that did not is
  // rolled back. May turn a success into restartRequired (a kept copy in
  // use).
  void EndTransaction();

  // Message boxes and modal dialogs: noted in the verbose log with their
  // answers; in a silent run answered without being shown.
  int DoMessageBox(const std::string& text, UINT type, const char* caption) override;
  INT_PTR DoModalDialog(CDialog& dialog) override;

  // The directory of an earlier installation: the App Paths entry of
  // programFile, when it names a Windows executable. False when there is
  // none.
  bool FindExistingInstallation(std::string& directory) const;

  // The setup wizard of the run, which owns the pages.
  CWizard& Wizard() noexcept { return wizard_; }

protected:
  // An application whose requests to the machine go to system instead
  // (a test's own application).
  explicit CSetupApp(std::unique_ptr<CSystemActions> system);

private:
  // Asks whether an installation found through App Paths may be
  // overwritten; true when there is none or the user answers Yes.
  bool ConfirmOverwrite() const;
  // Opens file for appending, or a new file of the run's own when it is
  // empty (a bare /L).
  bool OpenVerboseLogFile(const std::string& file);
  void WriteRunHeader();
  // Whether this run may write to the install log: not when there is no
  // path, nor in a removal that finds no log.
  bool MayWriteInstallLog() const;
  void LeaveTraceOfUnwritableLog(const std::string& path, DWORD error);
  // The splash: the program's own, or the kit's picture for a product the
  // kit names (none when it brings none, or one that cannot be drawn).
  void ShowSplash();

  std::unique_ptr<CMainWnd> mainWnd_;
  // Declared after the background window: its pages go first.
  CWizard wizard_{*this};
};
