// CAgreementPage (150): the licence agreement. Its bar reads "&Yes" and
// "&No": Yes goes on, No is Cancel (confirmed, then the failure page).
#pragma once

#include <string>
#include <string_view>

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/WizardPage.h"

class CAgreementPage : public CWizardPage {
public:
  CAgreementPage() : CWizardPage(IDD_AGREEMENT) {}

  // The agreement as an edit control shows it: the resource's text up to
  // its first NUL (or its end), every line ending as CR LF.
  static std::string AgreementText(std::string_view resource);

protected:
  // The program's own agreement; a kit that brings a licence shows it once
  // the page's work has read it.
  BOOL OnInitDialog() override;
  // Reads the kit's licence (checked against the kit's seal); a licence
  // that cannot be read fails the run, as nobody can accept it unseen.
  int DoPageWork() override;

private:
  void ShowText(const std::string& text);
};
