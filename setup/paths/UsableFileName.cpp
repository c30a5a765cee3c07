#include "setup/paths/UsableFileName.h"

#include <windows.h>

#include "framework/DeviceName.h"

bool IsUsableFileName(std::string_view name) {
  if (name.empty() || name.size() >= MAX_PATH || name == "." || name == "..") return false;
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos) return false;
  }
  if (name.back() == '.' || name.back() == ' ') return false;
  return !IsDeviceName(name);
}
