#include "setup/system/RegistryKey.h"

#include <vector>

bool CRegistryKey::RequireKey() noexcept { return IsOpen() || Track(ERROR_INVALID_HANDLE); }

bool CRegistryKey::OpenKey(HKEY parent, const char* subKey, REGSAM access) {
  key_.reset();
  HKEY opened = nullptr;
  const bool done = Track(::RegOpenKeyExA(parent, subKey, 0, access, &opened));
  if (done) key_.reset(opened);
  return done;
}

bool CRegistryKey::CreateKey(HKEY parent, const char* subKey, const char* className, REGSAM access) {
  key_.reset();
  HKEY created = nullptr;
  const bool done = Track(::RegCreateKeyExA(parent, subKey, 0, const_cast<char*>(className),
                                            REG_OPTION_NON_VOLATILE, access, nullptr, &created, nullptr));
  if (done) key_.reset(created);
  return done;
}

bool CRegistryKey::DeleteSubKey(HKEY parent, const char* subKey) { return Track(::RegDeleteKeyA(parent, subKey)); }

bool CRegistryKey::CloseKey() {
  if (!IsOpen()) return Track(ERROR_SUCCESS);
  return Track(::RegCloseKey(key_.release()));
}

bool CRegistryKey::DeleteValue(const char* name) {
  return RequireKey() && Track(::RegDeleteValueA(key_.get(), name));
}

bool CRegistryKey::GetString(const char* name, std::string& text) {
  if (!RequireKey()) return false;
  DWORD type = 0;
  DWORD size = 0;
  if (!Track(::RegQueryValueExA(key_.get(), name, nullptr, &type, nullptr, &size))) return false;
  if (type != REG_SZ) return Track(ERROR_INVALID_DATATYPE);
  // One byte more than reported: the stored text need not end with its
  // terminator, and the buffer must.
  std::vector<char> buffer(size + 1, '\0');
  DWORD read = size;
  if (!Track(::RegQueryValueExA(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read))) {
    return false;
  }
  if (type != REG_SZ) return Track(ERROR_INVALID_DATATYPE);
  text.assign(buffer.data());
  return true;
}

bool CRegistryKey::SetString(const char* name, const std::string& text) {
  return RequireKey() && Track(::RegSetValueExA(key_.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                                static_cast<DWORD>(text.size() + 1)));
}

bool CRegistryKey::GetDword(const char* name, DWORD& value) {
  if (!RequireKey()) return false;
  DWORD type = 0;
  DWORD read = 0;
  DWORD size = sizeof read;
  const LONG status = ::RegQueryValueExA(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&read), &size);
  // A value of another type that is longer than four bytes reports
  // ERROR_MORE_DATA; its type is known all the same.
  if ((status == ERROR_SUCCESS || status == ERROR_MORE_DATA) && type != REG_DWORD) {
    return Track(ERROR_INVALID_DATATYPE);
  }
  if (!Track(status)) return false;
  value = read;
  return true;
}

bool CRegistryKey::SetDword(const char* name, DWORD value) {
  return RequireKey() &&
         Track(::RegSetValueExA(key_.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value));
}
