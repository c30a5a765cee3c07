#include "setup/paths/UsableFileName.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>

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

bool IsUsableFileName(std::string_view name) {
  if (name.empty() || name.size() >= MAX_PATH || name == "." || name == "..") return false;
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos) return false;
  }
  if (name.back() == '.' || name.back() == ' ') return false;
  return !IsDeviceName(name);
}
