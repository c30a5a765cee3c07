// An application object for the tests of the setup program's core: the
// product texts are set as start-up sets them, and exceptions that reach
// the application's handler are recorded instead of shown, and the
// machine is left alone (CTestSystemActions).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/app/SetupApp.h"
#include "setup/app/tests/TestSystemActions.h"
#include "tests/support/DrainMessages.h"

class CTestSetupApp : public CSetupApp {
public:
  CTestSetupApp()
      : CSetupApp(std::make_unique<CTestSystemActions>()), system(static_cast<CTestSystemActions&>(System())) {}

  LRESULT ProcessWndProcException(CException& e, const MSG*) override {
    handled.push_back(e.GetRuntimeClassName());
    return 0;
  }
  std::vector<std::string> handled;
  CTestSystemActions& system;
};

class SetupAppFixture : public ::testing::Test {
protected:
  SetupAppFixture() {
    app.SetProduct(CProductIdentity::Builtin());
  }

  CTestSetupApp app;
};
