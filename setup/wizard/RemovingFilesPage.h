// CRemovingFilesPage (1546): deletes the installed files that the install
// log names, showing each file's path, then the shortcuts and the product's
// directories (CInstalledFileRemoval); files in use go at the next restart,
// which the run's outcome then calls for. When the product ran from the
// distribution only the shortcuts go. The page offers no way out: its
// Cancel button is hidden, and neither Enter nor Esc does anything.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CRemovingFilesPage : public CWizardPage {
public:
  CRemovingFilesPage() : CWizardPage(IDD_REMOVING_FILES) {}

  int DoPageWork() override;

protected:
  void OnOK() override {}
  void OnCancel() override {}
};
