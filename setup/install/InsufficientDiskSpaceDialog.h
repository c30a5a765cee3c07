// CInsufficientDiskSpaceDialog (template 140, "Insufficient Disk Space"):
// tells the user that the files do not fit on the drive of the chosen
// directory, with the bytes required and the bytes available. It only
// informs: OK closes it (Cancel is there, disabled).
#pragma once

#include <cstdint>
#include <string>

#include "framework/Dialog.h"
#include "setup/paths/PathName.h"

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
