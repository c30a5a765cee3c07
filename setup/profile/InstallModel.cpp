#include "setup/profile/InstallModel.h"

void CInstallModel::Load(const CPathName& profile, const std::function<void()>& afterEachStep) {
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
