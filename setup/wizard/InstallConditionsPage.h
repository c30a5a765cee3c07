// CInstallConditionsPage (1537): shown only when the computer does not meet
// the product's requirements, which it lists. Next then ends the run as
// failed, unless the user started Setup with /I: then the installation
// goes on to the directory page.
#pragma once

#include <string>

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CSetupState;

class CInstallConditionsPage : public CWizardPage {
public:
  CInstallConditionsPage() : CWizardPage(IDD_INSTALL_CONDITIONS) {}

  // The requirements the computer does not meet, one "- " line each;
  // empty when every one is met.
  static std::string UnmetConditions(const CSetupState& state);
  const std::string& GetConditionsText() const { return conditionsText_; }

  // The unmet conditions; Next leads to the failure page unless /I.
  void Prepare() override;

protected:
  // Going on to the failure page fails the run.
  void OnOK() override;
  void DoDataExchange(CDataExchange& dx) override;

private:
  std::string conditionsText_;
};
