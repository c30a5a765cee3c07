#include "setup/archive/MultiFileException.h"

#include "setup/resources/ResourceIds.h"

namespace {

constexpr ErrorInfoEntry kMultiFileTable[] = {
    {CMultiFileException::unknownMethod, IDS_MF_UNKNOWN_METHOD, IDS_MF_UNKNOWN_METHOD_INFO, 0},
    {CMultiFileException::notAnArchive, IDS_MF_NOT_ARCHIVE, IDS_MF_NOT_ARCHIVE_INFO, 0},
    {CMultiFileException::missingEntryHeader, IDS_MF_NO_ENTRY_HEADER, IDS_MF_NO_ENTRY_HEADER_INFO, 0},
    {CMultiFileException::corruptTable, IDS_MF_CORRUPT_TABLE, IDS_MF_CORRUPT_TABLE_INFO, 0},
    {CMultiFileException::crcMismatch, IDS_MF_CRC_MISMATCH, IDS_MF_CRC_MISMATCH_INFO, 0},
    {CMultiFileException::sizeDiffers, IDS_MF_SIZE_DIFFERS, IDS_MF_SIZE_DIFFERS_INFO, 0},
};

}  // namespace

bool CMultiFileException::LookupErrorInfo(ErrorInfo& info) const {
  return ScanErrorTable(kMultiFileTable, info) || CXException::LookupErrorInfo(info);
}
