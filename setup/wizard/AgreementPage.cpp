#include "setup/wizard/AgreementPage.h"

#include "framework/Resources.h"
#include "setup/wizard/ButtonBar.h"

std::string CAgreementPage::AgreementText(std::string_view resource) {
  const std::size_t end = resource.find('\0');
  if (end != std::string_view::npos) resource = resource.substr(0, end);
  std::string text;
  text.reserve(resource.size() + resource.size() / 16);
  for (std::size_t i = 0; i < resource.size(); ++i) {
    const char c = resource[i];
    if (c == '\n' && (i == 0 || resource[i - 1] != '\r')) text += '\r';
    text += c;
  }
  return text;
}

BOOL CAgreementPage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  if (CButtonBar* bar = GetButtonBar()) {
    bar->SetNextText("&Yes");
    bar->SetCancelText("&No");
  }
  SetDlgItemText(IDC_PAGE_TEXT, AgreementText(LoadRcData(IDR_AGREEMENT)));
  // The reader starts at the top with the caret there, so that PAGE DOWN
  // works at once; the dialog manager's own first focus would select the
  // whole text and scroll to its end.
  const HWND text = GetDlgItem(IDC_PAGE_TEXT);
  ::SetFocus(text);
  ::SendMessageA(text, EM_SETSEL, 0, 0);
  ::SendMessageA(text, EM_SCROLLCARET, 0, 0);
  return FALSE;  // the focus is set
}
