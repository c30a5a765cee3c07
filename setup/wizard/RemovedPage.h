// CRemovedPage (1547): the product has been removed; OK ends the program.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CRemovedPage : public CWizardPage {
public:
  CRemovedPage() : CWizardPage(IDD_REMOVED) {}
};
