#include "framework/Dialog.h"

#include "framework/Exception.h"
#include "framework/ResourceBytes.h"
#include "framework/Resources.h"
#include "framework/WinApp.h"

namespace {

// The dialog being created on this thread: attached at its first message,
// which comes before WM_INITDIALOG (WM_SETFONT, WM_CREATE, ...).
thread_local CDialog* t_creatingDialog = nullptr;

class CreatingDialog {
public:
  explicit CreatingDialog(CDialog* dialog) : outer_(t_creatingDialog) { t_creatingDialog = dialog; }
  ~CreatingDialog() { t_creatingDialog = outer_; }
  CreatingDialog(const CreatingDialog&) = delete;
  CreatingDialog& operator=(const CreatingDialog&) = delete;

private:
  CDialog* outer_;
};

// The template of dialog id in module, plain or packed (ResourceBytes.h);
// null, with the error the system gives for a missing resource, when the
// module has none.
LPCDLGTEMPLATEA FindDialogTemplate(HINSTANCE module, UINT id) {
  const std::string_view bytes = FindResourceBytes(module, kDialogResourceType, id);
  if (bytes.empty()) {
    ::SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data());
}

}  // namespace

HWND CDataExchange::PrepareCtrl(int id) const { return m_pDlgWnd->GetDlgItem(id); }

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
  HWND control = dx.PrepareCtrl(id);
  if (!control) return;
  if (dx.m_bSaveAndValidate) {
    value = GetWindowTextOf(control);
  } else {
    ::SetWindowTextA(control, value.c_str());
  }
}

void DDX_Check(CDataExchange& dx, int id, int& value) {
  HWND control = dx.PrepareCtrl(id);
  if (!control) return;
  if (dx.m_bSaveAndValidate) {
    value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
  } else {
    ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  }
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
  if (m_hWnd && ::IsWindow(m_hWnd)) {
    HWND h = m_hWnd;
    Detach();
    ::DestroyWindow(h);
  }
}

HWND CDialog::OwnerWindow(CWnd* parent) const {
  if (parent) return parent->m_hWnd;
  CWnd* main = AfxGetMainWnd();
  return main ? main->m_hWnd : nullptr;
}

INT_PTR CDialog::DoModal() {
  if (CWinApp* app = AfxGetApp()) return app->DoModalDialog(*this);
  return RunModal();
}

std::string CDialog::Describe() const { return "Dialog " + std::to_string(m_templateId); }

std::string CDialog::DescribeResult(INT_PTR result) const {
  switch (result) {
    case IDOK:
      return "OK";
    case IDCANCEL:
      return "Cancel";
    case -1:
      return "not shown (it could not be created)";
    default:
      return std::to_string(static_cast<long long>(result));
  }
}

INT_PTR CDialog::RunModal() {
  modal_ = true;
  INT_PTR result;
  {
    CreatingDialog creating(this);
    HINSTANCE module = AfxGetResourceHandle();
    const LPCDLGTEMPLATEA dialogTemplate = FindDialogTemplate(module, m_templateId);
    result = dialogTemplate ? ::DialogBoxIndirectParamA(module, dialogTemplate, OwnerWindow(m_pParentWnd),
                                                        &CDialog::StaticDlgProc, reinterpret_cast<LPARAM>(this))
                            : -1;
  }
  modal_ = false;
  return result;
}

namespace {

// Passes over a menu or class field of a dialog template (none, an
// ordinal, or a NUL-ended wide string); null when the bytes end first.
const WORD* SkipNameOrOrdinal(const WORD* at, const WORD* end) {
  if (at >= end) return nullptr;
  if (*at == 0x0000) return at + 1;
  if (*at == 0xFFFF) return at + 2 <= end ? at + 2 : nullptr;
  while (at < end && *at != 0) ++at;
  return at < end ? at + 1 : nullptr;
}

}  // namespace

