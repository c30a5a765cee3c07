#include "setup/wizard/UserInfoPage.h"

#include "setup/wizard/SetupState.h"
#include "setup/wizard/ButtonBar.h"
#include "setup/wizard/RegistryString.h"

CUserInfoPage::CUserInfoPage() : CWizardPage(IDD_USER_INFO) {
  // Name and company come from the same key: the Windows one when it knows
  // the organisation, the NT one otherwise.
  const char* key = kWindowsCurrentVersionKey;
  if (!ReadRegistryString(HKEY_LOCAL_MACHINE, key, "RegisteredOrganization", company_)) {
    key = kWindowsNtCurrentVersionKey;
    ReadRegistryString(HKEY_LOCAL_MACHINE, key, "RegisteredOrganization", company_);
  }
  ReadRegistryString(HKEY_LOCAL_MACHINE, key, "RegisteredOwner", name_);
}

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

std::string CUserInfoPage::LoggedOnUserName() {
  char name[257] = {};
  DWORD size = sizeof name;
  if (!::GetUserNameA(name, &size)) return {};
  name[sizeof name - 1] = '\0';
  return name;
}

void CUserInfoPage::Prepare() {
  CSetupState& app = State();
  if (app.choices.userName) name_ = *app.choices.userName;
  if (app.choices.company) company_ = *app.choices.company;
  // Nobody can type a name in a silent run: the machine's owner, or else
  // whoever runs it, stands in. A name given as empty stays empty.
  if (name_.empty() && app.silentMode && !app.choices.userName) {
    name_ = LoggedOnUserName();
    app.verboseLog.Write("No user name registered or given: the logged-on user's name \"%s\" is taken.",
                         name_.c_str());
  }
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
    NoteRefusal("the user name is empty");
    if (m_hWnd) ::SetFocus(GetDlgItem(IDC_USER_NAME));
    return;
  }
  State().userInfo = CUserInfo{name_, company_};
  State().verboseLog.Write("User name \"%s\", company \"%s\".", name_.c_str(), company_.c_str());
  GoNext();
}
