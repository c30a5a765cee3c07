#include "setup/archive/MediaFileName.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

std::string FileNamePart(std::string_view name) {
  const auto cut = name.find_last_of("\\/");
  return std::string(cut == std::string_view::npos ? name : name.substr(cut + 1));
}

bool IsLoggableFileName(std::string_view name) {
  if (name.empty()) return false;
  if (name.find('=') != std::string_view::npos) return false;
  if (name.front() == ';' || name.front() == '[') return false;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  return !blank(name.front()) && !blank(name.back());
}

std::string NextPartName(std::string_view name) {
  std::string next(name);
  if (next.empty()) return {};
  ::CharLowerBuffA(next.data(), static_cast<DWORD>(next.size()));
  auto& last = reinterpret_cast<unsigned char&>(next.back());
  if (last == 0xFF) return {};
  ++last;
  return IsUsableFileName(next) ? next : std::string();
}
