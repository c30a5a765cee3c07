// CUnregisteringPage (1550): removes the product's registry entries and the
// install log, then reports the removal.
#pragma once

#include <windows.h>

#include "setup/resources/ResourceIds.h"
#include "setup/paths/PathName.h"
#include "setup/wizard/WizardPage.h"

class CInstallLog;

class CUnregisteringPage : public CWizardPage {
public:
  CUnregisteringPage() : CWizardPage(IDD_UNREGISTERING) {}

  // Deletes the App Paths entry, the uninstall entry, the host product's
  // menu entries, the product's own settings keys and its document type
  // through the application's system actions, then the install log.
  int DoPageWork() override;

  // Moves the install log to the Recycle Bin, silently and without a
  // question. When the shell fails, the event "Could not remove the log
  // file rc=%d ec=%d" goes into the log that stays.
  static void RecycleInstallLog(CInstallLog& log, HWND owner);
};
