#include "framework/DeviceName.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>

bool IsDeviceName(std::string_view path) {
  std::string_view name = path.substr(path.find_last_of("\\/") + 1);
  if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))) name.remove_prefix(2);
  std::string stem(name.substr(0, name.find_first_of(".:")));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

  static constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  if (std::find(std::begin(kDevices), std::end(kDevices), stem) != std::end(kDevices)) return true;
  return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
         stem[3] <= '9';
}
