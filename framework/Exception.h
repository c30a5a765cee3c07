// The framework's exceptions. Thrown by value, caught by reference.
// Every class knows its run-time class name (the name a report prints) and
// answers kind tests that see derived classes.
#pragma once

#include <windows.h>

#include <exception>
#include <new>
#include <string>
#include <type_traits>

class CException : public std::exception {
public:
  CException() = default;
  CException(const CException&) = default;
  CException& operator=(const CException&) = default;
  ~CException() override = default;

  // The class name as the program reports it ("CFileException", ...).
  virtual const char* GetRuntimeClassName() const noexcept { return "CException"; }
  // A one-line description for the default reporter.
  virtual std::string GetErrorMessage() const { return GetRuntimeClassName(); }

  template <class T>
  bool IsKindOf() const noexcept {
    if constexpr (std::is_base_of_v<T, CException>) {
      return true;  // every exception is a CException
    } else {
      return dynamic_cast<const T*>(this) != nullptr;
    }
  }

  const char* what() const noexcept override { return GetRuntimeClassName(); }
};

class CMemoryException : public CException {
public:
  const char* GetRuntimeClassName() const noexcept override { return "CMemoryException"; }
  std::string GetErrorMessage() const override { return "Out of memory."; }
};

class CResourceException : public CException {
public:
  const char* GetRuntimeClassName() const noexcept override { return "CResourceException"; }
  std::string GetErrorMessage() const override { return "A required resource was unavailable."; }
};

// A user-initiated abort (for example a cancelled operation).
class CUserException : public CException {
public:
  const char* GetRuntimeClassName() const noexcept override { return "CUserException"; }
  std::string GetErrorMessage() const override { return "Operation cancelled."; }
};

class CNotSupportedException : public CException {
public:
  const char* GetRuntimeClassName() const noexcept override { return "CNotSupportedException"; }
  std::string GetErrorMessage() const override { return "Operation not supported."; }
};

class CArchiveException : public CException {
public:
  enum Cause {
    none = 0,
    genericException = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
  };

  explicit CArchiveException(int cause = none, std::string fileName = {})
      : m_cause(cause), m_strFileName(std::move(fileName)) {}

  const char* GetRuntimeClassName() const noexcept override { return "CArchiveException"; }
  std::string GetErrorMessage() const override;

  int m_cause;
  std::string m_strFileName;
};

// A failed file operation. `m_cause` is one of the causes below; the
// operating-system error (a Win32 code or an errno value) and the file name
// are kept for the reader of the error.
class CFileException : public CException {
public:
  enum Cause {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
  };

  explicit CFileException(int cause = none, LONG osError = -1, std::string fileName = {})
      : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}

  const char* GetRuntimeClassName() const noexcept override { return "CFileException"; }
  std::string GetErrorMessage() const override;

  // Maps a Win32 error code (GetLastError) to a cause.
  static int OsErrorToCause(LONG osError) noexcept;
  // Maps a C run-time errno value to a cause.
  static int ErrnoToCause(int errnoValue) noexcept;

  [[noreturn]] static void ThrowOsError(LONG osError, const std::string& fileName = {});
  [[noreturn]] static void ThrowErrno(int errnoValue, const std::string& fileName = {});
  [[noreturn]] static void Throw(int cause, LONG osError = -1, const std::string& fileName = {});

  int m_cause;
  LONG m_lOsError;
  std::string m_strFileName;
};

// Hands the exception in flight (call it inside a catch block) to handler as
// the framework's exception, and returns what handler returns: a
// CException as it is, std::bad_alloc as a CMemoryException, anything else
// as a plain CException. Every catch-all site reports through this one
// translation. An exception that handler throws leaves this function.
template <class Handler>
auto AfxTranslateCurrentException(Handler&& handler) {
  try {
    throw;
  } catch (CException& e) {
    return handler(e);
  } catch (const std::bad_alloc&) {
    CMemoryException e;
    return handler(e);
  } catch (...) {
    CException e;
    return handler(e);
  }
}

// The same for an exception kept for later (a non-null exception_ptr).
template <class Handler>
auto AfxTranslateException(const std::exception_ptr& error, Handler&& handler) {
  try {
    std::rethrow_exception(error);
  } catch (...) {
    return AfxTranslateCurrentException(std::forward<Handler>(handler));
  }
}

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowArchiveException(int cause, const std::string& fileName = {});
