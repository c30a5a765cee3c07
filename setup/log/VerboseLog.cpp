#include "setup/log/VerboseLog.h"

#include <windows.h>

#include "framework/FormatText.h"
#include "framework/JoinText.h"

namespace {

// The names a bare /L tries in one second before it gives up.
constexpr int kMaxRunLogCounter = 100;

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

bool CVerboseLog::OpenNew(const std::string& folder, const std::string& productName) {
  file_.reset();
  path_.clear();
  if (folder.empty()) {
    ::SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  for (int counter = 1; counter <= kMaxRunLogCounter; ++counter) {
    const std::string path = folder + RunLogName(productName, now, counter);
    if (path.size() >= MAX_PATH) {
      ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return false;
    }
    CHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      file_ = std::move(file);
      path_ = path;
      return true;
    }
    // Only a name that is taken is worth another try.
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
  }
  ::SetLastError(ERROR_FILE_EXISTS);
  return false;
}

std::string CVerboseLog::RunLogName(const std::string& productName, const SYSTEMTIME& time, int counter) {
  char name[64];
  FormatText(name, sizeof name, "-%04u%02u%02u-%02u%02u%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
             time.wMinute, time.wSecond);
  std::string text = (productName.empty() ? std::string("setup") : productName) + name;
  if (counter > 1) text += "-" + std::to_string(counter);
  return text + ".log";
}

std::string CVerboseLog::TemporaryFolder() {
  using GetTempPath2AFn = DWORD(WINAPI*)(DWORD, LPSTR);
  // Looked up at run time: only Windows 11 and the latest Windows 10 have
  // it. kernel32 is loaded in every program.
  const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  const auto getTempPath2 = kernel ? reinterpret_cast<GetTempPath2AFn>(reinterpret_cast<void (*)()>(
                                         ::GetProcAddress(kernel, "GetTempPath2A")))
                                   : nullptr;
  char directory[MAX_PATH + 1];
  const DWORD length =
      getTempPath2 ? getTempPath2(sizeof directory, directory) : ::GetTempPathA(sizeof directory, directory);
  std::string path = (length > 0 && length < sizeof directory) ? std::string(directory, length) : std::string();
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

std::string CVerboseLog::DescribeError(DWORD error) {
  const char* meaning = nullptr;
  switch (error) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
      meaning = "the folder does not exist";
      break;
    case ERROR_INVALID_NAME:
      meaning = "the name is not valid";
      break;
    case ERROR_ACCESS_DENIED:
      meaning = "access denied, or a link";
      break;
    case ERROR_SHARING_VIOLATION:
      meaning = "the file is in use";
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      meaning = "every name is taken";
      break;
    case ERROR_FILENAME_EXCED_RANGE:
      meaning = "the path is too long";
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      meaning = "the disk is full";
      break;
    case ERROR_WRITE_PROTECT:
      meaning = "the disk is write-protected";
      break;
    default:
      meaning = "it cannot be written";
      break;
  }
  return JoinText({meaning, " (error ", std::to_string(error), ")"});
}

CVerboseLog& NoVerboseLog() noexcept {
  // Never opened: it writes nothing and has no state to share.
  static CVerboseLog closed;
  return closed;
}
