#include "setup/system/RegistryDwordValue.h"

CRegistryDwordValue::CRegistryDwordValue(HKEY root, std::string keyPath, std::string valueName, DWORD defaultValue,
                                         bool readNow, bool writeBack)
    : root_(root),
      keyPath_(std::move(keyPath)),
      valueName_(std::move(valueName)),
      value_(defaultValue),
      writeBack_(writeBack) {
  if (readNow && OpenKey(root_, keyPath_.c_str(), KEY_ALL_ACCESS)) GetDword(valueName_.c_str(), value_);
}

CRegistryDwordValue::~CRegistryDwordValue() {
  if (changed_ && writeBack_) Save();
  CloseKey();
}

bool CRegistryDwordValue::Save() {
  const bool open = IsOpen() || CreateKey(root_, keyPath_.c_str(), nullptr, KEY_ALL_ACCESS);
  const bool written = open && SetDword(valueName_.c_str(), value_);
  changed_ = false;
  return written;
}
