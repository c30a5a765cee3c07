#include "setup/errors/ErrorDialog.h"

#include "framework/Resources.h"
#include "framework/WinApp.h"
#include "setup/resources/ResourceIds.h"
#include "framework/JoinText.h"

CErrorDialog::CErrorDialog(CWnd* parent)
    : CExpandingDialog(IDD_ERROR_DIALOG, parent), faceBrush_(::GetSysColor(COLOR_BTNFACE)) {}

CErrorDialog::~CErrorDialog() {
  // The controls use the font and the brush: the window goes first.
  if (m_hWnd && ::IsWindow(m_hWnd)) {
    HWND h = m_hWnd;
    Detach();
    ::DestroyWindow(h);
  }
}

void CErrorDialog::DoDataExchange(CDataExchange& dx) {
  CExpandingDialog::DoDataExchange(dx);
  if (!dx.m_bSaveAndValidate) {
    if (HWND iconControl = GetDlgItem(IDC_ERROR_ICON)) {
      ::SendMessageA(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(::LoadIconA(nullptr, icon)), 0);
    }
  }
  DDX_Text(dx, IDC_ERROR_MESSAGE, message);
  DDX_Text(dx, IDC_ERROR_SHORT_TEXT, shortText);
  DDX_Text(dx, IDC_ERROR_LONG_TEXT, longText);
  DDX_Text(dx, IDC_ERROR_INFORMATION, errorInformation);
}

std::string CErrorDialog::Describe() const {
  const std::string_view bar = " | ";
  return JoinText({"Error: ", message, shortText.empty() ? "" : bar, shortText, longText.empty() ? "" : bar, longText,
                   bar, errorInformation});
}

std::string CErrorDialog::DescribeResult(INT_PTR result) const {
  if (!allowContinue) return "OK";
  return result == IDOK ? "Continue Operation" : "Cancel Operation";
}

BOOL CErrorDialog::OnInitDialog() {
  CExpandingDialog::OnInitDialog();
  if (allowContinue) {
    SetDlgItemText(IDOK, LoadResourceString(IDS_CONTINUE_OPERATION));
    SetDlgItemText(IDCANCEL, LoadResourceString(IDS_CANCEL_OPERATION));
  } else if (HWND cancel = GetDlgItem(IDCANCEL)) {
    ::ShowWindow(cancel, SW_HIDE);
  }
  if (helpContext == -1) {
    if (HWND help = GetDlgItem(IDHELP)) ::ShowWindow(help, SW_HIDE);
  }
  LOGFONTA lf{};
  {
    CClientDC screen(nullptr);
    lf.lfHeight = -::MulDiv(8, screen.GetDeviceCaps(LOGPIXELSY), 72);
  }
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
  if (smallFont_.CreateFontIndirect(lf)) {
    for (int id : {IDC_ERROR_INFORMATION, IDC_ERROR_LONG_TEXT}) {
      if (HWND control = GetDlgItem(id)) {
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(smallFont_.GetSafeHandle()), TRUE);
      }
    }
  }
  CenterWindow();
  return TRUE;
}

BOOL CErrorDialog::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDHELP && code == BN_CLICKED) {
    OnHelp();
    return TRUE;
  }
  return CExpandingDialog::OnCommand(id, code, control);
}

HBRUSH CErrorDialog::OnCtlColor(HDC dc, HWND control, UINT type) {
  if (control && ::GetDlgCtrlID(control) == IDC_ERROR_LONG_TEXT && faceBrush_) {
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return faceBrush_;
  }
  return CExpandingDialog::OnCtlColor(dc, control, type);
}

void CErrorDialog::OnHelp() {
  // The application's help file: the program's own path with the extension "hlp".
  char module[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  bool launched = false;
  if (length > 0 && length < MAX_PATH) {
    std::string path(module, length);
    const std::size_t name = path.find_last_of("\\/");
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && (name == std::string::npos || dot > name)) path.resize(dot);
    path += ".hlp";
    launched = ::WinHelpA(m_hWnd, path.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(helpContext)) != 0;
  }
  if (!launched) AfxMessageBox("Failed to launch help.", MB_OK | MB_ICONEXCLAMATION);
}
