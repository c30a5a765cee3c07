#include "setup/app/UnattendedAnswers.h"

bool IsQuestion(UINT type) noexcept { return (type & MB_TYPEMASK) != MB_OK; }

int UnattendedAnswer(UINT type) noexcept {
  switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
      return IDYES;
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    case MB_OK:
      return IDOK;
    default:
      return IDCANCEL;
  }
}

const char* AnswerName(int answer) noexcept {
  switch (answer) {
    case IDOK:
      return "OK";
    case IDCANCEL:
      return "Cancel";
    case IDABORT:
      return "Abort";
    case IDRETRY:
      return "Retry";
    case IDIGNORE:
      return "Ignore";
    case IDYES:
      return "Yes";
    case IDNO:
      return "No";
    default:
      return "none (the box could not be shown)";
  }
}
