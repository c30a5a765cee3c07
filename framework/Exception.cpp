#include "framework/Exception.h"

#include <cerrno>

std::string CArchiveException::GetErrorMessage() const {
  std::string text = "Archive error " + std::to_string(m_cause);
  if (!m_strFileName.empty()) text += " (" + m_strFileName + ")";
  return text + ".";
}

std::string CFileException::GetErrorMessage() const {
  std::string text = "File error " + std::to_string(m_cause);
  if (!m_strFileName.empty()) text += " on " + m_strFileName;
  return text + ".";
}

int CFileException::OsErrorToCause(LONG osError) noexcept {
  switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
    case ERROR_DISK_CHANGE:
      return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_SAME_DEVICE:
    case ERROR_WRONG_DISK:
    case ERROR_DUP_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_NET_NAME:
    case ERROR_SHARING_PAUSED:
    case ERROR_ALREADY_ASSIGNED:
    case ERROR_BUFFER_OVERFLOW:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_LEVEL:
    case ERROR_NO_VOLUME_LABEL:
    case ERROR_DIR_NOT_ROOT:
    case ERROR_LABEL_TOO_LONG:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_META_EXPANSION_TOO_LONG:
    case ERROR_DIRECTORY:
      return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
    case ERROR_SHARING_BUFFER_EXCEEDED:
    case ERROR_TOO_MANY_NAMES:
    case ERROR_NO_MORE_SEARCH_HANDLES:
      return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_ACCESS:
    case ERROR_WRITE_PROTECT:
    case ERROR_WRITE_FAULT:
    case ERROR_NETWORK_BUSY:
    case ERROR_BAD_NET_RESP:
    case ERROR_NETNAME_DELETED:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_REQ_NOT_ACCEP:
    case ERROR_FILE_EXISTS:
    case ERROR_CANNOT_MAKE:
    case ERROR_INVALID_PASSWORD:
    case ERROR_BUSY:
    case ERROR_ALREADY_EXISTS:
    case ERROR_SWAPERROR:
      return accessDenied;
    case ERROR_INVALID_HANDLE:
    case ERROR_BAD_FORMAT:
    case ERROR_NOT_DOS_DISK:
    case ERROR_BAD_REM_ADAP:
    case ERROR_BAD_DEV_TYPE:
    case ERROR_INVALID_TARGET_HANDLE:
    case ERROR_INVALID_ORDINAL:
    case ERROR_INVALID_EXE_SIGNATURE:
    case ERROR_BAD_EXE_FORMAT:
      return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_DIR_NOT_EMPTY:
      return removeCurrentDir;
    case ERROR_NO_SPOOL_SPACE:
      return directoryFull;
    case ERROR_BAD_LENGTH:
    case ERROR_SEEK:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_READ_FAULT:
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
      return badSeek;
    case ERROR_BAD_UNIT:
    case ERROR_NOT_READY:
    case ERROR_BAD_COMMAND:
    case ERROR_CRC:
    case ERROR_ADAP_HDW_ERR:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NET_WRITE_FAULT:
    case ERROR_INVALID_CATEGORY:
    case ERROR_OPERATION_ABORTED:
    case ERROR_IO_INCOMPLETE:
    case ERROR_IO_PENDING:
      return hardIO;
    case ERROR_SHARING_VIOLATION:
      return sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_DRIVE_LOCKED:
    case ERROR_LOCK_FAILED:
      return lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return diskFull;
    case ERROR_HANDLE_EOF:
      return endOfFile;
    default:
      return genericException;
  }
}

int CFileException::ErrnoToCause(int errnoValue) noexcept {
  switch (errnoValue) {
    case 0: return none;
    case EPERM:
    case EACCES:
    case EROFS:
    case EEXIST:
      return accessDenied;
    case EBADF: return invalidFile;
    case EDEADLOCK: return sharingViolation;
    case EMFILE:
    case ENFILE:
      return tooManyOpenFiles;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
      return badPath;
    case ENOSPC:
    case EFBIG:
      return diskFull;
    case ESPIPE: return badSeek;
    case EINVAL:
    case EIO:
      return hardIO;
    default: return genericException;
  }
}

void CFileException::ThrowOsError(LONG osError, const std::string& fileName) {
  throw CFileException(OsErrorToCause(osError), osError, fileName);
}

void CFileException::ThrowErrno(int errnoValue, const std::string& fileName) {
  throw CFileException(ErrnoToCause(errnoValue), errnoValue, fileName);
}

void CFileException::Throw(int cause, LONG osError, const std::string& fileName) {
  throw CFileException(cause, osError, fileName);
}

void AfxThrowMemoryException() { throw CMemoryException(); }
void AfxThrowResourceException() { throw CResourceException(); }
void AfxThrowUserException() { throw CUserException(); }
void AfxThrowNotSupportedException() { throw CNotSupportedException(); }
void AfxThrowArchiveException(int cause, const std::string& fileName) {
  throw CArchiveException(cause, fileName);
}
