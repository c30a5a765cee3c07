#include "framework/WinApp.h"

#include "framework/Dialog.h"
#include "framework/Exception.h"
#include "framework/Resources.h"
#include "framework/Wnd.h"

namespace {
CWinApp* g_app = nullptr;

// The top-level window that hwnd lies in: up the chain of parents to the
// first window that is not a child. (GetParent of a top-level window gives
// its owner, which is another window altogether.)
HWND RootWindowOf(HWND hwnd) {
  while (::GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) {
    HWND parent = ::GetParent(hwnd);
    if (!parent) break;
    hwnd = parent;
  }
  return hwnd;
}
}  // namespace

CWinApp::CWinApp(std::string appTitle) : m_title(std::move(appTitle)), previousApp_(g_app) { g_app = this; }

CWinApp::~CWinApp() {
  // A program has one application object; a test may make a second one for
  // a while, and the first is current again when it goes.
  if (g_app == this) g_app = previousApp_;
}

CWinApp* AfxGetApp() { return g_app; }

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return m_exitCode; }

LRESULT CWinApp::ProcessWndProcException(CException& e, const MSG* msg) {
  AfxMessageBox(e.GetErrorMessage(), MB_OK | MB_ICONSTOP);
  // A window whose creation failed is not created.
  return (msg && msg->message == WM_CREATE) ? -1 : 0;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
  if (!msg->hwnd) return FALSE;
  HWND root = RootWindowOf(msg->hwnd);
  auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandle(root));
  if (dialog && !dialog->IsModal()) return ::IsDialogMessageA(root, msg);
  return FALSE;
}

bool CWinApp::DispatchOne(MSG& msg) {
  if (msg.message == WM_QUIT) return false;
  if (!PreTranslateMessage(&msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return true;
}

int CWinApp::Run() {
  MSG msg;
  for (;;) {
    const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    DispatchOne(msg);
  }
  m_exitCode = static_cast<int>(msg.wParam);
  return ExitInstance();
}

void CWinApp::SetDialogBkColor(COLORREF background, COLORREF text) {
  dialogBrush_.CreateSolidBrush(background);
  dialogBkColor_ = background;
  dialogTextColor_ = text;
}

int CWinApp::WinMainEntry(HINSTANCE instance, const char* commandLine, int showCmd) {
  m_hInstance = instance;
  m_lpCmdLine = commandLine ? commandLine : "";
  m_nCmdShow = showCmd;
  try {
    if (!InitInstance()) {
      if (m_pMainWnd) m_pMainWnd->DestroyWindow();
      return ExitInstance();
    }
    return Run();
  } catch (...) {
    AfxHandleCurrentException(nullptr);
  }
  try {
    return ExitInstance();
  } catch (...) {
    AfxHandleCurrentException(nullptr);
    return -1;
  }
}

namespace {

HWND MessageBoxOwner() {
  CWnd* main = AfxGetMainWnd();
  HWND owner = main ? main->m_hWnd : nullptr;
  if (owner) owner = ::GetLastActivePopup(owner);
  if (!owner) owner = ::GetActiveWindow();
  return owner;
}

}  // namespace

int CWinApp::DoMessageBox(const std::string& text, UINT type, const char* caption) {
  if (!caption && !m_title.empty()) caption = m_title.c_str();
  return ::MessageBoxA(MessageBoxOwner(), text.c_str(), caption, type);
}

INT_PTR CWinApp::DoModalDialog(CDialog& dialog) { return dialog.RunModal(); }

int AfxMessageBox(const std::string& text, UINT type) {
  if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(text, type, nullptr);
  return ::MessageBoxA(MessageBoxOwner(), text.c_str(), nullptr, type);
}

int AfxMessageBox(UINT stringId, UINT type) { return AfxMessageBox(LoadResourceString(stringId), type); }
