#include "framework/Resources.h"

namespace {
HINSTANCE g_resourceHandle = nullptr;
}

HINSTANCE AfxGetResourceHandle() {
  return g_resourceHandle ? g_resourceHandle : ::GetModuleHandleA(nullptr);
}

void AfxSetResourceHandle(HINSTANCE instance) { g_resourceHandle = instance; }

std::string LoadResourceString(UINT id) {
  // Strings are stored in blocks of 16 counted UTF-16 strings; the block of
  // id is resource (id / 16 + 1) of type RT_STRING.
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6));
  if (!info) return {};
  HGLOBAL block = ::LoadResource(module, info);
  const DWORD blockSize = ::SizeofResource(module, info);
  const auto* p = static_cast<const WCHAR*>(::LockResource(block));
  if (!p) return {};
  const WCHAR* end = p + blockSize / sizeof(WCHAR);
  for (UINT i = 0; i < id % 16; ++i) {
    if (p >= end) return {};
    p += 1 + *p;
  }
  if (p >= end) return {};
  const int length = *p;
  if (length == 0 || p + 1 + length > end) return {};
  const int bytes = ::WideCharToMultiByte(CP_ACP, 0, p + 1, length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, p + 1, length, text.data(), bytes, nullptr, nullptr);
  return text;
}

std::string_view LoadResourceData(const char* type, UINT id) {
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (!info) return {};
  HGLOBAL data = ::LoadResource(module, info);
  const void* p = ::LockResource(data);
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
