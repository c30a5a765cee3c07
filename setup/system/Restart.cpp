#include "setup/system/Restart.h"

#include <windows.h>

#include "framework/ScopedHandle.h"
#include "framework/WinApp.h"
#include "setup/resources/ResourceIds.h"

namespace {

// On Windows NT a process may restart the machine only with the shutdown
// privilege enabled in its token; a user who holds the privilege gets it
// enabled here. Where the token cannot be changed (Windows 95, or a user
// without the privilege) ExitWindowsEx decides alone.
void EnableShutdownPrivilege() {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened)) return;
  const CHandle token(opened);
  TOKEN_PRIVILEGES privileges{};
  if (!::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) return;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
}

}  // namespace

bool RestartWindows() {
  EnableShutdownPrivilege();
  if (::ExitWindowsEx(EWX_REBOOT, 0)) return true;
  AfxMessageBox(IDS_RESTART_FAILED, MB_OK);
  return false;
}
