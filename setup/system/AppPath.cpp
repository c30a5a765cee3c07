#include "setup/system/AppPath.h"

#include <windows.h>

#include <vector>

#include "framework/ScopedHandle.h"

std::string AppPathKey(const std::string& fileName) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + fileName;
}

bool RegisterAppPath(const CPathName& programPath) {
  const std::string fileName = programPath.GetFileName();
  // Without a file name the key would be App Paths itself.
  if (fileName.empty()) return false;
  HKEY created = nullptr;
  if (::RegCreateKeyA(HKEY_LOCAL_MACHINE, AppPathKey(fileName).c_str(), &created) != ERROR_SUCCESS) return false;
  const CRegistryKeyHandle key(created);
  const std::string directory = programPath.GetDirectory();
  const bool program = ::RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(programPath.c_str()),
                                        static_cast<DWORD>(programPath.GetPath().size() + 1)) == ERROR_SUCCESS;
  const bool path = ::RegSetValueExA(key.get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(directory.c_str()),
                                     static_cast<DWORD>(directory.size() + 1)) == ERROR_SUCCESS;
  return program && path;
}

bool UnregisterAppPath(const CPathName& programPath) {
  const std::string fileName = programPath.GetFileName();
  if (fileName.empty()) return false;
  return ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, AppPathKey(fileName).c_str()) == ERROR_SUCCESS;
}

bool LookupAppPath(const std::string& fileName, std::string& path) {
  path.clear();
  // Opened for reading only: a user without write rights on the machine's
  // keys must still find an earlier installation.
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
