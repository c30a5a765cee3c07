#include "setup/profile/ProfilePath.h"

#include "framework/WinApp.h"

CPathName DefaultProfilePath() {
  char buffer[MAX_PATH];
  CWinApp* app = AfxGetApp();
  const DWORD length = ::GetModuleFileNameA(app ? app->m_hInstance : nullptr, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return CPathName();
  CPathName path(std::string(buffer, length));
  path.SetExtension("ini");
  return path;
}
