// CWindowsSystemActions: the system actions of a real run, on the machine
// the setup program runs on.
#pragma once

#include "setup/system/SystemActions.h"

class CWindowsSystemActions : public CSystemActions {
public:
  // GetVersionEx's major version.
  DWORD WindowsMajorVersion() override;
  // WinExec "progman.exe", hidden.
  void StartProgramManager() override;
  // Through a CShellProgramGroupManager on the current user's Programs
  // folder, which falls back to Program Manager before Windows 4.
  void CreateProgramItems(const CTargetTable& targets, const std::string& group, const CPathName& mainDirectory,
                          CVerboseLog& log) override;
  std::vector<CPathName> ProgramItemFiles(const CTargetTable& targets, const std::string& group) override;
  void RemoveProgramItems(const CTargetTable& targets, const std::string& group, CVerboseLog& log) override;
  // App Paths, the uninstall entry, and the host product's menu entries
  // under the current user and the machine.
  std::vector<CRegistryKeyName> ProductRegistryKeys(const CPathName& program, const CUninstallEntry& uninstallEntry,
                                                    const CProductIdentity& product) override;
  void RegisterProduct(const CPathName& program, const CUninstallEntry& uninstallEntry, const CTargetTable& targets,
                       const CProductIdentity& product, CVerboseLog& log) override;
  void UnregisterProduct(const CPathName& program, const CProductIdentity& product, CVerboseLog& log) override;
  bool RestartWindows() override;
};
