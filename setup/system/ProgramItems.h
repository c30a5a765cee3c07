// The Start Menu shortcuts of the program items: made after the copy and
// taken away on removal. Only items with a program path take part. Failures
// of single items are not reported and do not stop the others.
#pragma once

#include <string>
#include <vector>

#include "setup/log/VerboseLog.h"
#include "setup/paths/PathName.h"

class CShellProgramGroupManager;
class CTargetTable;

// Creates the shortcut of every item in table order in group, with
// mainDirectory (destination 0) as working directory and icon folder,
// keeping the windows alive after each. Each shortcut is noted in log.
void CreateProgramItems(CShellProgramGroupManager& manager, const CTargetTable& targets, const std::string& group,
                        const CPathName& mainDirectory, CVerboseLog& log = NoVerboseLog());
// The link files CreateProgramItems writes, in the same order; none when
// the items are Program Manager's.
std::vector<CPathName> ProgramItemFiles(const CShellProgramGroupManager& manager, const CTargetTable& targets,
                                        const std::string& group);
// Deletes the shortcut of every item, then the group's folder when it is
// left empty; each deletion is noted in log.
void RemoveProgramItems(CShellProgramGroupManager& manager, const CTargetTable& targets, const std::string& group,
                        CVerboseLog& log = NoVerboseLog());
