// CSharedDllCounter: the reference count of one shared file in the system
// directory, kept in the SharedDLLs key of HKEY_LOCAL_MACHINE (kKeyPath) as
// a DWORD value named by the file's full path.
// Every installation that puts the file there counts it up, every removal
// counts it down; the file may go only when nobody counts it any more.
//
// The count is read when the object is made (0 when the value is absent or
// unreadable). When it was changed, the object writes it back when it goes
// (creating the key when missing): a count of 0 deletes the value instead.
// Failures are not reported.
#pragma once

#include <string>

#include "setup/system/RegistryValue.h"
#include "setup/paths/PathName.h"

class CSharedDllCounter : public CRegistryDwordValue {
public:
  static constexpr const char* kKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

  explicit CSharedDllCounter(const CPathName& path);
  ~CSharedDllCounter() override;

  DWORD GetCount() const noexcept { return Value(); }
  void Increment();
  // Not below 0.
  void Decrement();

private:
  std::string valueName_;
  bool changed_ = false;
};
