// CInstallProfileException: the setup profile cannot describe an
// installation. Reported like every member of the exception family.
#pragma once

#include "setup/errors/XException.h"

class CInstallProfileException : public CXException {
public:
  enum Code {
    noDestinations = 0,          // the [destinations] section is missing or empty
    unresolvedDestinations = 1,  // the destination directories cannot be resolved
    badProduct = 2,              // a value of [Product] cannot name the product
    badFileRecord = 3,           // a group without its section, or a file record of no known kind
  };

  explicit CInstallProfileException(int code) : CXException(code) {}
  const char* GetRuntimeClassName() const noexcept override { return "CInstallProfileException"; }
  bool LookupErrorInfo(ErrorInfo& info) const override;
};
