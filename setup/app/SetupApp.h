// CSetupApp: the setup program's application object. It owns every piece
// of state that lives for the run: the install data model, the paths of the
// setup profile, the source directory and the install log, the user's
// choices and the two one-way outcome flags. Every subsystem reaches it as
// the current application (GetSetupApp) and reads or writes these members
// directly.
#pragma once

#include <memory>
#include <string>

#include "framework/WinApp.h"
#include "setup/transfer/PathName.h"

class CDestinationTable;
class CGroupTable;
class CTargetTable;
class CFileList;
class CDisketteTable;

// The user name and company from the User Information page.
struct CUserInfo {
  std::string name;
  std::string company;
};

class CSetupApp : public CWinApp {
public:
  CSetupApp();
  ~CSetupApp() override;

  std::string productTitle;    // caption of the main window, title painted on it
  std::string programFolder;   // Start Menu folder of the product's shortcuts
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

  // The install data model, created at start-up and released at exit.
  std::unique_ptr<CDestinationTable> destinations;
  std::unique_ptr<CGroupTable> groups;
  std::unique_ptr<CTargetTable> targets;
  std::unique_ptr<CFileList> files;
  std::unique_ptr<CDisketteTable> diskettes;

  CPathName profilePath;  // the setup profile (the install log in remove mode)
  CPathName sourceDir;    // where archives and diskette files are looked for
  CPathName logPath;      // the install log
  CUserInfo userInfo;
};

// The current application as the setup program's; throws
// CNotSupportedException when the current application is not one.
CSetupApp& GetSetupApp();
