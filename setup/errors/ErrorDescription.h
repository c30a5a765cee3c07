// What an error report shows of one exception, besides the caller's own
// message: the exception's texts and the error-information line.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Exception.h"
#include "setup/errors/XException.h"

struct ErrorDescription {
  std::string className;  // run-time class name of the described exception, e.g. "CXFileException"
  int errorCode = 0;
  ErrorInfo info;                // short text, long text, help context
  std::string errorInformation;  // message id, error code and class name as "%d.%d (%s)", e.g. "9.2 (CXFileException)"
  std::string subject;           // the file, folder or value concerned; empty when unknown

  // The long text followed by the line that names the subject ("Concerns:
  // C:\kit\_setupx.ini"), as the details show it.
  std::string Details() const;
};

// Describes e for a report under the string-table message messageId. A
// member of the exception family is described as it is; any other exception
// is converted with MakeXException first. When memory is too short even for
// that, e is described as an unknown error (a CXException with code 1).
// e is neither changed nor deleted.
ErrorDescription DescribeException(UINT messageId, const CException& e);
