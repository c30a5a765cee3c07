#include "setup/archive/KitSealException.h"

#include "setup/resources/ResourceIds.h"

namespace {

constexpr ErrorInfoEntry kKitSealTable[] = {
    {CKitSealException::fileDamaged, IDS_SEAL_FILE_DAMAGED, IDS_SEAL_FILE_DAMAGED_INFO, 0},
    {CKitSealException::fileUnlisted, IDS_SEAL_FILE_UNLISTED, IDS_SEAL_FILE_UNLISTED_INFO, 0},
    {CKitSealException::sealDamaged, IDS_SEAL_DAMAGED, IDS_SEAL_DAMAGED_INFO, 0},
    {CKitSealException::headersDamaged, IDS_SEAL_HEADERS_DAMAGED, IDS_SEAL_HEADERS_DAMAGED_INFO, 0},
};

}  // namespace

bool CKitSealException::LookupErrorInfo(ErrorInfo& info) const {
  return ScanErrorTable(kKitSealTable, info) || CXException::LookupErrorInfo(info);
}
