// CZLibException: zlib reported damaged or unusable compressed data.
// Check turns every zlib result into the matching failure.
#pragma once

#include "setup/errors/XException.h"

class CZLibException : public CXException {
public:
  enum Code {
    unknownError = 1,  // a zlib result with no other meaning here
    streamError = 2,   // Z_STREAM_ERROR
    dataError = 3,     // Z_DATA_ERROR: the compressed data is corrupt
    bufferError = 4,   // Z_BUF_ERROR: the compressed data ended too soon
  };

  explicit CZLibException(int code) : CXException(code) {}

  const char* GetRuntimeClassName() const noexcept override { return "CZLibException"; }
  bool LookupErrorInfo(ErrorInfo& info) const override;

  // Returns for Z_OK and Z_STREAM_END. Z_ERRNO throws CFileException for the
  // C run-time's errno, Z_MEM_ERROR CMemoryException, Z_STREAM_ERROR,
  // Z_DATA_ERROR and Z_BUF_ERROR CZLibException codes 2, 3 and 4, anything
  // else code 1.
  static void Check(int zlibResult);
};
