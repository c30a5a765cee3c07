// CSystemActions: everything the setup program asks of the machine beyond
// its own files and windows: the Windows version it runs on, Program
// Manager, the program items of the Start Menu, the product's registry
// entries and the restart. The application holds one for the run
// (CSetupApp::System); CWindowsSystemActions does the real thing, and a
// test's application brings one of its own that touches nothing.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setup/paths/PathName.h"
#include "setup/system/UninstallEntry.h"

class CProductIdentity;
class CTargetTable;

// A registry key: its root and its path below the root.
struct CRegistryKeyName {
  HKEY root;
  std::string path;
};
class CVerboseLog;

class CSystemActions {
public:
  CSystemActions() = default;
  CSystemActions(const CSystemActions&) = delete;
  CSystemActions& operator=(const CSystemActions&) = delete;
  virtual ~CSystemActions() = default;

  // The major version of Windows (4 for Windows 95 and NT 4); 0 when it
  // cannot be had.
  virtual DWORD WindowsMajorVersion() = 0;
  // Starts Program Manager (hidden) when no conversation with it could be
  // opened.
  virtual void StartProgramManager() = 0;

  // The shortcut of every item of targets that has a program path, in
  // table order, in the Start Menu folder group, with mainDirectory as
  // working directory and icon folder. A failing item is not reported to
  // the user and does not stop the others. Each shortcut goes to log.
  virtual void CreateProgramItems(const CTargetTable& targets, const std::string& group,
                                  const CPathName& mainDirectory, CVerboseLog& log) = 0;
  // The files CreateProgramItems writes for targets in group (the shortcuts
  // as files); none where the items are Program Manager's.
  virtual std::vector<CPathName> ProgramItemFiles(const CTargetTable& targets, const std::string& group) {
    (void)targets;
    (void)group;
    return {};
  }
  // Deletes those shortcuts, then the folder group when it is left empty.
  // Nothing is reported to the user; each deletion goes to log.
  virtual void RemoveProgramItems(const CTargetTable& targets, const std::string& group, CVerboseLog& log) = 0;

  // Writes the App Paths entry of program, the uninstall entry, and, when
  // the product has one, the host product's menu entries (named by its
  // key) for program and targets. A failure leaves its entry out and is
  // not reported to the user; what was written goes to log.
  virtual void RegisterProduct(const CPathName& program, const CUninstallEntry& uninstallEntry,
                               const CTargetTable& targets, const CProductIdentity& product, CVerboseLog& log) = 0;
  // The keys RegisterProduct writes for program, uninstallEntry and
  // product, each with everything below it, a key before the keys below it.
  virtual std::vector<CRegistryKeyName> ProductRegistryKeys(const CPathName& program,
                                                            const CUninstallEntry& uninstallEntry,
                                                            const CProductIdentity& product) {
    (void)program;
    (void)uninstallEntry;
    (void)product;
    return {};
  }
  // Deletes what RegisterProduct wrote and, for the built-in product,
  // Veltrane's own settings keys and its document type (a product a kit
  // names has none of its own that the setup program knows). What cannot
  // be deleted stays; nothing is reported to the user; what was deleted
  // goes to log.
  virtual void UnregisterProduct(const CPathName& program, const CProductIdentity& product, CVerboseLog& log) = 0;

  // Asks Windows to restart; false (after telling the user) when Windows
  // refuses. On success Windows ends the program.
  virtual bool RestartWindows() = 0;
};
