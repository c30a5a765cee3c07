#include "framework/Resources.h"

#include "framework/ResourceBytes.h"

#include <algorithm>

namespace {
HINSTANCE g_resourceHandle = nullptr;

// The text of string id (counted UTF-16, not terminated); empty when the
// table has no such string.
std::wstring_view StringTableEntry(UINT id) {
  // Strings are stored in blocks of 16 counted UTF-16 strings; the block of
  // id is resource (id / 16 + 1) of type RT_STRING.
  const std::string_view block = FindResourceBytes(AfxGetResourceHandle(), kStringResourceType, id / 16 + 1);
  const auto* p = reinterpret_cast<const WCHAR*>(block.data());
  if (!p) return {};
  const WCHAR* end = p + block.size() / sizeof(WCHAR);
  for (UINT i = 0; i < id % 16; ++i) {
    if (p >= end) return {};
    p += 1 + *p;
  }
  if (p >= end) return {};
  const std::size_t length = *p;
  if (length == 0 || length > static_cast<std::size_t>(end - p - 1)) return {};
  return std::wstring_view(p + 1, length);
}

}  // namespace

HINSTANCE AfxGetResourceHandle() {
  return g_resourceHandle ? g_resourceHandle : ::GetModuleHandleA(nullptr);
}

void AfxSetResourceHandle(HINSTANCE instance) { g_resourceHandle = instance; }

std::string LoadResourceString(UINT id) {
  const std::wstring_view entry = StringTableEntry(id);
  if (entry.empty()) return {};
  const int length = static_cast<int>(entry.size());
  const int bytes = ::WideCharToMultiByte(CP_ACP, 0, entry.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string text(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, entry.data(), length, text.data(), bytes, nullptr, nullptr);
  return text;
}

int LoadResourceString(UINT id, char* buffer, int size) noexcept {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  std::wstring_view entry;
  try {
    entry = StringTableEntry(id);
  } catch (...) {
    return 0;  // no memory to unpack the table: as if it had no such string
  }
  // As many characters as fit, with the terminating NUL.
  for (int count = static_cast<int>(std::min<std::size_t>(entry.size(), static_cast<std::size_t>(size - 1)));
       count > 0; --count) {
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, entry.data(), count, buffer, size - 1, nullptr, nullptr);
    if (bytes > 0) {
      buffer[bytes] = '\0';
      return bytes;
    }
  }
  return 0;
}

std::string_view LoadResourceData(const char* type, UINT id) {
  return FindPlainResource(AfxGetResourceHandle(), type, id);
}

std::string_view FindPlainResource(HINSTANCE module, const char* type, UINT id) {
  HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (!info) return {};
  HGLOBAL data = ::LoadResource(module, info);
  const void* p = data ? ::LockResource(data) : nullptr;
  if (!p) return {};
  return std::string_view(static_cast<const char*>(p), ::SizeofResource(module, info));
}

HICON LoadAppIcon(UINT id) { return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)); }

std::string FormatPlaceholders(std::string_view format, const std::string& s1, const std::string& s2) {
  std::string out;
  out.reserve(format.size() + s1.size() + s2.size());
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && (format[i + 1] == '1' || format[i + 1] == '2')) {
      out += format[i + 1] == '1' ? s1 : s2;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

std::string AfxFormatString1(UINT id, const std::string& s1) {
  return FormatPlaceholders(LoadResourceString(id), s1);
}

std::string AfxFormatString2(UINT id, const std::string& s1, const std::string& s2) {
  return FormatPlaceholders(LoadResourceString(id), s1, s2);
}
