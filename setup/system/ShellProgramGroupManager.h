// CShellProgramGroupManager: the program group as a folder below the
// current user's Start Menu "Programs" folder and its items as shell links.
// On Windows older than version 4 every operation falls back to the
// Program Manager operations it inherits. Results are for callers that may
// ignore them: nothing here throws for a shortcut or folder that cannot be
// made or removed.
#pragma once

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <string>

#include "framework/ComPtr.h"
#include "setup/system/ProgramGroupManager.h"
#include "setup/paths/PathName.h"

class CShellProgramGroupManager : public CProgramGroupManager {
public:
  // Works in the current user's Programs folder (ProgramsFolder), through
  // the shell from Windows version 4 (windowsMajorVersion) on, otherwise
  // through Program Manager, started with startProgramManager when needed.
  CShellProgramGroupManager(DWORD windowsMajorVersion, ProgramManagerStarter startProgramManager);
  // Works in the given Programs folder instead, and falls back to the
  // Program Manager of the given DDE service; for tests.
  CShellProgramGroupManager(DWORD windowsMajorVersion, ProgramManagerStarter startProgramManager,
                            const std::string& programsFolder, std::string service = "PROGMAN");

  bool DeleteItem(const std::string& group, const std::string& title) override;
  // Removes the group's folder when it is empty (the innermost folder of a
  // nested name only). An empty group name removes nothing.
  bool DeleteGroup(const std::string& group, int unused) override;

  // Creates (or overwrites) the link "title.lnk" to program in the group's
  // folder, made with its parents when missing; the link carries the
  // arguments, title as its description and the working directory.
  // iconPath, iconIndex, showCommand and reserved serve only the Program
  // Manager form. True when the link was saved.
  virtual bool CreateShortcut(const std::string& group, const std::string& program, const std::string& arguments,
                              const std::string& title, const std::string& iconPath, int iconIndex,
                              const std::string& workingDirectory, int showCommand, int reserved);

  // HKEY_CURRENT_USER "...\Explorer\Shell Folders" "Programs", or the
  // Windows directory's "Start Menu\Programs" when that value is empty.
  static std::string ProgramsFolder();
  const CPathName& GetProgramsFolder() const noexcept { return programsFolder_; }
  bool UsesShell() const noexcept { return useShell_ != 0; }
  // The link file of the item title in group.
  CPathName LinkPath(const std::string& group, const std::string& title) const;

private:
  // The group's folder (ending with '\').
  CPathName GroupFolder(const std::string& group) const;

  int useShell_;
  CComPtr<IShellLinkA> shellLink_;  // before the persist-file pointer: released after it
  CComPtr<IPersistFile> persistFile_;
  CPathName programsFolder_;  // ends with '\'
};
