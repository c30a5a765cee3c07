#include "setup/log/JournalFile.h"

#include <windows.h>

#include "framework/ScopedHandle.h"

namespace {

constexpr DWORD kMaxJournalSize = 64u << 20;

}  // namespace

bool FitsAJournalLine(std::string_view field) noexcept {
  return field.find_first_of("\t\r\n") == std::string_view::npos;
}

std::string ReadJournalFile(const CPathName& path, bool& found) {
  found = false;
  const CHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return {};
  found = true;
  const DWORD size = ::GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size > kMaxJournalSize) return {};
  std::string text(size, '\0');
  DWORD read = 0;
  if (size != 0 && !::ReadFile(file.get(), text.data(), size, &read, nullptr)) return {};
  text.resize(read);
  return text;
}
