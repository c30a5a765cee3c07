// CSetupState: what lives for the whole run of the setup program and what
// the wizard pages read and write: the product's texts, the switches, the
// run's outcome, the install data model, the paths of the setup profile,
// the source directory and the install log, the source media, the user's
// choices, and the system actions through which the run acts on the
// machine. The application holds it; the pages reach it through their
// wizard.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "setup/install/InstallTransaction.h"
#include "setup/log/VerboseLog.h"
#include "setup/paths/PathName.h"
#include "setup/profile/ProductIdentity.h"
#include "setup/system/RunLock.h"
#include "setup/wizard/RunOutcome.h"

class CInstallLog;
class CInstallModel;
class CSourceMedia;
class CSystemActions;

// The user name and company from the User Information page.
struct CUserInfo {
  std::string name;
  std::string company;
};

// The wizard's choices as the command line gives them; a value that was
// not given is empty (the page's own proposal stands). Each is the page's
// starting value and passes the page's checks like a typed one.
struct CCommandLineChoices {
  std::optional<std::string> directory;      // /T: the installation directory
  std::optional<std::string> programFolder;  // /G: the Start Menu folder
  std::optional<std::string> userName;       // /N: the user's name
  std::optional<std::string> company;        // /O: the company
};

class CSetupState {
public:
  // system: what the run asks of the machine. The source media ask for a
  // missing diskette with the Insert Diskette dialog, named by the label
  // the model's diskette table gives it.
  explicit CSetupState(std::unique_ptr<CSystemActions> system);
  ~CSetupState();
  CSetupState(const CSetupState&) = delete;
  CSetupState& operator=(const CSetupState&) = delete;

  // The product's lock on the machine, held from the start of the run to
  // its very end: declared first, it goes after everything else (the
  // install log's last save included).
  CRunLock runLock;
  // A silent installation's changes, each named before it is made, so
  // that the run commits whole or is undone (inactive in the other runs).
  CInstallTransaction transaction;

  // The product the run installs or removes (Veltrane unless the kit's
  // [Product] names another), and what follows from it: set together by
  // SetProduct.
  CProductIdentity product;
  std::string productTitle;    // caption of the main window, title painted on it
  std::string productKeyName;  // Uninstall subkey; the install log, the lock and the verbose log are named after it
  std::string programFile;     // file name of the installed product program
  // Takes identity as the run's product: productTitle, productKeyName,
  // programFile and the model's default Start Menu folder follow it.
  void SetProduct(CProductIdentity identity);
  // The string-table text id as it names the run's product.
  std::string ProductText(UINT id) const;

  bool removeMode = false;        // /U: the run removes the product
  bool batchMode = false;         // /B: unattended; pages proceed by themselves, windows out of sight
  bool ignoreConditions = false;  // /I: unmet install conditions may be passed
  bool runFromSource = false;     // /C: nothing is copied
  // /S: silent; everything batchMode does (which it sets too), and no
  // window is ever shown: every question gets its fixed answer, written to
  // the verbose log, and a page that refuses its input fails the run.
  bool silentMode = false;
  CCommandLineChoices choices;
  // The administrator's account of the run (/L); closed without /L.
  CVerboseLog verboseLog;

  // One-way outcome flags: installSucceeded is only ever cleared,
  // rebootNeeded only ever set. A running copy stops after the current
  // file (or archive member) once installSucceeded is cleared.
  bool installSucceeded = true;
  bool rebootNeeded = false;
  // Why the run failed; the first cause recorded stays. Read only at the
  // end, for the exit code.
  FailureCause failureCause = FailureCause::none;

  // The run has failed for cause: installSucceeded is cleared and the
  // cause recorded unless an earlier one was. This is the run's one stop:
  // the pages, the copy and the background window's close question all
  // end the run through it.
  void RecordFailure(FailureCause cause) noexcept;

  // The install data model (destinations, groups, targets, files,
  // diskettes and programFolder, the Start Menu folder of the product's
  // shortcuts), created at start-up and released at exit. Filled by the
  // Reading page, written to the install log by the copy page.
  std::unique_ptr<CInstallModel> model;

  CPathName profilePath;  // the setup profile (the install log in remove mode)
  CPathName sourceDir;    // where archives and diskette files are looked for
  CPathName logPath;      // the install log
  // The install log at logPath, in memory for the run (read at its first
  // use): every reader and writer of the log in the run goes through it.
  CInstallLog& InstallLog();
  // Finds the files of the distribution in sourceDir, asking for diskettes;
  // changes sourceDir when the files turn up elsewhere.
  const std::unique_ptr<CSourceMedia> sourceMedia;
  CUserInfo userInfo;
  // The size of the files the copy installed or kept, in KiB, once it has
  // gone through; none when nothing was copied.
  std::optional<DWORD> installedKiB;

  // What the run asks of the machine: the Windows version, shortcuts,
  // registration, restart.
  CSystemActions& System() const noexcept { return *system_; }

private:
  const std::unique_ptr<CSystemActions> system_;
  std::unique_ptr<CInstallLog> installLog_;
};
