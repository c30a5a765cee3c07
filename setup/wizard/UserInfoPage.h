// CUserInfoPage (126): the user's name and company, proposed from the
// registered owner and organisation of Windows. Next is enabled only while
// a name is entered. Passed over when the product runs from the
// distribution. /N and /O on the command line replace the proposals; a
// silent run with no name at all takes the logged-on user's.
#pragma once

#include <string>

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CUserInfoPage : public CWizardPage {
public:
  // Reads the proposed name and company.
  CUserInfoPage();

  const std::string& GetName() const { return name_; }
  const std::string& GetCompany() const { return company_; }

  // The name of the user this program runs as; empty when it cannot be had.
  static std::string LoggedOnUserName();

  // The name and company the command line gives over the proposed ones;
  // in a silent run with no name at all, the logged-on user's.
  void Prepare() override;

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  BOOL OnCommand(UINT id, UINT code, HWND control) override;
  void DoDataExchange(CDataExchange& dx) override;

private:
  // Enables Next while the name's edit is not empty.
  void UpdateNextButton();

  std::string name_;     // edit 1030
  std::string company_;  // edit 1031
};
