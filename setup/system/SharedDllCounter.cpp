#include "setup/system/SharedDllCounter.h"

CSharedDllCounter::CSharedDllCounter(const CPathName& path)
    : CRegistryDwordValue(HKEY_LOCAL_MACHINE, kKeyPath, path.GetPath(), 0, true, false), valueName_(path.GetPath()) {}

CSharedDllCounter::~CSharedDllCounter() {
  if (!changed_) return;
  if (Value() != 0) {
    Save();
  } else if (IsOpen()) {
    DeleteValue(valueName_.c_str());
  }
}

void CSharedDllCounter::Increment() {
  // A count at its top stays there rather than wrapping to 0, which would
  // let the next removal delete a file that others still count.
  if (Value() != MAXDWORD) Set(Value() + 1);
  changed_ = true;
}

void CSharedDllCounter::Decrement() {
  if (Value() != 0) Set(Value() - 1);
  changed_ = true;
}
