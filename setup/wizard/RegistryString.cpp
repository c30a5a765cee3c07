#include "setup/wizard/RegistryString.h"

#include <algorithm>
#include <vector>

#include "framework/ScopedHandle.h"

bool ReadRegistryString(HKEY root, const char* subKey, const char* valueName, std::string& value) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
  const CRegistryKeyHandle key(opened);
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(key.get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  // One more byte than reported: the stored text need not end with a NUL.
  std::vector<char> buffer(size + 1, '\0');
  DWORD read = size;
  if (::RegQueryValueExA(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read) !=
      ERROR_SUCCESS) {
    return false;
  }
  buffer[std::min<std::size_t>(read, size)] = '\0';
  value.assign(buffer.data());
  return true;
}
