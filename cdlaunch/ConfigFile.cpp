#include "cdlaunch/ConfigFile.h"

#include <windows.h>

std::string CConfigFile::GetString(const std::string& section, const std::string& key) const {
  char buffer[kMaxValue + 1] = {};
  const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, path_.c_str());
  return std::string(buffer, n < sizeof buffer ? n : kMaxValue);
}

int CConfigFile::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
  return static_cast<int>(::GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, path_.c_str()));
}

std::vector<std::string> CConfigFile::GetKeys(const std::string& section) const {
  char buffer[kKeyListBytes] = {};
  const DWORD n = ::GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer, sizeof buffer, path_.c_str());
  // The names stand one after another, each ended by a NUL; a list cut by
  // the buffer size ends with a cut name, still NUL-terminated.
  std::vector<std::string> keys;
  const std::size_t used = n < sizeof buffer ? n : sizeof buffer - 1;
  std::size_t start = 0;
  for (std::size_t i = 0; i < used; ++i) {
    if (buffer[i] == '\0') {
      if (i > start) keys.emplace_back(buffer + start, i - start);
      start = i + 1;
    }
  }
  if (used > start) keys.emplace_back(buffer + start, used - start);
  return keys;
}
