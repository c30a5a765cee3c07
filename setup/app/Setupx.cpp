// The setup program's one application object.
#include "setup/app/SetupApp.h"

namespace {
CSetupApp theApp;
}
