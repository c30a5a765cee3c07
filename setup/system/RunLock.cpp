#include "setup/system/RunLock.h"

#include <windows.h>

#include "setup/system/WindowsVersion.h"

CRunLock::~CRunLock() {
  if (mutex_) ::ReleaseMutex(mutex_.get());
}

std::string CRunLock::MutexName(const std::string& productName, bool globalNamespace) {
  return (globalNamespace ? "Global\\" : "") + productName + " Setup";
}

std::string CRunLock::MutexNameHere(const std::string& productName) {
  return MutexName(productName, IsWindowsNt() && GetWindowsMajorVersion() >= 5);
}

CRunLock::Result CRunLock::Acquire(const std::string& name) {
  if (mutex_) return Result::acquired;
  // Owned at once by its creator: a run that finds the mutex made has not
  // created it and owns nothing.
  CHandle mutex(::CreateMutexA(nullptr, TRUE, name.c_str()));
  const DWORD error = ::GetLastError();
  if (!mutex) {
    // A mutex of a run of another user, whose rights keep this one out.
    return error == ERROR_ACCESS_DENIED ? Result::heldElsewhere : Result::unavailable;
  }
  if (error == ERROR_ALREADY_EXISTS) return Result::heldElsewhere;
  mutex_ = std::move(mutex);
  return Result::acquired;
}
