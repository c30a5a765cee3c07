// CReadyToCopyPage (153): the last page before copying; its Next reads
// "&Copy". Next creates the installation directory (destination 0); when
// that is impossible the run fails.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CReadyToCopyPage : public CWizardPage {
public:
  CReadyToCopyPage() : CWizardPage(IDD_READY_TO_COPY) {}

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
};
