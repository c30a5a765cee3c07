// CInstallConditionsPage (1537): shown only when the computer does not meet
// the product's requirements, which it lists. Next then ends the run as
// failed, unless the user started Setup with /I: then the installation
// goes on to the directory page.
#pragma once

#include <string>

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CInstallConditionsPage : public CWizardPage {
public:
  CInstallConditionsPage() : CWizardPage(IDD_INSTALL_CONDITIONS, IDD_DIRECTORY) {}

  // True when every requirement is met; otherwise the conditions text lists
  // the unmet ones, one "- " line each.
  bool CheckInstallConditions();
  const std::string& GetConditionsText() const { return conditionsText_; }

  bool ShouldShow() override { return !CheckInstallConditions(); }

protected:
  BOOL OnInitDialog() override;
  // Going on to the failure page fails the run.
  void OnOK() override;
  void DoDataExchange(CDataExchange& dx) override;

private:
  // Appends the string-table message as one condition line.
  void AddCondition(UINT messageId);

  std::string conditionsText_;
};
