#include "setup/system/ProgramItems.h"

#include "setup/profile/TargetTable.h"
#include "setup/system/ShellProgramGroupManager.h"
#include "framework/PumpMessages.h"

void CreateProgramItems(CShellProgramGroupManager& manager, const CTargetTable& targets, const std::string& group,
                        const CPathName& mainDirectory) {
  const std::string workingDirectory = mainDirectory.GetDirectory();
  for (const auto& entry : targets) {
    const CTarget& target = *entry.target;
    if (target.programPath.IsEmpty()) continue;
    std::string iconPath;
    if (!target.iconFile.empty()) {
      CPathName icon = mainDirectory;
      icon.SetFileName(target.iconFile);
      iconPath = icon.GetPath();
    }
    const int showCommand = target.minimized != 0 ? SW_SHOWMINIMIZED : SW_SHOW;
    manager.CreateShortcut(group, target.programPath.GetPath(), target.arguments, target.description, iconPath,
                           target.iconIndex, workingDirectory, showCommand, 5);
    PumpMessages();
  }
}

void RemoveProgramItems(CShellProgramGroupManager& manager, const CTargetTable& targets, const std::string& group) {
  for (const auto& entry : targets) {
    const CTarget& target = *entry.target;
    if (target.programPath.IsEmpty()) continue;
    manager.DeleteItem(group, target.description);
    PumpMessages();
  }
  manager.DeleteGroup(group, 0);
}
