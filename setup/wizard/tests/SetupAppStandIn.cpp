// Stands in for the application object's own implementation in test
// programs built before it exists: the construction, the destruction and
// GetSetupApp, nothing of the start-up or shutdown.
#include "setup/app/SetupApp.h"

#include "framework/Exception.h"
#include "setup/profile/DestinationTable.h"
#include "setup/profile/DisketteTable.h"
#include "setup/profile/GroupTable.h"
#include "setup/profile/TargetTable.h"

class CFileList {};

CSetupApp::CSetupApp() : CWinApp("Veltrane Setup") {}
CSetupApp::~CSetupApp() = default;

CSetupApp& GetSetupApp() {
  auto* app = dynamic_cast<CSetupApp*>(AfxGetApp());
  if (!app) AfxThrowNotSupportedException();
  return *app;
}
