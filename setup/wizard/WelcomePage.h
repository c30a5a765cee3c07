// CWelcomePage (102): the first page of an installation; Next reads the
// setup information.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CWelcomePage : public CWizardPage {
public:
  CWelcomePage() : CWizardPage(IDD_WELCOME) {}
};
