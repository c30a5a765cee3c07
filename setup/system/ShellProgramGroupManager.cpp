#include "setup/system/ShellProgramGroupManager.h"

#include <shellapi.h>

#include <vector>

#include "framework/WinApp.h"
#include "framework/Wnd.h"
#include "setup/system/RegistryValue.h"

namespace {

constexpr char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// SHFileOperation's source list: the path and two terminators.
constexpr std::size_t kDeleteBufferSize = 520;

std::string WithTrailingSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

}  // namespace

std::string CShellProgramGroupManager::ProgramsFolder() {
  const CRegistryStringValue programs(HKEY_CURRENT_USER, kShellFoldersKey, "Programs", "", true, false);
  if (!programs.Value().empty()) return programs.Value();
  CPathName folder(SpecialDirectory::windows);
  folder.AppendDirectory("Start Menu\\Programs");
  return folder.GetPath();
}

CShellProgramGroupManager::CShellProgramGroupManager(DWORD windowsMajorVersion, ProgramManagerStarter startProgramManager)
    : CShellProgramGroupManager(windowsMajorVersion, std::move(startProgramManager), ProgramsFolder()) {}

CShellProgramGroupManager::CShellProgramGroupManager(DWORD windowsMajorVersion, ProgramManagerStarter startProgramManager,
                                                     const std::string& programsFolder, std::string service)
    : CProgramGroupManager(std::move(startProgramManager), std::move(service)),
      useShell_(windowsMajorVersion > 3 ? 1 : 0),
      programsFolder_(WithTrailingSeparator(programsFolder)) {}

CPathName CShellProgramGroupManager::GroupFolder(const std::string& group) const {
  CPathName folder = programsFolder_;
  folder.AppendDirectory(group);
  return folder;
}

CPathName CShellProgramGroupManager::LinkPath(const std::string& group, const std::string& title) const {
  CPathName link = GroupFolder(group);
  link.SetFileName(title + ".lnk");
  return link;
}

bool CShellProgramGroupManager::CreateShortcut(const std::string& group, const std::string& program,
                                               const std::string& arguments, const std::string& title,
                                               const std::string& iconPath, int iconIndex,
                                               const std::string& workingDirectory, int showCommand, int reserved) {
  if (!useShell_) {
    // Program Manager has no working directory for the item; the reserved
    // number is not a position.
    (void)reserved;
    return AddItem(group, program, arguments, title, iconPath, iconIndex, 0, showCommand);
  }

  // COM stays initialised for the rest of the thread's life.
  ::CoInitialize(nullptr);
  // A fresh pair for every shortcut.
  persistFile_.Release();
  shellLink_.Release();
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shellLink_)))) {
    return false;
  }
  if (FAILED(shellLink_.As(persistFile_, IID_IPersistFile))) return false;

  CPathName working;
  working.SetDirectory(workingDirectory);
  GroupFolder(group).CreateDirectory(true);
  const CPathName link = LinkPath(group, title);

  shellLink_->SetPath(program.c_str());
  shellLink_->SetArguments(arguments.c_str());
  shellLink_->SetDescription(title.c_str());
  shellLink_->SetWorkingDirectory(workingDirectory.empty() ? "" : working.GetDirectory().c_str());

  const int length = ::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, nullptr, 0);
  if (length <= 0) return false;
  std::vector<wchar_t> wide(static_cast<std::size_t>(length) + 1, L'\0');
  if (::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide.data(), length) <= 0) return false;
  return SUCCEEDED(persistFile_->Save(wide.data(), TRUE));
}

bool CShellProgramGroupManager::DeleteItem(const std::string& group, const std::string& title) {
  if (!useShell_) return CProgramGroupManager::DeleteItem(group, title);
  const CPathName link = LinkPath(group, title);
  // A path that does not fit with its two terminators is refused rather
  // than cut (a cut path could name another file); a missing link is not
  // handed to the shell, which would report it in a message box.
  if (link.GetPath().size() + 2 > kDeleteBufferSize || !link.Exists()) return false;
  char from[kDeleteBufferSize] = {};
  link.GetPath().copy(from, link.GetPath().size());

  SHFILEOPSTRUCTA operation{};
  CWnd* main = AfxGetMainWnd();
  operation.hwnd = main ? main->m_hWnd : nullptr;
  operation.wFunc = FO_DELETE;
  operation.pFrom = from;
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
  return ::SHFileOperationA(&operation) == 0;
}

bool CShellProgramGroupManager::DeleteGroup(const std::string& group, int unused) {
  if (!useShell_) return CProgramGroupManager::DeleteGroup(group, unused);
  // Without a group name the folder would be the Programs folder itself.
  if (group.empty()) return false;
  const CPathName folder = GroupFolder(group);
  if (!folder.RemoveDirectory()) return false;
  const std::string path = folder.GetDirectory();
  ::SHChangeNotify(SHCNE_RMDIR, SHCNF_PATHA, path.c_str(), nullptr);
  return true;
}
