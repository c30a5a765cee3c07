#include "setup/wizard/StartMenuFolderPage.h"

#include <shlobj.h>

#include <memory>

#include "framework/WinApp.h"
#include "setup/wizard/SetupState.h"
#include "setup/profile/InstallModel.h"
#include "setup/paths/PathName.h"
#include "framework/JoinText.h"

namespace {

struct ItemIdListDeleter {
  void operator()(ITEMIDLIST* list) const noexcept { ::CoTaskMemFree(list); }
};
using CItemIdList = std::unique_ptr<ITEMIDLIST, ItemIdListDeleter>;

// COM for the shell's browser, for as long as the object lives.
class CComScope {
public:
  CComScope() : initialized_(SUCCEEDED(::CoInitialize(nullptr))) {}
  CComScope(const CComScope&) = delete;
  CComScope& operator=(const CComScope&) = delete;
  ~CComScope() {
    if (initialized_) ::CoUninitialize();
  }

private:
  bool initialized_;
};

CItemIdList ProgramsItemIdList() {
  ITEMIDLIST* list = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list))) return nullptr;
  return CItemIdList(list);
}

std::string PathOf(const ITEMIDLIST* list) {
  char path[MAX_PATH] = {};
  if (!list || !::SHGetPathFromIDListA(list, path)) return {};
  path[MAX_PATH - 1] = '\0';
  return path;
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && ::CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(),
                                                  static_cast<int>(a.size()), b.data(),
                                                  static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

std::string CStartMenuFolderPage::ProgramsFolder() {
  const CItemIdList list = ProgramsItemIdList();
  return PathOf(list.get());
}

bool CStartMenuFolderPage::IsFolderBelowPrograms(const std::string& folder) {
  if (folder.empty() || folder[0] == '\\' || folder[0] == '/' || folder.find(':') != std::string::npos) {
    return false;
  }
  std::size_t start = 0;
  while (start <= folder.size()) {
    std::size_t end = folder.find_first_of("\\/", start);
    if (end == std::string::npos) end = folder.size();
    const std::string part = folder.substr(start, end - start);
    if (part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

std::string CStartMenuFolderPage::RelativeToPrograms(const std::string& chosen, const std::string& programs) {
  if (programs.empty() || chosen.size() <= programs.size() + 1) return {};
  if (!SameText(chosen.substr(0, programs.size()), programs) || chosen[programs.size()] != '\\') return {};
  return chosen.substr(programs.size() + 1);
}

void CStartMenuFolderPage::DoDataExchange(CDataExchange& dx) {
  CWizardPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_DIRECTORY, folder_);
}

void CStartMenuFolderPage::Prepare() {
  const CSetupState& app = State();
  folder_ = app.choices.programFolder ? *app.choices.programFolder : app.model->programFolder;
}

BOOL CStartMenuFolderPage::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDC_BROWSE && code == BN_CLICKED) {
    OnBrowse();
    return TRUE;
  }
  return CWizardPage::OnCommand(id, code, control);
}

void CStartMenuFolderPage::OnBrowse() {
  CComScope com;
  const CItemIdList root = ProgramsItemIdList();
  if (!root) return;
  const std::string programs = PathOf(root.get());
  char displayName[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.hwndOwner = m_hWnd;
  info.pidlRoot = root.get();
  info.pszDisplayName = displayName;
  info.lpszTitle = "Select Folder";
  info.ulFlags = BIF_DONTGOBELOWDOMAIN;
  const CItemIdList chosen(::SHBrowseForFolderA(&info));
  if (!chosen) return;
  const std::string folder = RelativeToPrograms(PathOf(chosen.get()), programs);
  if (folder.empty()) return;
  folder_ = folder;
  SetDlgItemText(IDC_DIRECTORY, folder_);
}

void CStartMenuFolderPage::OnOK() {
  UpdateData(true);
  if (folder_.empty()) {
    NoteRefusal("the Start Menu folder is empty");
    return;
  }
  const std::string programs = ProgramsFolder();
  if (programs.empty()) {
    NoteRefusal("the Start Menu's Programs folder cannot be found");
    return;
  }

  bool usable = IsFolderBelowPrograms(folder_);
  if (usable) {
    CPathName path;
    path.SetDirectory(programs);
    path.AppendDirectory(folder_);
    if (!path.DirectoryExists()) {
      usable = path.CreateDirectory(true);
      // Only a check that it can be made: the folder is made with the
      // shortcuts.
      if (usable) path.RemoveDirectory();
    }
  }
  if (!usable) {
    NoteRefusal(JoinText({"the Start Menu folder \"", folder_, "\" is not a folder below ", programs,
                          " that can be created"}));
    AfxMessageBox(IDS_CANNOT_CREATE_START_MENU_ITEM, MB_OK);
    return;
  }
  State().model->programFolder = folder_;
  State().verboseLog.Write("Start Menu folder \"%s\".", folder_.c_str());
  GoNext();
}
