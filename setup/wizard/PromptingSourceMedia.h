// CPromptingSourceMedia: the source media of the setup program, which asks
// the user with the Insert Diskette dialog for a file it cannot find. The
// directory the user points to becomes the source directory.
#pragma once

#include "setup/archive/SourceMedia.h"

class CPromptingSourceMedia : public CSourceMedia {
public:
  using CSourceMedia::CSourceMedia;

protected:
  bool PromptForDiskette(const CPathName& expectedPath, int disketteNumber) override;
};
