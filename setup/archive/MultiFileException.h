// CMultiFileException: a file of the distribution media is not what it
// claims to be: a multi-file archive that is damaged, or a plain file whose
// size is not the one its record in the setup profile gives. Its code
// selects the message the error dialog shows.
#pragma once

#include "setup/errors/XException.h"

class CMultiFileException : public CXException {
public:
  enum Code {
    unknownMethod = 1,       // the member's compression method is neither stored nor deflate
    notAnArchive = 2,        // a part file does not begin with "mflh"
    missingEntryHeader = 3,  // an entry header does not begin with "mfen"
    corruptTable = 4,        // an entry header holds values that cannot be used
    crcMismatch = 5,         // an extracted member's checksum differs from its header's
    sizeDiffers = 6,         // a plain file's size on the media differs from its record's
  };

  explicit CMultiFileException(int code) : CXException(code) {}

  const char* GetRuntimeClassName() const noexcept override { return "CMultiFileException"; }
  bool LookupErrorInfo(ErrorInfo& info) const override;
};
