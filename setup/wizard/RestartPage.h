// CRestartPage (1558): the installation is complete but files are replaced
// only when Windows starts again. "&Restart" asks Windows to restart (the
// page stays when it refuses); "&Don't Restart" ends the program.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CRestartPage : public CWizardPage {
public:
  CRestartPage() : CWizardPage(IDD_RESTART) {}

protected:
  BOOL OnCommand(UINT id, UINT code, HWND control) override;
};
