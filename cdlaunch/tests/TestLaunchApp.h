// The application object of the menu's in-process tests: a CTheApp whose
// program path a test chooses (so that the menu reads a configuration of the
// test's own) and whose message boxes and escaped exceptions are recorded
// instead of shown.
#pragma once

#include <string>
#include <vector>

#include "cdlaunch/TheApp.h"
#include "framework/Exception.h"
#include "tests/support/DrainMessages.h"
#include "tests/support/TestFiles.h"

class CTestLaunchApp : public CTheApp {
public:
  std::string modulePath;  // empty: the test program's own
  std::vector<std::string> messages;
  std::vector<std::string> exceptions;

  int ShowMessage(const std::string& text, UINT) override {
    messages.push_back(text);
    return IDOK;
  }
  LRESULT ProcessWndProcException(CException& e, const MSG* msg) override {
    exceptions.push_back(e.GetRuntimeClassName());
    return (msg && msg->message == WM_CREATE) ? -1 : 0;
  }

protected:
  std::string GetModulePath() const override { return modulePath.empty() ? CTheApp::GetModulePath() : modulePath; }
};

CTestLaunchApp& LaunchApp();
