// The members of the exception family that stand for the framework's own
// exceptions, and MakeXException, which converts a framework exception into
// the matching member so that it can be reported like the program's own.
#pragma once

#include <memory>

#include "setup/errors/XException.h"

class CXMemoryException : public CXException {
public:
  const char* GetRuntimeClassName() const noexcept override { return "CXMemoryException"; }
  bool LookupErrorInfo(ErrorInfo& info) const override;
};

// Error code: the cause of the framework file exception (CFileException::Cause).
// The operating-system error number and the file name are not kept.
class CXFileException : public CXException {
public:
  explicit CXFileException(const CFileException& e) : CXException(e.m_cause) { SetSubject(e.m_strFileName); }
  const char* GetRuntimeClassName() const noexcept override { return "CXFileException"; }
  bool LookupErrorInfo(ErrorInfo& info) const override;
};

// Error code: the cause of the framework archive exception.
class CXArchiveException : public CXException {
public:
  explicit CXArchiveException(const CArchiveException& e) : CXException(e.m_cause) { SetSubject(e.m_strFileName); }
  const char* GetRuntimeClassName() const noexcept override { return "CXArchiveException"; }
  bool LookupErrorInfo(ErrorInfo& info) const override;
};

class CXResourceException : public CXException {
public:
  const char* GetRuntimeClassName() const noexcept override { return "CXResourceException"; }
  bool LookupErrorInfo(ErrorInfo& info) const override;
};

class CXUserException : public CXException {
public:
  const char* GetRuntimeClassName() const noexcept override { return "CXUserException"; }
  bool LookupErrorInfo(ErrorInfo& info) const override;
};

class CXNotSupportedException : public CXException {
public:
  const char* GetRuntimeClassName() const noexcept override { return "CXNotSupportedException"; }
  bool LookupErrorInfo(ErrorInfo& info) const override;
};

// A new member of the family for the framework exception e: memory, file,
// archive, not-supported, resource and user exceptions become their
// CX... counterparts (file and archive keep the cause as error code, the
// others have code 0); anything else, members of the family included,
// becomes a CXException with code 1. Null when memory is exhausted. e is
// neither changed nor deleted.
std::unique_ptr<CXException> MakeXException(const CException& e);
