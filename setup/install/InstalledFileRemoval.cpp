#include "setup/install/InstalledFileRemoval.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "setup/log/EventTrail.h"
#include "setup/log/InstallLog.h"
#include "setup/log/InstalledFileRecord.h"
#include "setup/profile/DestinationTable.h"
#include "setup/profile/GroupTable.h"
#include "setup/archive/MediaFileName.h"
#include "setup/install/ReplaceAtRestart.h"
#include "setup/system/FileHolders.h"
#include "setup/system/SharedDllCounter.h"

namespace {

// Names and paths compared as the system compares them.
bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return ::lstrcmpiA(std::string(a).c_str(), std::string(b).c_str()) == 0;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The number of directories from the root down to directory.
int Depth(CPathName directory) {
  int depth = 0;
  std::string name;
  while (directory.SplitLastDirectory(name)) ++depth;
  return depth;
}

}  // namespace

CInstalledFileRemoval::CInstalledFileRemoval(CInstallLog& log, const CDestinationTable& destinations,
                                             const CGroupTable& groups, ShowPath show, CVerboseLog& verboseLog)
    : log_(log), destinations_(destinations), groups_(groups), show_(std::move(show)),
      verboseLog_(verboseLog) {}

bool CInstalledFileRemoval::IsPlainFileName(std::string_view name) {
  // IsUsableFileName refuses separators, colons (and with them drives),
  // "." and "..", wildcards and device names.
  return IsUsableFileName(name) && IsLoggableFileName(name);
}

bool CInstalledFileRemoval::IsSetupProgramName(std::string_view name) {
  return EqualsIgnoringCase(name, "_setupx.exe") || EqualsIgnoringCase(name, "_setupw.exe");
}

bool CInstalledFileRemoval::IsAbsoluteDirectory(const CPathName& directory) {
  const std::string& path = directory.GetPath();
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      IsSeparator(path[2])) {
    return true;
  }
  // A share: "\\server\share\", both names present.
  if (path.size() < 5 || !IsSeparator(path[0]) || !IsSeparator(path[1]) || IsSeparator(path[2])) return false;
  const auto serverEnd = std::find_if(path.begin() + 2, path.end(), IsSeparator);
  return serverEnd != path.end() && serverEnd + 1 != path.end() && !IsSeparator(*(serverEnd + 1));
}

void CInstalledFileRemoval::RemoveFiles() {
  // What the removal notes in [Events] goes into the journal, not into a
  // save of the whole log for each event.
  log_.StartJournal();
  for (const auto& group : groups_) {
    for (const auto& [name, record] : ReadInstalledFiles(log_.Text(), group->key)) {
      if (!IsPlainFileName(name)) {
        LogEvent(log_, "Skipped a file name that is not a plain name: %s", name.c_str());
        verboseLog_.Write("Skipped: the install log names \"%s\", which is not a plain file name.", name.c_str());
        continue;
      }
      CPathName path = destinations_.GetPath(record.destinationId);
      if (path.IsEmpty() || !IsAbsoluteDirectory(path)) {
        verboseLog_.Write("Skipped: %s, its destination %d has no absolute directory.", name.c_str(),
                          record.destinationId);
        continue;
      }
      path.SetFileName(name);
      if (show_) show_(path);

      if (record.destinationId == CDestination::kSystemDirectory) {
        // Other products may use the file: it goes when nobody counts it,
        // which is not this program's decision.
        CSharedDllCounter counter(path);
        const DWORD before = counter.GetCount();
        counter.Decrement();
        verboseLog_.Write("Kept: %s, a shared file: SharedDLLs count %lu before, %lu after.", path.c_str(),
                          static_cast<unsigned long>(before), static_cast<unsigned long>(counter.GetCount()));
      } else if (path.Delete(true)) {
        verboseLog_.Write("Deleted: %s", path.c_str());
      } else {
        const DWORD error = ::GetLastError();
        if (!path.Exists()) {
          verboseLog_.Write("NOT deleted: %s (already gone, error %lu).", path.c_str(),
                            static_cast<unsigned long>(error));
        } else if (IsSetupProgramName(name)) {
          // The program that runs the removal cannot delete itself; it
          // goes at the restart, which the removal need not ask for.
          ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          const bool scheduled = DeleteAtRestart(path);
          if (scheduled) deletedAtRestart_.push_back(path.GetPath());
          verboseLog_.Write("%s: %s, the setup program that runs the removal.",
                            scheduled ? "Deleted at the next restart" : "NOT deleted", path.c_str());
        } else if (IsInUse(error)) {
          DeleteInUseAtRestart(path);
        } else {
          verboseLog_.Write("NOT deleted: %s (protected, error %lu).", path.c_str(), static_cast<unsigned long>(error));
        }
      }
    }
  }
}

bool CInstalledFileRemoval::IsInUse(DWORD error) {
  // A file held open without sharing its deletion, or a program that runs
  // (whose image the system refuses to delete).
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

void CInstalledFileRemoval::DeleteInUseAtRestart(const CPathName& path) {
  std::string heldBy;
  for (const std::string& holder : ProgramsHoldingFile(path.GetPath())) {
    heldBy += (heldBy.empty() ? "" : ", ") + holder;
  }
  if (heldBy.empty()) heldBy = "the system cannot say which program";
  // Read-only, the file would stay at the restart too.
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!DeleteAtRestart(path)) {
    verboseLog_.Write("NOT deleted: %s, which is in use (held by %s), and the system takes no deletion at the "
                      "next restart.",
                      path.c_str(), heldBy.c_str());
    return;
  }
  deletedAtRestart_.push_back(path.GetPath());
  ++productFilesAtRestart_;
  verboseLog_.Write("Deleted at the next restart, because it is in use: %s (held by %s).", path.c_str(),
                    heldBy.c_str());
}

void CInstalledFileRemoval::RemoveDirectories() {
  std::vector<std::pair<int, CPathName>> directories;
  for (const auto& destination : destinations_) {
    if (destination->id < 0 || destination->path.IsEmpty() || !IsAbsoluteDirectory(destination->path)) continue;
    directories.emplace_back(Depth(destination->path), destination->path);
  }
  // Deepest first, so that a destination below another goes before it; the
  // table's order among directories of the same depth.
  std::stable_sort(directories.begin(), directories.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& [depth, directory] : directories) {
    if (directory.RemoveDirectory()) {
      verboseLog_.Write("Directory deleted: %s", directory.c_str());
      continue;
    }
    if (!directory.DirectoryExists()) continue;
    verboseLog_.Write("Directory kept: %s (not empty).", directory.c_str());
    // Still held by something that goes at the restart: this directory may
    // follow it then (the system removes it only when it is empty).
    const std::string& text = directory.GetPath();
    const bool holdsPending =
        std::any_of(deletedAtRestart_.begin(), deletedAtRestart_.end(), [&text](const std::string& pending) {
          return pending.size() > text.size() &&
                 EqualsIgnoringCase(std::string_view(pending).substr(0, text.size()), text);
        });
    if (holdsPending && DeleteAtRestart(CPathName(directory.GetDirectory()))) {
      deletedAtRestart_.push_back(text);
    }
  }
}
