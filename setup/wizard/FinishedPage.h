// CFinishedPage (115): the installation is complete; "Finished" ends the
// program.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CFinishedPage : public CWizardPage {
public:
  CFinishedPage() : CWizardPage(IDD_FINISHED) {}
};
