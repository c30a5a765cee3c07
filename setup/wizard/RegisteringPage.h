// CRegisteringPage (1549): registers the installed product with Windows
// (application path, uninstall entry, the host product's menu entry), then
// ends the installation on the page its outcome calls for: the failure
// page, the restart page when files are replaced at the next start, or
// the finished page.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CRegisteringPage : public CWizardPage {
public:
  CRegisteringPage() : CWizardPage(IDD_REGISTERING, IDD_FINISHED, false) {}

  int DoPageWork() override;
  // The page that ends an installation with these outcomes.
  static int FinalPage(bool installSucceeded, bool rebootNeeded);
};
