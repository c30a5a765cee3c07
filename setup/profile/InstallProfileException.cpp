#include "setup/profile/InstallProfileException.h"

#include "setup/resources/ResourceIds.h"

namespace {
constexpr ErrorInfoEntry kInstallProfileTable[] = {
    {-1, IDS_PROFILE_INCOMPLETE, IDS_PROFILE_INCOMPLETE_INFO, 0},
};
}  // namespace

bool CInstallProfileException::LookupErrorInfo(ErrorInfo& info) const {
  return ScanErrorTable(kInstallProfileTable, info) || CXException::LookupErrorInfo(info);
}
