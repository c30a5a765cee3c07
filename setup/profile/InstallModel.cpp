#include "setup/profile/InstallModel.h"

#include "setup/profile/IniTextFile.h"

void CInstallModel::Load(const CPathName& profile, CFunctionRef<void()> afterEachStep) {
  Load(ReadIniTextFile(profile), afterEachStep);
}

void CInstallModel::Load(const CIniText& profile, CFunctionRef<void()> afterEachStep) {
  const auto step = [&afterEachStep] {
    if (afterEachStep) afterEachStep();
  };
  destinations.Load(profile);
  step();
  groups.Load(profile);
  step();
  targets.Load(profile, programFolder);
  step();
  files.Load(profile, groups);
  step();
  diskettes.Load(profile);
  step();
}
