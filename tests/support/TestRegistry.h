// Registry helpers of the tests: a key of the test's own, removed with
// everything below it when the object goes, and plain readers and writers
// that do not go through the code under test.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "framework/ScopedHandle.h"

namespace testreg {

inline void RemoveTree(HKEY parent, const std::string& name) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return;
  {
    const CRegistryKeyHandle key(opened);
    char child[256];
    while (::RegEnumKeyA(key.get(), 0, child, sizeof child) == ERROR_SUCCESS) {
      const std::string before = child;
      RemoveTree(key.get(), before);
      if (::RegEnumKeyA(key.get(), 0, child, sizeof child) == ERROR_SUCCESS && before == child) break;
    }
  }
  ::RegDeleteKeyA(parent, name.c_str());
}

// view: 0 (the program's own view of the registry), or KEY_WOW64_32KEY or
// KEY_WOW64_64KEY for one of the two views of 64-bit Windows.
inline bool KeyExists(HKEY root, const std::string& path, REGSAM view = 0) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return false;
  ::RegCloseKey(opened);
  return true;
}

// Creates root\path (and the keys above it).
inline void CreateKey(HKEY root, const std::string& path) {
  HKEY created = nullptr;
  if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr) ==
      ERROR_SUCCESS) {
    ::RegCloseKey(created);
  }
}

// Stores bytes as they are (no terminator added) under root\path.
inline void WriteRaw(HKEY root, const std::string& path, const char* name, DWORD type, const std::string& bytes) {
  HKEY created = nullptr;
  if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  const CRegistryKeyHandle key(created);
  ::RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
}

// A REG_SZ value; nothing when the key or the value is missing or of
// another type. view as for KeyExists.
inline std::optional<std::string> ReadString(HKEY root, const std::string& path, const char* name,
                                             REGSAM view = 0) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return std::nullopt;
  const CRegistryKeyHandle key(opened);
  char value[1024] = {};
  DWORD size = sizeof value - 1;
  DWORD type = 0;
  if (::RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  return std::string(value);
}

// A REG_MULTI_SZ value, its strings each ended by '\n'; nothing when the
// key or the value is missing or of another type.
inline std::optional<std::string> ReadMultiString(HKEY root, const std::string& path, const char* name) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
  const CRegistryKeyHandle key(opened);
  DWORD size = 0;
  DWORD type = 0;
  if (::RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_MULTI_SZ) {
    return std::nullopt;
  }
  std::string value(size + 2, '\0');
  if (::RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(size);
  while (!value.empty() && value.back() == '\0') value.pop_back();
  for (char& c : value) {
    if (c == '\0') c = '\n';
  }
  return value + "\n";
}

// A REG_DWORD value; nothing when the key or the value is missing or of
// another type.
inline std::optional<DWORD> ReadDword(HKEY root, const std::string& path, const char* name) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
  const CRegistryKeyHandle key(opened);
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = 0;
  if (::RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return std::nullopt;
  }
  return value;
}

// Stores a REG_SZ value under root\path (made when missing).
inline void WriteString(HKEY root, const std::string& path, const char* name, const std::string& value) {
  WriteRaw(root, path, name, REG_SZ, std::string(value.c_str(), value.size() + 1));
}

// One REG_SZ value of the machine set for a test and put back as it was (or
// removed) when the object goes.
class ScopedStringValue {
public:
  ScopedStringValue(HKEY root, std::string path, const char* name, const std::string& value)
      : root_(root), path_(std::move(path)), name_(name), saved_(ReadString(root_, path_, name_)) {
    WriteString(root_, path_, name_, value);
  }
  ~ScopedStringValue() {
    if (saved_) {
      WriteString(root_, path_, name_, *saved_);
      return;
    }
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root_, path_.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return;
    const CRegistryKeyHandle key(opened);
    ::RegDeleteValueA(key.get(), name_);
  }
  ScopedStringValue(const ScopedStringValue&) = delete;
  ScopedStringValue& operator=(const ScopedStringValue&) = delete;

private:
  HKEY root_;
  std::string path_;
  const char* name_;
  std::optional<std::string> saved_;
};

// root\"Software\VeltTest<pid>" while the object lives; open for all access.
class ScopedTestKey {
public:
  explicit ScopedTestKey(HKEY root)
      : root_(root), path_("Software\\VeltTest" + std::to_string(::GetCurrentProcessId())) {
    RemoveTree(root_, path_);
    HKEY created = nullptr;
    ::RegCreateKeyExA(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr);
    key_.reset(created);
  }
  ~ScopedTestKey() {
    key_.reset();
    RemoveTree(root_, path_);
  }
  ScopedTestKey(const ScopedTestKey&) = delete;
  ScopedTestKey& operator=(const ScopedTestKey&) = delete;

  HKEY get() const { return key_.get(); }
  const std::string& path() const { return path_; }
  // path + "\" + sub
  std::string operator/(const std::string& sub) const { return path_ + "\\" + sub; }

private:
  HKEY root_;
  std::string path_;
  CRegistryKeyHandle key_;
};

}  // namespace testreg
