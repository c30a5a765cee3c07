// CRemovingFilesPage (1546): deletes the installed files, the shortcuts and
// the directories that the install log names, showing each file's name.
// No buttons; Cancel does nothing while it works.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CRemovingFilesPage : public CWizardPage {
public:
  CRemovingFilesPage() : CWizardPage(IDD_REMOVING_FILES, IDD_UNREGISTERING, false) {}

  int DoPageWork() override;

protected:
  void OnCancel() override {}
};
