#include "setup/errors/MakeXException.h"

#include <new>

#include "setup/resources/ResourceIds.h"

namespace {

constexpr ErrorInfoEntry kMemoryTable[] = {{-1, IDS_ERR_MEMORY, IDS_ERR_MEMORY_INFO, 0}};
constexpr ErrorInfoEntry kArchiveTable[] = {{-1, IDS_ERR_ARCHIVE, IDS_ERR_ARCHIVE_INFO, 0}};
constexpr ErrorInfoEntry kResourceTable[] = {{-1, IDS_ERR_RESOURCE, IDS_ERR_RESOURCE_INFO, 0}};
constexpr ErrorInfoEntry kUserTable[] = {{-1, IDS_ERR_USER, IDS_ERR_USER_INFO, 0}};
constexpr ErrorInfoEntry kNotSupportedTable[] = {{-1, IDS_ERR_NOT_SUPPORTED, IDS_ERR_NOT_SUPPORTED_INFO, 0}};

// Rows by file-exception cause; causes 0 and 1 (none, generic) and any
// other fall to the last row.
constexpr ErrorInfoEntry kFileTable[] = {
    {CFileException::fileNotFound, IDS_ERR_FILE_NOT_FOUND, IDS_ERR_FILE_NOT_FOUND_INFO, 0},
    {CFileException::badPath, IDS_ERR_BAD_PATH, IDS_ERR_BAD_PATH_INFO, 0},
    {CFileException::tooManyOpenFiles, IDS_ERR_TOO_MANY_FILES, IDS_ERR_TOO_MANY_FILES_INFO, 0},
    {CFileException::accessDenied, IDS_ERR_ACCESS_DENIED, IDS_ERR_ACCESS_DENIED_INFO, 0},
    {CFileException::invalidFile, IDS_ERR_INVALID_FILE, IDS_ERR_FILE_INFO, 0},
    {CFileException::removeCurrentDir, IDS_ERR_REMOVE_CURRENT_DIR, IDS_ERR_FILE_INFO, 0},
    {CFileException::directoryFull, IDS_ERR_DIRECTORY_FULL, IDS_ERR_DIRECTORY_FULL_INFO, 0},
    {CFileException::badSeek, IDS_ERR_BAD_SEEK, IDS_ERR_FILE_INFO, 0},
    {CFileException::hardIO, IDS_ERR_HARDWARE, IDS_ERR_HARDWARE_INFO, 0},
    {CFileException::sharingViolation, IDS_ERR_SHARING, IDS_ERR_SHARING_INFO, 0},
    {CFileException::lockViolation, IDS_ERR_LOCKING, IDS_ERR_LOCKING_INFO, 0},
    {CFileException::diskFull, IDS_ERR_DISK_FULL, IDS_ERR_DISK_FULL_INFO, 0},
    {CFileException::endOfFile, IDS_ERR_END_OF_FILE, IDS_ERR_FILE_INFO, 0},
    {-1, IDS_ERR_FILE, IDS_ERR_FILE_INFO, 0},
};

}  // namespace

bool CXMemoryException::LookupErrorInfo(ErrorInfo& info) const {
  return ScanErrorTable(kMemoryTable, info) || CXException::LookupErrorInfo(info);
}

bool CXFileException::LookupErrorInfo(ErrorInfo& info) const {
  return ScanErrorTable(kFileTable, info) || CXException::LookupErrorInfo(info);
}

bool CXArchiveException::LookupErrorInfo(ErrorInfo& info) const {
  return ScanErrorTable(kArchiveTable, info) || CXException::LookupErrorInfo(info);
}

bool CXResourceException::LookupErrorInfo(ErrorInfo& info) const {
  return ScanErrorTable(kResourceTable, info) || CXException::LookupErrorInfo(info);
}

bool CXUserException::LookupErrorInfo(ErrorInfo& info) const {
  return ScanErrorTable(kUserTable, info) || CXException::LookupErrorInfo(info);
}

bool CXNotSupportedException::LookupErrorInfo(ErrorInfo& info) const {
  return ScanErrorTable(kNotSupportedTable, info) || CXException::LookupErrorInfo(info);
}

std::unique_ptr<CXException> MakeXException(const CException& e) {
  try {
    if (e.IsKindOf<CMemoryException>()) return std::make_unique<CXMemoryException>();
    if (const auto* file = dynamic_cast<const CFileException*>(&e)) {
      return std::make_unique<CXFileException>(*file);
    }
    if (const auto* archive = dynamic_cast<const CArchiveException*>(&e)) {
      return std::make_unique<CXArchiveException>(*archive);
    }
    if (e.IsKindOf<CNotSupportedException>()) return std::make_unique<CXNotSupportedException>();
    if (e.IsKindOf<CResourceException>()) return std::make_unique<CXResourceException>();
    if (e.IsKindOf<CUserException>()) return std::make_unique<CXUserException>();
    return std::make_unique<CXException>(1);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
