// CButtonBar: the Back, Next and Cancel buttons of a wizard page, a child
// dialog (template 129) that the page carries under its own controls. Its
// buttons act on the page: Back goes back, Next is the page's Next (OnOK),
// Cancel and Esc the page's Cancel.
#pragma once

#include <string>

#include "framework/Dialog.h"

class CWizardPage;

class CButtonBar : public CDialog {
public:
  explicit CButtonBar(CWizardPage& page);

  // Creates the bar inside the page, places it at the bottom and grows the
  // page by the bar's height.
  bool Create();

  void EnableNext(bool enable);
  void EnableBack(bool enable);
  // New captions for the Next and Cancel buttons ("&Yes", "&Copy", ...).
  void SetNextText(const std::string& text);
  void SetCancelText(const std::string& text);

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(UINT id, UINT code, HWND control) override;
  void OnOK() override;
  void OnCancel() override;

private:
  CWizardPage& page_;
};
