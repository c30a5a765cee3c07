// CXException: the base of the setup program's own exception family. Every
// member turns its integer error code into a short title, a long explanation
// and a help context through a message table of ErrorInfoEntry rows whose
// texts live in the string table; the error dialog shows them together with
// the class name and the code.
//
// A member of the family derives from CXException (thrown by value, caught
// by reference like every framework exception), overrides
// GetRuntimeClassName with its exact class name and LookupErrorInfo as
//
//   bool CMyException::LookupErrorInfo(ErrorInfo& info) const {
//     return ScanErrorTable(kMyTable, info) || CXException::LookupErrorInfo(info);
//   }
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "framework/Exception.h"

// One row of a message table.
struct ErrorInfoEntry {
  int code;          // the error code the row matches; -1 matches any code
  UINT shortTextId;  // string id of the one-line title; 0 = none
  UINT longTextId;   // string id of the explanation; 0 = none
  int helpContext;   // 0 = none
};

// What an exception tells the error dialog about itself. A string id that
// the string table lacks leaves its text empty.
struct ErrorInfo {
  std::string shortText;
  std::string longText;
  int helpContext = 0;
};

class CXException : public CException {
public:
  CXException() = default;
  explicit CXException(int errorCode) : errorCode_(errorCode) {}

  const char* GetRuntimeClassName() const noexcept override { return "CXException"; }
  // The short text (the class name when it has none), for reporters that
  // know only framework exceptions.
  std::string GetErrorMessage() const override;

  // The meaning of the code depends on the class: a framework file or archive
  // exception's cause for those converted from one, 1 for an unknown
  // framework exception, otherwise what the thrower gave.
  int GetErrorCode() const noexcept { return errorCode_; }

  // The texts and help context of this exception: starts from nothing and
  // asks the most derived class's LookupErrorInfo.
  ErrorInfo LoadErrorInfo() const;

  // What the error is about: the file, folder or value it concerns, as the
  // thrower (or a catcher on the way up) knows it; empty when unknown.
  const std::string& GetSubject() const noexcept { return subject_; }
  void SetSubject(std::string subject) { subject_ = std::move(subject); }

  // Fills what is still empty in info from this class's own table, then
  // from its base classes' tables. True only when this class's own row
  // supplied all three values (then the base tables are not consulted).
  // The base table supplies the "unknown error" texts.
  virtual bool LookupErrorInfo(ErrorInfo& info) const;

protected:
  // The step every LookupErrorInfo shares: the first row whose code is -1
  // or this exception's code fills each value of info that is still empty
  // (or 0) and that the row has. True when the row supplied all three; false
  // when no row matches (info unchanged) or the row left something out.
  bool ScanErrorTable(std::span<const ErrorInfoEntry> table, ErrorInfo& info) const;

private:
  int errorCode_ = 0;
  std::string subject_;
};
