// Showing an exception to the user: the caller's message (a string-table
// format filled with the caller's arguments) together with what the
// exception knows about itself, in the error dialog (ErrorDialog.h).
//
// Any framework exception or member of the CXException family may be
// reported; the reporting operations never delete or change it. They never
// throw either: they are called from the places that catch exceptions.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Exception.h"

// Size of the buffer a message is formatted into; a longer message is cut
// to kMessageBufferSize - 1 characters.
inline constexpr int kMessageBufferSize = 512;

struct CMessageBuffer {
  char text[kMessageBufferSize] = {};
};

// Formats the string-table format messageId with the arguments that follow
// (printf conventions: %s, %d, %ld, %u ...) into out, cut to fit. A missing
// string gives an empty message. Returns the number of characters in out.
int FormatMessageId(CMessageBuffer& out, UINT messageId, ...) noexcept;

// Builds the error dialog for e under the message (messageId is printed in
// the error-information line), runs it modally over the application's main
// window and returns IDOK or IDCANCEL. With allowContinue the buttons read
// "Continue Operation" and "Cancel Operation"; otherwise there is OK only.
// icon is a system icon id (IDI_EXCLAMATION). When the report cannot be
// built (memory exhausted, no dialog), a message box with the message and a
// fixed text stands in for it.
int ReportException(UINT messageId, const char* messageText, const CException& e, BOOL allowContinue,
                    LPCSTR icon) noexcept;

namespace error_report_detail {
// The argument types a message format may take.
inline int Arg(int v) { return v; }
inline unsigned Arg(unsigned v) { return v; }
inline long Arg(long v) { return v; }
inline unsigned long Arg(unsigned long v) { return v; }
inline const char* Arg(const char* s) { return s ? s : ""; }
inline const char* Arg(const std::string& s) { return s.c_str(); }
}  // namespace error_report_detail

// Shows e under the string-table message messageId (for example
// IDS_SETUP_CANNOT_CONTINUE) with OK only.
template <class... Args>
void ReportError(UINT messageId, const CException& e, const Args&... args) noexcept {
  CMessageBuffer message;
  FormatMessageId(message, messageId, error_report_detail::Arg(args)...);
  ReportException(messageId, message.text, e, FALSE, IDI_EXCLAMATION);
}

// Shows e under the string-table message messageId (for example
// IDS_CANNOT_INSTALL_FILES with the source file's name) with "Continue
// Operation" and "Cancel Operation". True when the user chose to continue;
// Esc and the close box cancel.
template <class... Args>
bool AskContinueAfterError(UINT messageId, const CException& e, const Args&... args) noexcept {
  CMessageBuffer message;
  FormatMessageId(message, messageId, error_report_detail::Arg(args)...);
  return ReportException(messageId, message.text, e, TRUE, IDI_EXCLAMATION) == IDOK;
}
