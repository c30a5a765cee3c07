// CRegistryStringValue: one REG_SZ value of one key, read when the object is
// made and written back when it goes. A key or value that cannot be read
// (missing, of another type, or not open for all access) leaves the default;
// the key stays open after a successful read. A value changed through Set is
// written back on destruction when write-back was asked for, creating the
// key when needed; a failed write-back is not reported.
#pragma once

#include <string>

#include "setup/system/RegistryKey.h"

class CRegistryStringValue : public CRegistryKey {
public:
  // An empty valueName is the key's default value.
  CRegistryStringValue(HKEY root, std::string keyPath, std::string valueName, std::string defaultValue, bool readNow,
                       bool writeBack);
  ~CRegistryStringValue() override;

  void Set(std::string value) {
    value_ = std::move(value);
    changed_ = true;
  }
  const std::string& Value() const noexcept { return value_; }

  // Writes the value now (opening or creating the key as needed) and
  // clears the changed flag; true when it was written.
  bool Save();

private:
  HKEY root_;
  std::string keyPath_;
  std::string valueName_;
  std::string value_;
  bool changed_ = false;
  bool writeBack_;
};
