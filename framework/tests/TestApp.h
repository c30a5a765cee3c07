// An application object for GUI tests: records the exceptions that reach
// the application's handler instead of showing them.
#pragma once

#include <string>
#include <vector>

#include "framework/Exception.h"
#include "framework/WinApp.h"
#include "tests/support/DrainMessages.h"

class CTestApp : public CWinApp {
public:
  CTestApp() : CWinApp("Framework Tests") {}

  LRESULT ProcessWndProcException(CException& e, const MSG* msg) override {
    handled.push_back(e.GetRuntimeClassName());
    lastMessage = msg ? msg->message : 0;
    return 4242;
  }

  std::vector<std::string> handled;
  UINT lastMessage = 0;
};

CTestApp& TestApp();
