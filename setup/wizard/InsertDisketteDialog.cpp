#include "setup/wizard/InsertDisketteDialog.h"

#include "framework/Resources.h"
#include "setup/errors/ErrorReport.h"
#include "setup/resources/ResourceIds.h"
#include "setup/wizard/ChangeFolderDialog.h"

CInsertDisketteDialog::CInsertDisketteDialog(const CPathName& expectedPath, int disketteNumber,
                                             const std::string& label, CWnd* parent)
    : CExpandingDialog(IDD_INSERT_DISKETTE, parent),
      directoryText_(expectedPath.GetDirectory()),
      disketteNumber_(disketteNumber),
      expectedPath_(expectedPath),
      icons_(AfxGetResourceHandle()) {
  const std::string drive = expectedPath.GetDrive();
  CMessageBuffer text;
  if (!label.empty())
    FormatMessageId(text, IDS_INSERT_LABELLED_DISKETTE, label.c_str(), drive.c_str());
  else
    FormatMessageId(text, IDS_INSERT_NUMBERED_DISKETTE, disketteNumber, drive.c_str());
  prompt_ = text.text;
  FormatMessageId(text, IDS_SOURCE_FILE_MISSING, expectedPath.c_str());
  explanation_ = text.text;
}

CPathName CInsertDisketteDialog::Candidate(const std::string& directory, const std::string& fileName) {
  std::string path = directory;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  return CPathName(path + fileName);
}

BOOL CInsertDisketteDialog::OnInitDialog() {
  SetDlgItemText(IDC_DISKETTE_PROMPT, prompt_);
  SetDlgItemText(IDC_DISKETTE_EXPLANATION, explanation_);
  icons_.ShowIn(m_hWnd);
  CExpandingDialog::OnInitDialog();  // the edit is filled, the dialog folds
  CenterWindow();
  return TRUE;
}

void CInsertDisketteDialog::DoDataExchange(CDataExchange& dx) {
  CExpandingDialog::DoDataExchange(dx);
  DDX_Text(dx, IDC_DISKETTE_DIRECTORY, directoryText_);
}

BOOL CInsertDisketteDialog::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDC_DISKETTE_BROWSE && code == BN_CLICKED) {
    OnBrowse();
    return TRUE;
  }
  // IDC_SKIP_FILE has no command: the button only shows with the unfolded
  // dialog and does nothing.
  return CExpandingDialog::OnCommand(id, code, control);
}

void CInsertDisketteDialog::OnOK() {
  UpdateData(true);
  // An empty text would look in the current directory, not on a medium.
  if (!directoryText_.empty() && Candidate(directoryText_, expectedPath_.GetFileName()).Exists()) {
    EndDialog(IDOK);
    return;
  }
  ::FlashWindow(m_hWnd, TRUE);
  ::FlashWindow(m_hWnd, FALSE);
  ::MessageBeep(MB_ICONASTERISK);
}

void CInsertDisketteDialog::OnBrowse() {
  UpdateData(true);
  std::string chosen = directoryText_;
  CChangeFolderDialog dialog(this);
  dialog.ChooseFolder(chosen, {});
  directoryText_ = chosen;
  UpdateData(false);
}
