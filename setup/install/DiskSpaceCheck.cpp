#include "setup/install/DiskSpaceCheck.h"

#include <climits>

#include "framework/WinApp.h"
#include "setup/profile/FileList.h"
#include "setup/install/InsufficientDiskSpaceDialog.h"

bool CheckDiskSpace(const CPathName& directory, const CFileList* files, const CProductIdentity* product) {
  const std::int64_t required = files ? files->RequiredSpace(directory.ClusterSize(), false) : 0;
  return CheckDiskSpace(directory, required, directory.FreeSpace(), product);
}

bool CheckDiskSpace(const CPathName& directory, std::int64_t required, int free, const CProductIdentity* product) {
  // FreeSpace stops counting at INT_MAX: that figure means "at least that
  // much", which is no reason to refuse the drive.
  if (free <= 0 || free == INT_MAX || free >= required) return true;
  CInsufficientDiskSpaceDialog dialog(directory, required, free, nullptr, product);
  // Should the dialog not come up, the user still learns why the page stays.
  if (dialog.DoModal() == -1) AfxMessageBox(dialog.GetMessage(), MB_OK | MB_ICONEXCLAMATION);
  return false;
}
