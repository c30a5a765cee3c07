// CInsufficientDiskSpaceDialog (template 140, "Insufficient Disk Space"):
// tells the user that the files do not fit on the drive of the chosen
// directory, with the bytes required and the bytes available. It only
// informs: OK closes it (Cancel is there, disabled).
#pragma once

#include <cstdint>
#include <string>

#include "framework/Dialog.h"
#include "setup/paths/PathName.h"

class CFileList;
class CProductIdentity;

class CInsufficientDiskSpaceDialog : public CDialog {
public:
  // The message names product (Veltrane when it is null).
  CInsufficientDiskSpaceDialog(const CPathName& directory, std::int64_t required, std::int64_t available,
                               CWnd* parent = nullptr, const CProductIdentity* product = nullptr);

  // The message as shown: the drive letter without its colon in string 26.
  const std::string& GetMessage() const { return message_; }

  // Not shown, it only informs: OK. Described with the directory and both
  // figures.
  INT_PTR UnattendedResult() const override { return IDOK; }
  std::string Describe() const override;

protected:
  BOOL OnInitDialog() override;

private:
  std::string message_;
  CPathName directory_;
  std::int64_t required_;
  std::int64_t available_;
};

// Whether the selected files of files (none when it is null) fit on the
// drive of directory (see HasDiskSpace); when they do not, the Insufficient
// Disk Space dialog tells the user (modal, over the application's main
// window; in a silent run noted in the verbose log), and the result is
// false whichever button closes it. The dialog names product (Veltrane
// when it is null).
bool CheckDiskSpace(const CPathName& directory, const CFileList* files, const CProductIdentity* product = nullptr);
// The same for the bytes required and the drive's free space as
// CPathName::FreeSpace reports it.
bool CheckDiskSpace(const CPathName& directory, std::int64_t required, int free,
                    const CProductIdentity* product = nullptr);
