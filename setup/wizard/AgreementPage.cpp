#include "setup/wizard/AgreementPage.h"

#include "framework/Resources.h"
#include "setup/archive/SourceMedia.h"
#include "setup/wizard/ButtonBar.h"
#include "setup/wizard/KitProduct.h"
#include "setup/wizard/SetupState.h"

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
  if (!State().product.named) ShowText(AgreementText(LoadRcData(IDR_AGREEMENT)));
  return FALSE;  // the focus is set
}

int CAgreementPage::DoPageWork() {
  CSetupState& app = State();
  const std::string& licence = app.product.licence;
  if (app.product.named) {
    const CKitSeal* seal = app.sourceMedia->GetSeal();
    ShowText(AgreementText(ReadKitFile(app.profilePath, seal, licence, CProductIdentity::kMaxLicenceBytes)));
    app.verboseLog.Write("The License Agreement page shows the kit's licence %s.", licence.c_str());
  }
  return 0;
}

void CAgreementPage::ShowText(const std::string& text) {
  if (!m_hWnd) return;
  SetDlgItemText(IDC_PAGE_TEXT, text);
  // The reader starts at the top with the caret there, so that PAGE DOWN
  // works at once; the dialog manager's own first focus would select the
  // whole text and scroll to its end.
  const HWND edit = GetDlgItem(IDC_PAGE_TEXT);
  ::SetFocus(edit);
  ::SendMessageA(edit, EM_SETSEL, 0, 0);
  ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}
