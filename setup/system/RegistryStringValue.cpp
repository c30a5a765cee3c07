#include "setup/system/RegistryStringValue.h"

CRegistryStringValue::CRegistryStringValue(HKEY root, std::string keyPath, std::string valueName,
                                           std::string defaultValue, bool readNow, bool writeBack)
    : root_(root),
      keyPath_(std::move(keyPath)),
      valueName_(std::move(valueName)),
      value_(std::move(defaultValue)),
      writeBack_(writeBack) {
  if (readNow && OpenKey(root_, keyPath_.c_str(), KEY_ALL_ACCESS)) GetString(valueName_.c_str(), value_);
}

CRegistryStringValue::~CRegistryStringValue() {
  if (changed_ && writeBack_) Save();
  CloseKey();
}

bool CRegistryStringValue::Save() {
  const bool open = IsOpen() || CreateKey(root_, keyPath_.c_str(), nullptr, KEY_ALL_ACCESS);
  const bool written = open && SetString(valueName_.c_str(), value_);
  changed_ = false;
  return written;
}
