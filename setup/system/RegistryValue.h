// CRegistryValue<T>: one value of one key, read when the object is made and
// written back when it goes; CRegistryStringValue (REG_SZ) and
// CRegistryDwordValue (REG_DWORD) are its two kinds. A key or value that
// cannot be read (missing, of another type, or not open for all access)
// leaves the default; the key stays open after a successful read. A value
// changed through Set is written back on destruction when write-back was
// asked for, creating the key when needed; a failed write-back is not
// reported.
#pragma once

#include <string>
#include <utility>

#include "setup/system/RegistryKey.h"

template <class T>
class CRegistryValue : public CRegistryKey {
public:
  // An empty valueName is the key's default value.
  CRegistryValue(HKEY root, std::string keyPath, std::string valueName, T defaultValue, bool readNow,
                 bool writeBack)
      : root_(root),
        keyPath_(std::move(keyPath)),
        valueName_(std::move(valueName)),
        value_(std::move(defaultValue)),
        writeBack_(writeBack) {
    if (readNow && OpenKey(root_, keyPath_.c_str(), KEY_ALL_ACCESS)) Get(valueName_.c_str(), value_);
  }
  ~CRegistryValue() override {
    if (changed_ && writeBack_) Save();
    CloseKey();
  }

  void Set(T value) {
    value_ = std::move(value);
    changed_ = true;
  }
  const T& Value() const noexcept { return value_; }

  // Writes the value now (opening or creating the key as needed) and
  // clears the changed flag; true when it was written.
  bool Save() {
    const bool open = IsOpen() || CreateKey(root_, keyPath_.c_str(), nullptr, KEY_ALL_ACCESS);
    const bool written = open && Put(valueName_.c_str(), value_);
    changed_ = false;
    return written;
  }

private:
  bool Get(const char* name, std::string& value) { return GetString(name, value); }
  bool Get(const char* name, DWORD& value) { return GetDword(name, value); }
  bool Put(const char* name, const std::string& value) { return SetString(name, value); }
  bool Put(const char* name, DWORD value) { return SetDword(name, value); }

  HKEY root_;
  std::string keyPath_;
  std::string valueName_;
  T value_;
  bool changed_ = false;
  bool writeBack_;
};

class CRegistryStringValue : public CRegistryValue<std::string> {
public:
  using CRegistryValue::CRegistryValue;
};

class CRegistryDwordValue : public CRegistryValue<DWORD> {
public:
  using CRegistryValue::CRegistryValue;
};
