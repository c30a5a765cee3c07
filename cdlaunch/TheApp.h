// CTheApp: the CD autorun menu program. It finds "autorun.inf" in its own
// directory, and when started with the autorun switch ends at once if the
// registry shows the product as installed; otherwise it opens the menu
// window (CAutoPlayFrame), which lives until the user closes it or a button
// quits.
#pragma once

#include <memory>
#include <string>

#include "framework/WinApp.h"

class CAutoPlayFrame;

class CTheApp : public CWinApp {
public:
  CTheApp();
  ~CTheApp() override;

  // Parses the command line, checks the registry condition (autorun switch
  // only) and creates the menu window. FALSE ends the program.
  BOOL InitInstance() override;
  // Deletes the menu window if it still exists.
  int ExitInstance() override;

  // The configuration file: the program's directory followed by the
  // configuration file name. Makes that directory the current directory and
  // records it as the program directory.
  std::string GetConfigurationPath();

  // True when the product counts as installed: [Registry] names a key that
  // opens for reading and, when Value=Name, Data is given, the value Name
  // holds Data (blanks around it ignored, case ignored). A malformed Value
  // is reported in a message box and counts as not installed.
  BOOL CheckRegistryCondition();

  // The program's directory, ending in a backslash; empty until
  // GetConfigurationPath has run.
  const std::string& GetProgramDirectory() const { return programDirectory_; }

  // Shows a message of the menu in a message box; returns the button pressed.
  virtual int ShowMessage(const std::string& text, UINT type = MB_OK);

  // True on Windows NT versions before 4.0.
  static bool IsOldWindowsNT();

protected:
  // The full path of the running program.
  virtual std::string GetModulePath() const;

private:
  std::string programDirectory_;
  std::unique_ptr<CAutoPlayFrame> frame_;
};

// The application object as the menu's application; null when the running
// application is another kind.
CTheApp* TheApp();
