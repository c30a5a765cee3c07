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
#include "setup/log/VerboseLog.h"
#include "setup/paths/PathName.h"
#include "setup/profile/ProductIdentity.h"

DWORD CWindowsSystemActions::WindowsMajorVersion() { return GetWindowsMajorVersion(); }

void CWindowsSystemActions::StartProgramManager() { CProgramGroupManager::StartProgramManager(); }

void CWindowsSystemActions::CreateProgramItems(const CTargetTable& targets, const std::string& group,
                                               const CPathName& mainDirectory, CVerboseLog& log) {
  CShellProgramGroupManager manager(WindowsMajorVersion(), [this] { StartProgramManager(); });
  ::CreateProgramItems(manager, targets, group, mainDirectory, log);
}

std::vector<CPathName> CWindowsSystemActions::ProgramItemFiles(const CTargetTable& targets, const std::string& group) {
  const CShellProgramGroupManager manager(WindowsMajorVersion(), [this] { StartProgramManager(); });
  return ::ProgramItemFiles(manager, targets, group);
}

void CWindowsSystemActions::RemoveProgramItems(const CTargetTable& targets, const std::string& group,
                                               CVerboseLog& log) {
  CShellProgramGroupManager manager(WindowsMajorVersion(), [this] { StartProgramManager(); });
  ::RemoveProgramItems(manager, targets, group, log);
}

namespace {

const char* Outcome(bool done) { return done ? "written" : "NOT written"; }

void NoteKeyDeleted(CVerboseLog& log, const char* root, const std::string& key, LONG result) {
  log.Write("Registry key %s\\%s %s.", root, key.c_str(),
            result == ERROR_SUCCESS ? "deleted" : (result == ERROR_FILE_NOT_FOUND ? "was not there" : "NOT deleted"));
}

}  // namespace

void CWindowsSystemActions::RegisterProduct(const CPathName& program, const CUninstallEntry& uninstallEntry,
                                            const CTargetTable& targets, const CProductIdentity& product,
                                            CVerboseLog& log) {
  const bool appPath = RegisterAppPath(program);
  log.Write("Registry: App Paths entry HKLM\\%s %s: (default) = %s, Path = %s", AppPathKey(program.GetFileName()).c_str(),
            Outcome(appPath), program.c_str(), program.GetDirectory().c_str());
  const bool uninstall = RegisterUninstallEntry(uninstallEntry);
  log.Write("Registry: uninstall entry HKLM\\%s %s: UninstallString = %s, QuietUninstallString = %s, "
            "DisplayName = %s, DisplayVersion = %s, Publisher = %s, InstallLocation = %s, DisplayIcon = %s, "
            "EstimatedSize = %s KiB, InstallDate = %s, URLInfoAbout = %s, NoModify = 1, NoRepair = 1",
            UninstallKey(uninstallEntry.keyName).c_str(), Outcome(uninstall), uninstallEntry.uninstallCommand.c_str(),
            uninstallEntry.quietUninstallCommand.c_str(), uninstallEntry.displayName.c_str(),
            uninstallEntry.displayVersion.c_str(), uninstallEntry.publisher.c_str(),
            uninstallEntry.installLocation.c_str(), uninstallEntry.displayIcon.c_str(),
            uninstallEntry.estimatedSize ? std::to_string(*uninstallEntry.estimatedSize).c_str() : "(none)",
            uninstallEntry.installDate.c_str(),
            uninstallEntry.urlInfoAbout.empty() ? "(none)" : uninstallEntry.urlInfoAbout.c_str());
  if (!product.hostMenu) {
    log.Write("Registry: no host product's menu entry (the kit's [Product] leaves it out).");
    return;
  }
  const bool userMenu = RegisterHostMenuEntry(HKEY_CURRENT_USER, program, targets, product.key);
  const bool machineMenu = RegisterHostMenuEntry(HKEY_LOCAL_MACHINE, program, targets, product.key);
  log.Write("Registry: host product's menu entries for %s: HKCU %s, HKLM %s (%s)", program.c_str(),
            Outcome(userMenu), Outcome(machineMenu), HostLaunchCommand(program).c_str());
}

std::vector<CRegistryKeyName> CWindowsSystemActions::ProductRegistryKeys(const CPathName& program,
                                                                         const CUninstallEntry& uninstallEntry,
                                                                         const CProductIdentity& product) {
  std::vector<CRegistryKeyName> keys{{HKEY_LOCAL_MACHINE, AppPathKey(program.GetFileName())}};
  if (!uninstallEntry.keyName.empty()) keys.push_back({HKEY_LOCAL_MACHINE, UninstallKey(uninstallEntry.keyName)});
  if (!product.hostMenu) return keys;
  for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    const std::string menu = HostMenuEntryKey(root, product.key);
    if (!menu.empty()) keys.push_back({root, menu});
  }
  return keys;
}

void CWindowsSystemActions::UnregisterProduct(const CPathName& program, const CProductIdentity& product,
                                              CVerboseLog& log) {
  const std::string& productKeyName = product.key;
  const bool appPath = UnregisterAppPath(program);
  log.Write("Registry: App Paths entry HKLM\\%s %s.", AppPathKey(program.GetFileName()).c_str(),
            appPath ? "deleted" : "NOT deleted (or not there)");
  const bool uninstall = UnregisterUninstallEntry(productKeyName);
  log.Write("Registry: uninstall entry HKLM\\%s %s, with all its values.", UninstallKey(productKeyName).c_str(),
            uninstall ? "deleted" : "NOT deleted (or not there)");
  if (product.hostMenu) {
    UnregisterHostMenuEntry(HKEY_CURRENT_USER, product.key);
    UnregisterHostMenuEntry(HKEY_LOCAL_MACHINE, product.key);
    log.Write("Registry: host product's menu entries deleted where they were.");
  }
  // Veltrane's settings and document type are no other product's to delete.
  if (product.named) return;
  NoteKeyDeleted(log, "HKCU", "Software\\Tarvo\\Veltrane", DeleteProductKey(HKEY_CURRENT_USER));
  NoteKeyDeleted(log, "HKLM", "Software\\Tarvo\\Veltrane", DeleteProductKey(HKEY_LOCAL_MACHINE));
  NoteKeyDeleted(log, "HKCR", kDocumentExtensionKey, DeleteKeyTree(HKEY_CLASSES_ROOT, kDocumentExtensionKey));
  NoteKeyDeleted(log, "HKCR", kDocumentTypeKey, DeleteKeyTree(HKEY_CLASSES_ROOT, kDocumentTypeKey));
}

bool CWindowsSystemActions::RestartWindows() { return ::RestartWindows(); }
