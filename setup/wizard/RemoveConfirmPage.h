// CRemoveConfirmPage (1545): the first page of a removal. Next reads the
// install log; Cancel ends the run as failed without asking.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CRemoveConfirmPage : public CWizardPage {
public:
  CRemoveConfirmPage() : CWizardPage(IDD_REMOVE_CONFIRM) {}
  // Nothing has been changed yet: leaving needs no confirmation.
  bool ConfirmCancel() override { return true; }
};