std::string CDialog::TemplateCaption() const {
  const std::string_view bytes = FindResourceBytes(AfxGetResourceHandle(), kDialogResourceType, m_templateId);
  // DLGTEMPLATE is 18 bytes before its menu; DLGTEMPLATEEX (version 1,
  // signature 0xFFFF) 26.
  if (bytes.size() < 18) return {};
  const auto* words = reinterpret_cast<const WORD*>(bytes.data());
  const WORD* const end = words + bytes.size() / 2;
  const bool extended = words[0] == 1 && words[1] == 0xFFFF;
  if (extended && bytes.size() < 26) return {};
  const WORD* at = SkipNameOrOrdinal(words + (extended ? 13 : 9), end);  // the menu
  if (at) at = SkipNameOrOrdinal(at, end);                               // the class
  if (!at) return {};
  const WORD* title = at;
  while (at < end && *at != 0) ++at;
  if (at == end || at == title) return {};
  char text[256] = {};
  const int length = ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(title), static_cast<int>(at - title),
                                           text, sizeof text - 1, nullptr, nullptr);
  return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

bool CDialog::Create(UINT templateId, CWnd* parent) {
  if (templateId) m_templateId = templateId;
  if (parent) m_pParentWnd = parent;
  modal_ = false;
  HWND h;
  {
    CreatingDialog creating(this);
    HINSTANCE module = AfxGetResourceHandle();
    const LPCDLGTEMPLATEA dialogTemplate = FindDialogTemplate(module, m_templateId);
    h = dialogTemplate ? ::CreateDialogIndirectParamA(module, dialogTemplate, OwnerWindow(m_pParentWnd),
                                                      &CDialog::StaticDlgProc, reinterpret_cast<LPARAM>(this))
                       : nullptr;
  }
  return h != nullptr;
}

void CDialog::EndDialog(int result) {
  if (m_hWnd) ::EndDialog(m_hWnd, result);
}

bool CDialog::DestroyWindow() {
  if (modal_) {
    EndDialog(IDCANCEL);
    return true;
  }
  return CWnd::DestroyWindow();
}

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(dx);
  return true;
}

void CDialog::DoDataExchange(CDataExchange&) {}

BOOL CDialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(true)) return;
  if (modal_) {
    EndDialog(IDOK);
  } else {
    DestroyWindow();
  }
}

void CDialog::OnCancel() {
  if (modal_) {
    EndDialog(IDCANCEL);
  } else {
    DestroyWindow();
  }
}

BOOL CDialog::OnCommand(UINT id, UINT code, HWND control) {
  if (code == BN_CLICKED || control == nullptr) {
    if (id == IDOK) {
      OnOK();
      return TRUE;
    }
    if (id == IDCANCEL) {
      OnCancel();
      return TRUE;
    }
  }
  return CWnd::OnCommand(id, code, control);
}

HBRUSH CDialog::OnCtlColor(HDC dc, HWND control, UINT type) {
  CWinApp* app = AfxGetApp();
  if (app && app->HasDialogColors() &&
      (type == CTLCOLOR_DLG || type == CTLCOLOR_STATIC || type == CTLCOLOR_BTN || type == CTLCOLOR_MSGBOX)) {
    ::SetBkColor(dc, app->GetDialogBkColor());
    ::SetTextColor(dc, app->GetDialogTextColor());
    return app->GetDialogBrush();
  }
  return CWnd::OnCtlColor(dc, control, type);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog();
  return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CDialog::DefWindowProc(UINT, WPARAM, LPARAM) {
  // A dialog procedure passes a message on by answering FALSE; StaticDlgProc
  // sees the mark that Default() left in the current message.
  return 0;
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (!dialog) {
    if (msg == WM_INITDIALOG) {
      dialog = reinterpret_cast<CDialog*>(lParam);
    } else if (t_creatingDialog && !t_creatingDialog->m_hWnd) {
      dialog = t_creatingDialog;
    }
    if (!dialog) return FALSE;
    dialog->Attach(hWnd);
  }
  CurrentMessage record{msg, wParam, lParam, false};
  LRESULT result;
  try {
    result = dialog->Dispatch(msg, wParam, lParam, record);
  } catch (...) {
    const MSG m{hWnd, msg, wParam, lParam, 0, {0, 0}};
    AfxHandleCurrentException(&m);
    return msg == WM_INITDIALOG ? TRUE : FALSE;
  }
  if (record.defaultCalled) return FALSE;
  // Messages whose result is the return value of the dialog procedure.
  if (IsCtlColorMessage(msg)) return static_cast<INT_PTR>(result);
  switch (msg) {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return static_cast<INT_PTR>(result);
    default:
      if (::IsWindow(hWnd)) ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
      return TRUE;
  }
}
