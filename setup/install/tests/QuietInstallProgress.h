// CQuietInstallProgress: the copy engine's progress sink when nobody
// watches (no display, no messages). What an error question gets for an
// answer is the subclass's to say.
#pragma once

#include "setup/install/InstallContext.h"

class CQuietInstallProgress : public CInstallProgress {
public:
  void SetCurrentTransfer(const CInstallJob*) override {}
  void AddCompletedTransfer(const CInstallJob&) override {}
  void AddCompletedFile(const CFileEntry&) override {}
  void ReportProgress() override {}
  void PumpMessages() override {}
};
