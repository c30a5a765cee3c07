// CKitSealException: a file of the kit is not what the kit's seal says it
// is, or the seal itself cannot be used. Its code selects the message the
// error dialog shows; the subject names the file.
#pragma once

#include "setup/errors/XException.h"

class CKitSealException : public CXException {
public:
  enum Code {
    fileDamaged = 1,     // a file's size or SHA-256 differs from its seal line
    fileUnlisted = 2,    // a file the installation reads has no seal line
    sealDamaged = 3,     // the seal is not well-formed, or names a file outside the kit
    headersDamaged = 4,  // an archive part's entry headers differ from the seal's digest of them
  };

  explicit CKitSealException(int code) : CXException(code) {}

  const char* GetRuntimeClassName() const noexcept override { return "CKitSealException"; }
  bool LookupErrorInfo(ErrorInfo& info) const override;
};
