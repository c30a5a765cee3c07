// CUnregisteringPage (1550): removes the product's registry entries and the
// install log, then reports the removal.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CSetupApp;

class CUnregisteringPage : public CWizardPage {
public:
  CUnregisteringPage() : CWizardPage(IDD_UNREGISTERING, IDD_REMOVED, false) {}

  int DoPageWork() override;

  // Deletes the App Paths entry, the uninstall entry, the host product's
  // menu entries, the product's own settings keys and its document type.
  // What cannot be deleted stays; nothing is reported.
  static void UnregisterProduct(const CSetupApp& app);

  // What the page does to unregister: UnregisterProduct, replaceable so
  // that the page can be tried without deleting the machine's entries.
  using UnregisterAction = void (*)(const CSetupApp&);
  static UnregisterAction unregisterAction;
};
