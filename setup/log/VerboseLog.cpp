#include "setup/log/VerboseLog.h"

#include <windows.h>

#include "framework/FormatText.h"

namespace {

// The time stamp that opens every line: local time to the millisecond.
int FormatTimeStamp(char* out, std::size_t size) {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return FormatText(out, size, "%04u-%02u-%02u %02u:%02u:%02u.%03u  ", now.wYear, now.wMonth, now.wDay, now.wHour,
                    now.wMinute, now.wSecond, now.wMilliseconds);
}

}  // namespace

bool CVerboseLog::Open(const std::string& path) {
  file_.reset();
  path_.clear();
  if (path.empty()) {
    ::SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  CHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  BY_HANDLE_FILE_INFORMATION information{};
  if (::GetFileInformationByHandle(file.get(), &information) &&
      ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || information.nNumberOfLinks > 1)) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  if (::SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
      ::GetLastError() != NO_ERROR) {
    return false;
  }
  file_ = std::move(file);
  path_ = path;
  return true;
}

void CVerboseLog::Write(const char* format, ...) noexcept {
  va_list args;
  va_start(args, format);
  WriteV(format, args);
  va_end(args);
}

void CVerboseLog::WriteV(const char* format, va_list args) noexcept {
  if (!IsOpen()) return;
  // The time stamp, the event cut to kMaxLine - 1 characters, the line end.
  char line[64 + kMaxLine + 2];
  int length = FormatTimeStamp(line, 64);
  if (length < 0 || length >= 64) length = 0;
  const int text = FormatTextV(line + length, kMaxLine, format ? format : "", args);
  if (text > 0) length += text < kMaxLine ? text : kMaxLine - 1;
  // A text with line breaks of its own (an error's explanation) stays one
  // line of the log.
  for (int i = 0; i < length; ++i) {
    if (line[i] == '\r' || line[i] == '\n') line[i] = ' ';
  }
  line[length++] = '\r';
  line[length++] = '\n';
  DWORD written = 0;
  ::WriteFile(file_.get(), line, static_cast<DWORD>(length), &written, nullptr);
}

std::string CVerboseLog::DefaultPath(const std::string& productName) {
  char directory[MAX_PATH + 1];
  const DWORD length = ::GetTempPathA(sizeof directory, directory);
  std::string path = (length > 0 && length < sizeof directory) ? std::string(directory, length) : std::string();
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path + (productName.empty() ? std::string("setup") : productName) + ".log";
}

CVerboseLog& NoVerboseLog() noexcept {
  // Never opened: it writes nothing and has no state to share.
  static CVerboseLog closed;
  return closed;
}
