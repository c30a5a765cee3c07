#include "setup/errors/ErrorDescription.h"

#include <memory>

#include "setup/errors/MakeXException.h"
#include "framework/JoinText.h"

ErrorDescription DescribeException(UINT messageId, const CException& e) {
  std::unique_ptr<CXException> converted;
  const auto* x = dynamic_cast<const CXException*>(&e);
  if (!x) {
    converted = MakeXException(e);
    x = converted.get();
  }
  const CXException unknown(1);
  if (!x) x = &unknown;

  ErrorDescription d;
  d.className = x->GetRuntimeClassName();
  d.errorCode = x->GetErrorCode();
  d.info = x->LoadErrorInfo();
  d.errorInformation =
      JoinText({std::to_string(static_cast<int>(messageId)), ".", std::to_string(d.errorCode), " (", d.className, ")"});
  d.subject = x->GetSubject();
  return d;
}

std::string ErrorDescription::Details() const {
  if (subject.empty()) return info.longText;
  return JoinText({info.longText, info.longText.empty() ? "" : "\r\n\r\n", "Concerns: ", subject});
}
