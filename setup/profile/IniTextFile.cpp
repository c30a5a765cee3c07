#include "setup/profile/IniTextFile.h"

#include <windows.h>

#include "framework/ScopedHandle.h"
#include "setup/paths/TemporaryFile.h"

namespace {

// Far beyond any profile or log this system writes.
constexpr DWORD kLargestFile = 256u << 20;

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

CIniText ReadIniTextFile(const CPathName& path, bool* found) {
  if (found) *found = false;
  if (path.IsEmpty()) return CIniText();
  const CHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return CIniText();
  DWORD high = 0;
  const DWORD size = ::GetFileSize(file.get(), &high);
  if (size == INVALID_FILE_SIZE || high != 0 || size > kLargestFile) return CIniText();
  std::string bytes(size, '\0');
  DWORD read = 0;
  if (size != 0 && !::ReadFile(file.get(), bytes.data(), size, &read, nullptr)) return CIniText();
  bytes.resize(read);
  if (found) *found = true;
  return CIniText(std::move(bytes));
}

bool ReplaceWithNewFile(const CPathName& made, const CPathName& path) {
  if (::MoveFileExA(made.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  // Windows 95, 98 and Me.
  if (!::DeleteFileA(path.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
  return ::MoveFileA(made.c_str(), path.c_str()) != FALSE;
}

bool WriteIniTextFile(const CIniText& text, const CPathName& path,
                      CFunctionRef<void(const CPathName&)> beforeCreate) {
  if (path.IsEmpty()) return false;
  CPathName made = path;
  bool created = false;
  try {
    CHandle file;
    created = CreateTemporaryFile(made, [&](const CPathName& name) {
      if (beforeCreate) beforeCreate(name);
      file.reset(::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
      return file.valid();
    });
    if (!created) return false;
    bool written = true;
    text.Write([&](std::string_view piece) { written = written && WriteAll(file.get(), piece); });
    written = written && ::FlushFileBuffers(file.get());
    file.reset();
    if (written && ReplaceWithNewFile(made, path)) return true;
  } catch (...) {
    // The folder takes no new file, or memory ran out: nothing was changed.
  }
  if (created) ::DeleteFileA(made.c_str());
  return false;
}
