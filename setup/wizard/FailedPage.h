// CFailedPage (116): the product has not been properly installed (or
// removed); OK ends the program.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CFailedPage : public CWizardPage {
public:
  CFailedPage() : CWizardPage(IDD_FAILED) {}

protected:
  BOOL OnInitDialog() override;
};
