#include "setup/wizard/ChangeFolderDialog.h"

#include <dlgs.h>

#include "setup/resources/ResourceIds.h"
#include "setup/wizard/ValidateFolder.h"

namespace {

// Posted to itself after a list selection, once the common dialog has
// acted on it.
constexpr UINT kWmShownDirectoryChanged = WM_USER + 301;

// The caption of template 138: the common dialog would put "Save As" there.
constexpr char kTitle[] = "Change Folder";

bool IsDirectory(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CChangeFolderDialog::CChangeFolderDialog(CWnd* parent)
    : CFileDialog(false, nullptr, "jet.jet",
                  OFN_ENABLETEMPLATE | OFN_SHOWHELP | OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                  "AllFiles (*.*) | *.* ||", parent) {
  m_templateId = IDD_CHANGE_FOLDER;
  m_ofn.lpstrTitle = kTitle;
}

std::string CChangeFolderDialog::NearestExistingDirectory(const std::string& path) {
  std::string directory = path;
  while (!directory.empty()) {
    if (directory.size() > 3 && directory.back() == '\\') directory.pop_back();
    if (IsDirectory(directory)) return directory;
    const std::size_t slash = directory.find_last_of('\\');
    if (slash == std::string::npos || slash + 1 == directory.size()) return {};
    // "C:\dir" goes to the root "C:\", not to the drive's current directory.
    directory.resize(slash > 0 && directory[slash - 1] == ':' ? slash + 1 : slash);
  }
  return {};
}

void CChangeFolderDialog::ChooseFolder(std::string& path, CFolderChoice choice) {
  if (path.empty()) {
    ShowEmptyPathMessage();
    return;
  }
  path_ = path;
  pathText_ = path;
  verify_ = choice.verify ? 1 : 0;
  editable_ = choice.editable ? 1 : 0;
  ask_ = choice.ask ? 1 : 0;
  initialised_ = 0;
  initialDir_ = NearestExistingDirectory(path);
  if (DoModal() == IDOK) path = path_;
}

void CChangeFolderDialog::DoDataExchange(CDataExchange& dx) {
  CFileDialog::DoDataExchange(dx);
  DDX_Text(dx, IDC_FOLDER_PATH, path_);
  DDX_Text(dx, IDC_FOLDER_TEXT, pathText_);
}

BOOL CChangeFolderDialog::OnInitDialog() {
  CFileDialog::OnInitDialog();
  // Wide enough that the common dialog never shortens the path it writes
  // there; the label itself stays hidden.
  if (HWND label = GetDlgItem(stc1)) ::MoveWindow(label, 0, 150, 800, 20, TRUE);
  ::ShowWindow(GetDlgItem(IDC_FOLDER_PATH), editable_ ? SW_SHOW : SW_HIDE);
  ::ShowWindow(GetDlgItem(IDC_FOLDER_TEXT), editable_ ? SW_HIDE : SW_SHOW);
  CenterWindow();
  UpdateData(false);
  initialised_ = 1;
  return TRUE;
}

BOOL CChangeFolderDialog::OnCommand(UINT id, UINT code, HWND control) {
  if (initialised_ && ((id == lst2 && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) ||
                       (id == cmb2 && code == CBN_SELCHANGE))) {
    PostMessage(kWmShownDirectoryChanged);
  }
  return CFileDialog::OnCommand(id, code, control);
}

LRESULT CChangeFolderDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kWmShownDirectoryChanged) {
    TakeShownDirectory();
    return 0;
  }
  return CFileDialog::WindowProc(message, wParam, lParam);
}

void CChangeFolderDialog::TakeShownDirectory() {
  UpdateData(true);
  path_ = GetDlgItemText(stc1);
  pathText_ = path_;
  UpdateData(false);
}

bool CChangeFolderDialog::OnFileNameOK() {
  UpdateData(true);
  if (path_.empty()) {
    ShowEmptyPathMessage();
    return false;
  }
  return !verify_ || ValidateFolder(path_, ask_ != 0, false);
}
