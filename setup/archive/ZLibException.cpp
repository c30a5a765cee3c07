#include "setup/archive/ZLibException.h"

#include <zlib.h>

#include <cerrno>

#include "setup/resources/ResourceIds.h"

namespace {

constexpr ErrorInfoEntry kZLibTable[] = {
    {CZLibException::unknownError, IDS_ZLIB_UNKNOWN, IDS_ZLIB_DAMAGED_INFO, 0},
    {CZLibException::streamError, IDS_ZLIB_STREAM, IDS_ZLIB_DAMAGED_INFO, 0},
    {CZLibException::dataError, IDS_ZLIB_DATA, IDS_ZLIB_DAMAGED_INFO, 0},
    {CZLibException::bufferError, IDS_ZLIB_BUFFER, IDS_ZLIB_DAMAGED_INFO, 0},
};

}  // namespace

bool CZLibException::LookupErrorInfo(ErrorInfo& info) const {
  return ScanErrorTable(kZLibTable, info) || CXException::LookupErrorInfo(info);
}

void CZLibException::Check(int zlibResult) {
  switch (zlibResult) {
    case Z_OK:
    case Z_STREAM_END:
      return;
    case Z_ERRNO:
      CFileException::ThrowErrno(errno ? errno : EIO);
    case Z_STREAM_ERROR:
      throw CZLibException(streamError);
    case Z_DATA_ERROR:
      throw CZLibException(dataError);
    case Z_MEM_ERROR:
      AfxThrowMemoryException();
    case Z_BUF_ERROR:
      throw CZLibException(bufferError);
    default:
      throw CZLibException(unknownError);
  }
}
