// CUnregisteringPage (1550): removes the product's registry entries and the
// install log, then reports the removal.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CUnregisteringPage : public CWizardPage {
public:
  CUnregisteringPage() : CWizardPage(IDD_UNREGISTERING, IDD_REMOVED, false) {}

  // Deletes the App Paths entry, the uninstall entry, the host product's
  // menu entries, the product's own settings keys and its document type
  // through the application's system actions.
  int DoPageWork() override;
};
