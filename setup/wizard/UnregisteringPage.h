// CUnregisteringPage (1550): removes the product's registry entries and the
// install log, then reports the removal.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CUnregisteringPage : public CWizardPage {
public:
  CUnregisteringPage() : CWizardPage(IDD_UNREGISTERING, IDD_REMOVED, false) {}

  int DoPageWork() override;
};
