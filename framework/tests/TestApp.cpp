#include "TestApp.h"

namespace {
CTestApp g_app;
}

CTestApp& TestApp() { return g_app; }
