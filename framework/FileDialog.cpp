#include "framework/FileDialog.h"

#include <cstring>

#include "framework/Resources.h"
#include "framework/SystemLibrary.h"

namespace {

using FileNameDialogFn = BOOL(WINAPI*)(OPENFILENAMEA*);

// The common dialogs come from the system directory's COMDLG32.DLL, loaded
// when the first dialog opens: imported, the library and the libraries it
// imports in turn would be looked for beside the program when it starts.
FileNameDialogFn FileNameDialog(bool open) {
  static const CSystemLibrary comdlg("comdlg32.dll");
  return comdlg.Find<FileNameDialogFn>(open ? "GetOpenFileNameA" : "GetSaveFileNameA");
}

}  // namespace

CFileDialog::CFileDialog(bool openFileDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : CDialog(0, parent), open_(openFileDialog), filter_(filter ? filter : ""), defaultExt_(defaultExt ? defaultExt : "") {
  for (char& c : filter_) {
    if (c == '|') c = '\0';
  }
  filter_.push_back('\0');
  if (fileName) std::strncpy(fileName_, fileName, sizeof fileName_ - 1);
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.Flags = flags | OFN_ENABLEHOOK;
}

INT_PTR CFileDialog::DoModal() {
  CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
  m_ofn.hwndOwner = owner ? owner->m_hWnd : nullptr;
  m_ofn.hInstance = AfxGetResourceHandle();
  m_ofn.lpstrFilter = filter_.size() > 1 ? filter_.c_str() : nullptr;
  m_ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
  m_ofn.lpstrFile = fileName_;
  m_ofn.nMaxFile = sizeof fileName_;
  m_ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
  if (m_ofn.Flags & OFN_ENABLETEMPLATE) m_ofn.lpTemplateName = MAKEINTRESOURCEA(m_templateId);
  m_ofn.lpfnHook = &CFileDialog::HookProc;
  m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
  const FileNameDialogFn dialog = FileNameDialog(open_);
  return dialog && dialog(&m_ofn) ? IDOK : IDCANCEL;
}

BOOL CFileDialog::OnCommand(UINT id, UINT code, HWND control) {
  // OK reaches the common dialog only when the derived class agrees; the
  // buttons are the common dialog's, so the base CDialog never sees them.
  if (id == IDOK && (code == BN_CLICKED || control == nullptr)) return OnFileNameOK() ? FALSE : TRUE;
  if (id == IDOK || id == IDCANCEL) return FALSE;
  return CDialog::OnCommand(id, code, control);
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    const auto* ofn = reinterpret_cast<const OPENFILENAMEA*>(lParam);
    return CDialog::StaticDlgProc(hWnd, msg, wParam, ofn->lCustData);
  }
  return CDialog::StaticDlgProc(hWnd, msg, wParam, lParam);
}
