// CRegistryKey: one open registry key and the status of the last registry
// call made through it. Every operation stores the Win32 status in the last
// error and returns true on success; a missing key or value is a normal
// failure, never an exception. The key is closed when the object goes.
#pragma once

#include <windows.h>

#include <string>

#include "framework/ScopedHandle.h"

class CRegistryKey {
public:
  CRegistryKey() = default;
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;
  virtual ~CRegistryKey() = default;

  // Opens parent\subKey; a key held before is closed first.
  bool OpenKey(HKEY parent, const char* subKey, REGSAM access);
  // Opens parent\subKey, creating it (and the keys above it) when missing;
  // className may be null.
  bool CreateKey(HKEY parent, const char* subKey, const char* className, REGSAM access);
  // Deletes parent\subKey, which must have no sub-keys on Windows NT.
  bool DeleteSubKey(HKEY parent, const char* subKey);
  // True also when no key is held.
  bool CloseKey();

  // The value operations work on the key held; without one they fail with
  // ERROR_INVALID_HANDLE. An empty name is the key's default value.
  bool DeleteValue(const char* name);
  // Reads a REG_SZ value (also one stored without its terminator). Another
  // type fails with ERROR_INVALID_DATATYPE; on failure text is untouched.
  bool GetString(const char* name, std::string& text);
  bool SetString(const char* name, const std::string& text);
  // Reads a REG_DWORD value. Another type fails with ERROR_INVALID_DATATYPE;
  // on failure value is untouched.
  bool GetDword(const char* name, DWORD& value);
  bool SetDword(const char* name, DWORD value);

  HKEY GetHandle() const noexcept { return key_.get(); }
  bool IsOpen() const noexcept { return key_.valid(); }
  // The Win32 status of the last operation; ERROR_SUCCESS after a success.
  LONG GetLastError() const noexcept { return lastError_; }

private:
  bool Track(LONG status) noexcept {
    lastError_ = status;
    return status == ERROR_SUCCESS;
  }
  // False, with ERROR_INVALID_HANDLE, when no key is held.
  bool RequireKey() noexcept;

  CRegistryKeyHandle key_;
  LONG lastError_ = ERROR_SUCCESS;
};
