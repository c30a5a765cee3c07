#include "setup/errors/ErrorReport.h"

#include <cstdarg>

#include "framework/FormatText.h"
#include "framework/Resources.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
#include "setup/errors/ErrorDescription.h"
#include "setup/errors/ErrorDialog.h"

namespace {

// Reports that raise errors of their own (an error dialog whose creation
// fails and is reported again) end here at the latest.
constexpr int kMaxNestedReports = 4;
int g_reportDepth = 0;

class ReportDepth {
public:
  ReportDepth() { ++g_reportDepth; }
  ~ReportDepth() { --g_reportDepth; }
  ReportDepth(const ReportDepth&) = delete;
  ReportDepth& operator=(const ReportDepth&) = delete;
};

// The stand-in report: needs no memory of its own and no resources.
int ReportWithFixedText(const char* messageText, BOOL allowContinue) noexcept {
  static const char kNoDetails[] = "Setup cannot show the details of this error.";
  char text[kMessageBufferSize + sizeof kNoDetails + 4];
  FormatText(text, sizeof text, "%s%s%s", messageText, *messageText ? "\r\n\r\n" : "", kNoDetails);
  const UINT type = MB_ICONEXCLAMATION | (allowContinue ? MB_OKCANCEL : MB_OK);
  int answer = IDCANCEL;
  try {
    // Through the application, which may answer it without showing it.
    if (CWinApp* app = AfxGetApp()) {
      answer = app->DoMessageBox(text, type, "Warning");
    } else {
      answer = ::MessageBoxA(nullptr, text, "Warning", type);
    }
  } catch (...) {
    CWnd* main = AfxGetMainWnd();
    answer = ::MessageBoxA(main ? main->m_hWnd : nullptr, text, "Warning", type);
  }
  return answer == IDOK ? IDOK : IDCANCEL;
}

}  // namespace

int FormatMessageId(CMessageBuffer& out, UINT messageId, ...) noexcept {
  char format[kMessageBufferSize];
  LoadResourceString(messageId, format, sizeof format);
  va_list args;
  va_start(args, messageId);
  const int wanted = FormatTextV(out.text, sizeof out.text, format, args);
  va_end(args);
  if (wanted < 0) {
    out.text[0] = '\0';
    return 0;
  }
  return wanted < kMessageBufferSize ? wanted : kMessageBufferSize - 1;
}

int ReportException(UINT messageId, const char* messageText, const CException& e, BOOL allowContinue,
                    LPCSTR icon) noexcept {
  if (!messageText) messageText = "";
  ReportDepth depth;
  if (g_reportDepth <= kMaxNestedReports) {
    try {
      const ErrorDescription description = DescribeException(messageId, e);
      CErrorDialog dialog;
      dialog.messageId = static_cast<int>(messageId);
      dialog.message = messageText;
      dialog.shortText = description.info.shortText;
      dialog.longText = description.Details();
      dialog.errorInformation = description.errorInformation;
      dialog.helpContext = description.info.helpContext;
      dialog.allowContinue = allowContinue;
      dialog.icon = icon;
      const INT_PTR result = dialog.DoModal();
      if (result == IDOK || result == IDCANCEL) return static_cast<int>(result);
    } catch (...) {
      // Falls through to the stand-in report.
    }
  }
  return ReportWithFixedText(messageText, allowContinue);
}
