// CCopyProgressPage (108): copies the selected files of the installation
// while it shows their names and the progress, then creates the shortcuts
// and writes the data model into the install log. When the product runs
// from the distribution nothing is copied: the shortcuts point into it.
// The page has no buttons, and Cancel does nothing while it works.
#pragma once

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CSetupApp;

class CCopyProgressPage : public CWizardPage {
public:
  CCopyProgressPage() : CWizardPage(IDD_COPY_PROGRESS, IDD_REGISTERING, false) {}

  // The successor (1549), or the failure page when a file failed.
  int DoPageWork() override;

  // Gives every shortcut the path of its program where the distribution
  // holds it: the product program in destination 0, the others in
  // destination 1.
  static void PointTargetsIntoSource(CSetupApp& app);

protected:
  BOOL OnInitDialog() override;
  void OnCancel() override {}

private:
  // Copies the selected files in list order; false when the run failed.
  bool CopySelectedFiles();
};
