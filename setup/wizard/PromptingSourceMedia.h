// CPromptingSourceMedia: the source media of the setup program, which asks
// the user with the Insert Diskette dialog for a file it cannot find. The
// directory the user points to becomes the source directory.
#pragma once

#include <functional>
#include <string>

#include "setup/archive/SourceMedia.h"

class CVerboseLog;

class CPromptingSourceMedia : public CSourceMedia {
public:
  // The label of a diskette, empty when it has none.
  using LabelLookup = std::function<std::string(int disketteNumber)>;

  // Works on sourceDir (see CSourceMedia); the dialog names a diskette by
  // the label that labelOf gives. Every file found is noted in log.
  CPromptingSourceMedia(CPathName& sourceDir, LabelLookup labelOf, CVerboseLog& log)
      : CSourceMedia(std::ref(sourceDir)), labelOf_(std::move(labelOf)), log_(log) {}

protected:
  bool PromptForDiskette(const CPathName& expectedPath, int disketteNumber) override;
  void SourceFileFound(const CPathName& path, Found how) override;

private:
  LabelLookup labelOf_;
  CVerboseLog& log_;
};
