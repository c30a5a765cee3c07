// System actions for tests: nothing on the machine is touched; every call
// is counted and its arguments kept, and the Windows version is whatever
// the test sets.
#pragma once

#include <string>

#include "setup/system/SystemActions.h"
#include "setup/paths/PathName.h"

class CTestSystemActions : public CSystemActions {
public:
  DWORD WindowsMajorVersion() override { return majorVersion; }
  void StartProgramManager() override { ++programManagerStarts; }
  void CreateProgramItems(const CTargetTable&, const std::string& group, const CPathName& mainDirectory,
                          CVerboseLog&) override {
    ++shortcutCreations;
    shortcutGroup = group;
    shortcutDirectory = mainDirectory.GetPath();
  }
  void RemoveProgramItems(const CTargetTable&, const std::string& group, CVerboseLog&) override {
    ++shortcutRemovals;
    shortcutGroup = group;
  }
  void RegisterProduct(const CPathName& program, const CUninstallEntry& entry, const CTargetTable&,
                       const CProductIdentity&, CVerboseLog&) override {
    ++registrations;
    registeredProgram = program.GetPath();
    uninstallEntry = entry;
    uninstallCommand = entry.uninstallCommand;
    productKeyName = entry.keyName;
  }
  void UnregisterProduct(const CPathName& program, const CProductIdentity& product, CVerboseLog&) override {
    ++unregistrations;
    registeredProgram = program.GetPath();
    productKeyName = product.key;
  }
  bool RestartWindows() override {
    ++restarts;
    return restartSucceeds;
  }

  DWORD majorVersion = 5;
  bool restartSucceeds = false;  // Windows refuses unless told otherwise

  int programManagerStarts = 0;
  int shortcutCreations = 0;
  int shortcutRemovals = 0;
  int registrations = 0;
  int unregistrations = 0;
  int restarts = 0;

  // The arguments of the latest calls.
  std::string shortcutGroup;
  std::string shortcutDirectory;
  std::string registeredProgram;
  std::string uninstallCommand;
  std::string productKeyName;
  CUninstallEntry uninstallEntry;
};
