#include "setup/wizard/UserInfoPage.h"

#include "setup/wizard/SetupState.h"
#include "setup/wizard/ButtonBar.h"
#include "setup/wizard/RegistryString.h"

namespace {
constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kWindowsNtKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
}  // namespace

CUserInfoPage::CUserInfoPage() : CWizardPage(IDD_USER_INFO, IDD_READY_TO_COPY) {
  // Name and company come from the same key: the Windows one when it knows
  // the organisation, the NT one otherwise.
  const char* key = kWindowsKey;
  if (!ReadRegistryString(HKEY_LOCAL_MACHINE, key, "RegisteredOrganization", company_)) {
    key = kWindowsNtKey;
    ReadRegistryString(HKEY_LOCAL_MACHINE, key, "RegisteredOrganization", company_);
  }
  ReadRegistryString(HKEY_LOCAL_MACHINE, key, "RegisteredOwner", name_);
}

bool CUserInfoPage::ShouldShow() { return !State().runFromSource; }

void CUserInfoPage::DoDataExchange(CDataExchange& dx) {
  CWizardPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_USER_NAME, name_);
  DDX_Text(dx, IDC_COMPANY, company_);
}

void CUserInfoPage::UpdateNextButton() {
  // Only the name's edit is looked at: its change notification also comes
  // while the edits are being filled, before the company's edit holds the
  // proposed company, and reading that edit then would lose it.
  if (CButtonBar* bar = GetButtonBar()) bar->EnableNext(::GetWindowTextLengthA(GetDlgItem(IDC_USER_NAME)) > 0);
}

BOOL CUserInfoPage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  UpdateNextButton();
  return TRUE;
}

BOOL CUserInfoPage::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDC_USER_NAME && code == EN_CHANGE) {
    UpdateNextButton();
    return TRUE;
  }
  return CWizardPage::OnCommand(id, code, control);
}

void CUserInfoPage::OnOK() {
  UpdateData(true);
  if (name_.empty()) {
    ::SetFocus(GetDlgItem(IDC_USER_NAME));
    return;
  }
  State().userInfo = CUserInfo{name_, company_};
  GoNext();
}
