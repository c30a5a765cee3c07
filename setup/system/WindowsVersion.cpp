#include "setup/system/WindowsVersion.h"

DWORD GetWindowsMajorVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&info)) return 0;
#pragma GCC diagnostic pop
  return info.dwMajorVersion;
}
