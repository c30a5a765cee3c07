#include "setup/wizard/RegistryString.h"

#include <algorithm>
#include <vector>

namespace {

class CRegKeyHandle {
public:
  CRegKeyHandle() = default;
  CRegKeyHandle(const CRegKeyHandle&) = delete;
  CRegKeyHandle& operator=(const CRegKeyHandle&) = delete;
  ~CRegKeyHandle() {
    if (key_) ::RegCloseKey(key_);
  }
  HKEY* put() { return &key_; }
  HKEY get() const { return key_; }

private:
  HKEY key_ = nullptr;
};

}  // namespace

bool ReadRegistryString(HKEY root, const char* subKey, const char* valueName, std::string& value) {
  CRegKeyHandle key;
  if (::RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return false;
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
