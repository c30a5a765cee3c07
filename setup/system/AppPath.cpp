#include "setup/system/AppPath.h"

#include <windows.h>

#include <vector>

#include "framework/ScopedHandle.h"

std::string AppPathKey(const std::string& fileName) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + fileName;
}

bool LookupAppPath(const std::string& fileName, std::string& path) {
  path.clear();
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, AppPathKey(fileName).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
      ERROR_SUCCESS) {
    return false;
  }
  const CRegistryKeyHandle key(opened);
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(key.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
    return false;
  }
  // The stored text need not end with its terminator: one more byte keeps
  // the buffer terminated whatever the value holds.
  std::vector<char> buffer(size + 1, '\0');
  if (::RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  path = buffer.data();
  return !path.empty();
}
