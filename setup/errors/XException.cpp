#include "setup/errors/XException.h"

#include "framework/Resources.h"
#include "setup/resources/ResourceIds.h"

namespace {

constexpr ErrorInfoEntry kXExceptionTable[] = {
    {-1, IDS_ERR_UNKNOWN, IDS_ERR_UNKNOWN_INFO, 0},
};

}  // namespace

std::string CXException::GetErrorMessage() const {
  std::string text = LoadErrorInfo().shortText;
  return text.empty() ? GetRuntimeClassName() : text;
}

ErrorInfo CXException::LoadErrorInfo() const {
  ErrorInfo info;
  LookupErrorInfo(info);
  return info;
}

bool CXException::LookupErrorInfo(ErrorInfo& info) const { return ScanErrorTable(kXExceptionTable, info); }

bool CXException::ScanErrorTable(std::span<const ErrorInfoEntry> table, ErrorInfo& info) const {
  for (const ErrorInfoEntry& row : table) {
    if (row.code != -1 && row.code != errorCode_) continue;
    bool complete = true;
    if (row.shortTextId != 0 && info.shortText.empty()) {
      info.shortText = LoadResourceString(row.shortTextId);
    } else {
      complete = false;
    }
    if (row.longTextId != 0 && info.longText.empty()) {
      info.longText = LoadResourceString(row.longTextId);
    } else {
      complete = false;
    }
    if (row.helpContext != 0 && info.helpContext == 0) {
      info.helpContext = row.helpContext;
    } else {
      complete = false;
    }
    return complete;
  }
  return false;
}
