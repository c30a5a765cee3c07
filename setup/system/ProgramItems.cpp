#include "setup/system/ProgramItems.h"

#include "setup/profile/TargetTable.h"
#include "setup/system/ShellProgramGroupManager.h"
#include "framework/PumpMessages.h"

void CreateProgramItems(CShellProgramGroupManager& manager, const CTargetTable& targets, const std::string& group,
                        const CPathName& mainDirectory, CVerboseLog& log) {
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
    const bool created = manager.CreateShortcut(group, target.programPath.GetPath(), target.arguments,
                                                target.description, iconPath, target.iconIndex, workingDirectory,
                                                showCommand, 5);
    log.Write("Shortcut \"%s\" in Start Menu folder \"%s\" to %s %s.", target.description.c_str(), group.c_str(),
              target.programPath.c_str(), created ? "created" : "NOT created");
    PumpMessages();
  }
}

std::vector<CPathName> ProgramItemFiles(const CShellProgramGroupManager& manager, const CTargetTable& targets,
                                        const std::string& group) {
  std::vector<CPathName> files;
  if (!manager.UsesShell()) return files;
  for (const auto& entry : targets) {
    if (!entry.target->programPath.IsEmpty()) files.push_back(manager.LinkPath(group, entry.target->description));
  }
  return files;
}

void RemoveProgramItems(CShellProgramGroupManager& manager, const CTargetTable& targets, const std::string& group,
                        CVerboseLog& log) {
  for (const auto& entry : targets) {
    const CTarget& target = *entry.target;
    if (target.programPath.IsEmpty()) continue;
    const bool deleted = manager.DeleteItem(group, target.description);
    log.Write("Shortcut \"%s\" in Start Menu folder \"%s\" %s.", target.description.c_str(), group.c_str(),
              deleted ? "deleted" : "NOT deleted (or not there)");
    PumpMessages();
  }
  const bool groupDeleted = manager.DeleteGroup(group, 0);
  log.Write("Start Menu folder \"%s\" %s.", group.c_str(), groupDeleted ? "deleted" : "kept (not empty, or not there)");
}
