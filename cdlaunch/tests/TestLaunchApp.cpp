#include "TestLaunchApp.h"

namespace {
CTestLaunchApp g_app;
}

CTestLaunchApp& LaunchApp() { return g_app; }
