#include "setup/system/WindowsSystemActions.h"

#include "setup/system/AppPath.h"
#include "setup/system/HostMenuEntry.h"
#include "setup/system/KeyTree.h"
#include "setup/system/ProductKey.h"
#include "setup/system/ProgramItems.h"
#include "setup/system/Restart.h"
#include "setup/system/ShellProgramGroupManager.h"
#include "setup/system/UninstallEntry.h"
#include "setup/system/WindowsVersion.h"

DWORD CWindowsSystemActions::WindowsMajorVersion() { return GetWindowsMajorVersion(); }

void CWindowsSystemActions::StartProgramManager() { CProgramGroupManager::StartProgramManager(); }

void CWindowsSystemActions::CreateProgramItems(const CTargetTable& targets, const std::string& group,
                                               const CPathName& mainDirectory) {
  CShellProgramGroupManager manager(WindowsMajorVersion(), [this] { StartProgramManager(); });
  ::CreateProgramItems(manager, targets, group, mainDirectory);
}

void CWindowsSystemActions::RemoveProgramItems(const CTargetTable& targets, const std::string& group) {
  CShellProgramGroupManager manager(WindowsMajorVersion(), [this] { StartProgramManager(); });
  ::RemoveProgramItems(manager, targets, group);
}

void CWindowsSystemActions::RegisterProduct(const CPathName& program, const std::string& uninstallCommand,
                                            const std::string& productKeyName, const CTargetTable& targets) {
  RegisterAppPath(program);
  RegisterUninstallEntry(uninstallCommand, productKeyName, productKeyName);
  RegisterHostMenuEntry(HKEY_CURRENT_USER, program, targets);
  RegisterHostMenuEntry(HKEY_LOCAL_MACHINE, program, targets);
}

void CWindowsSystemActions::UnregisterProduct(const CPathName& program, const std::string& productKeyName) {
  UnregisterAppPath(program);
  UnregisterUninstallEntry(productKeyName);
  UnregisterHostMenuEntry(HKEY_CURRENT_USER);
  UnregisterHostMenuEntry(HKEY_LOCAL_MACHINE);
  DeleteProductKey(HKEY_CURRENT_USER);
  DeleteProductKey(HKEY_LOCAL_MACHINE);
  DeleteKeyTree(HKEY_CLASSES_ROOT, kDocumentExtensionKey);
  DeleteKeyTree(HKEY_CLASSES_ROOT, kDocumentTypeKey);
}

bool CWindowsSystemActions::RestartWindows() { return ::RestartWindows(); }
