#include "setup/archive/MediaFileName.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace {

bool IsDeviceName(std::string_view name) {
  // Windows opens a device for these names whatever extension follows.
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  if (std::find(std::begin(kDevices), std::end(kDevices), stem) != std::end(kDevices)) return true;
  return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
         stem[3] <= '9';
}

}  // namespace

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

bool IsUsableFileName(std::string_view name) {
  if (name.empty() || name.size() >= MAX_PATH || name == "." || name == "..") return false;
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos) return false;
  }
  if (name.back() == '.' || name.back() == ' ') return false;
  return !IsDeviceName(name);
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
