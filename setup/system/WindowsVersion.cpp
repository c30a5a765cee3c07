#include "setup/system/WindowsVersion.h"

namespace {

bool GetVersionInfo(OSVERSIONINFOA& info) {
  info = {};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return ::GetVersionExA(&info) != FALSE;
#pragma GCC diagnostic pop
}

}  // namespace

DWORD GetWindowsMajorVersion() {
  OSVERSIONINFOA info;
  return GetVersionInfo(info) ? info.dwMajorVersion : 0;
}

bool IsWindowsNt() {
  OSVERSIONINFOA info;
  return GetVersionInfo(info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
