// CReadingSetupPage (114): loads the install data model from the setup
// profile (the install log in remove mode) and moves on by itself. It
// shows only on its first arrival: going back passes over it.
#pragma once

#include "setup/wizard/WizardPage.h"

class CReadingSetupPage : public CWizardPage {
public:
  CReadingSetupPage();

  // Destinations, groups, targets, files and diskettes in that order, with
  // the message queue drained after each; then the groups of the setup
  // type are selected. A profile that cannot describe an installation
  // throws (the page runner reports it and fails the run).
  int DoPageWork() override;
};
