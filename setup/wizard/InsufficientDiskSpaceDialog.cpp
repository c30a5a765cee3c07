#include "setup/wizard/InsufficientDiskSpaceDialog.h"

#include "framework/WinApp.h"
#include "setup/install/DiskSpaceCheck.h"

#include "setup/errors/ErrorReport.h"
#include "setup/profile/ProductIdentity.h"
#include "setup/resources/ResourceIds.h"
#include "framework/JoinText.h"

CInsufficientDiskSpaceDialog::CInsufficientDiskSpaceDialog(const CPathName& directory, std::int64_t required,
                                                           std::int64_t available, CWnd* parent,
                                                           const CProductIdentity* product)
    : CDialog(IDD_INSUFFICIENT_DISK_SPACE, parent), directory_(directory), required_(required),
      available_(available) {
  CMessageBuffer text;
  FormatMessageId(text, IDS_INSUFFICIENT_DISK_SPACE, directory_.GetDrive().c_str());
  message_ = product ? product->InText(text.text) : std::string(text.text);
}

std::string CInsufficientDiskSpaceDialog::Describe() const {
  return JoinText({"Insufficient Disk Space: ", message_, " Directory: ", directory_.GetPath(), "; bytes required: ",
                   std::to_string(required_), ", bytes available: ", std::to_string(available_), "."});
}

BOOL CInsufficientDiskSpaceDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_DISK_SPACE_MESSAGE, message_);
  // Written out in full: a requirement beyond 2 GB would not survive the
  // 32-bit number a dialog item takes.
  SetDlgItemText(IDC_SPACE_REQUIRED, std::to_string(required_));
  SetDlgItemText(IDC_SPACE_AVAILABLE, std::to_string(available_));
  return TRUE;
}

bool CheckDiskSpace(const CPathName& directory, const CFileList* files, const CProductIdentity* product) {
  return CheckDiskSpace(directory, RequiredDiskSpace(directory, files), directory.FreeSpace(), product);
}

bool CheckDiskSpace(const CPathName& directory, std::int64_t required, int free, const CProductIdentity* product) {
  if (HasDiskSpace(required, free)) return true;
  CInsufficientDiskSpaceDialog dialog(directory, required, free, nullptr, product);
  // Should the dialog not come up, the user still learns why the page stays.
  if (dialog.DoModal() == -1) AfxMessageBox(dialog.GetMessage(), MB_OK | MB_ICONEXCLAMATION);
  return false;
}
