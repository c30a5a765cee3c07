#include "framework/Wnd.h"

#include "framework/FormatText.h"
#include "framework/Dialog.h"
#include "framework/Exception.h"
#include "framework/WinApp.h"

namespace {

// The object whose window is being created on this thread: attached at the
// first message the new window receives (which may come before WM_NCCREATE).
thread_local CWnd* t_creating = nullptr;

// Mouse coordinates are signed 16-bit values (negative left of or above the window).
POINT PointFromLParam(LPARAM lp) {
  return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

}  // namespace

CWnd::~CWnd() {
  if (m_hWnd && ::IsWindow(m_hWnd)) {
    // The derived parts are gone: detach first so that the messages of the
    // destruction get the default processing only.
    HWND h = m_hWnd;
    Detach();
    ::DestroyWindow(h);
  }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  // Only windows whose procedure is ours carry an object in GWLP_USERDATA;
  // other windows may use that slot for anything.
  const auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
  bool ours = proc == &CWnd::StaticWndProc;
  if (!ours) {
    // Dialogs keep the class procedure and call ours as their dialog procedure.
    ours = ::GetWindowLongPtrA(hWnd, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&CDialog::StaticDlgProc);
  }
  if (!ours) return nullptr;
  return reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

void CWnd::Attach(HWND hWnd) {
  m_hWnd = hWnd;
  ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CWnd::Detach() {
  if (m_hWnd) {
    if (::IsWindow(m_hWnd)) {
      ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
      if (m_superProc) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    }
    m_superProc = nullptr;
    m_hWnd = nullptr;
  }
}

bool CWnd::PreCreateWindow(CREATESTRUCTA&) { return true; }

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId, void* param) {
  CREATESTRUCTA cs{};
  cs.dwExStyle = exStyle;
  cs.lpszClass = className;
  cs.lpszName = windowName;
  cs.style = static_cast<LONG>(style);
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.hwndParent = parent;
  cs.hMenu = menuOrId;
  cs.hInstance = ::GetModuleHandleA(nullptr);
  cs.lpCreateParams = param;
  if (!PreCreateWindow(cs)) return false;

  CWnd* const outer = t_creating;
  t_creating = this;
  HWND h = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style),
                             cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                             cs.lpCreateParams);
  const bool attachedEarly = t_creating == nullptr;  // our own class: attached by StaticWndProc
  t_creating = outer;
  if (!h) {
    m_hWnd = nullptr;
    return false;
  }
  if (!attachedEarly) {
    // A system class: route its messages through our procedure from now on.
    SubclassWindow(h);
  }
  return true;
}

bool CWnd::SubclassWindow(HWND hWnd) {
  if (!hWnd || m_hWnd) return false;
  Attach(hWnd);
  m_superProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
  return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
  HWND h = m_hWnd;
  Detach();
  return h;
}

bool CWnd::DestroyWindow() { return m_hWnd && ::DestroyWindow(m_hWnd) != 0; }

std::string CWnd::RegisterWndClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
  // The style and three pointers in hexadecimal: at most 8 + 8 + 3 + 3 x 18
  // characters with 64-bit pointers, so the name is never cut.
  char name[96];
  FormatText(name, sizeof name, "VeltWnd:%x:%p:%p:%p", style, static_cast<void*>(cursor),
             static_cast<void*>(background), static_cast<void*>(icon));
  RegisterNamedClass(name, style, cursor, background, icon);
  return name;
}

void CWnd::RegisterNamedClass(const char* name, UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA existing;
  if (::GetClassInfoA(instance, name, &existing)) {
    if (existing.lpfnWndProc != &CWnd::StaticWndProc) AfxThrowResourceException();
    return;
  }
  WNDCLASSA wc{};
  wc.style = style;
  wc.lpfnWndProc = &CWnd::StaticWndProc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  if (!::RegisterClassA(&wc)) AfxThrowResourceException();
}

RECT CWnd::GetClientRect() const {
  RECT rc{};
  ::GetClientRect(m_hWnd, &rc);
  return rc;
}

RECT CWnd::GetWindowRect() const {
  RECT rc{};
  ::GetWindowRect(m_hWnd, &rc);
  return rc;
}

std::string GetWindowTextOf(HWND wnd) {
  if (!wnd) return {};
  const int length = ::GetWindowTextLengthA(wnd);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(wnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

std::string CWnd::GetWindowText() const { return GetWindowTextOf(m_hWnd); }

std::string CWnd::GetDlgItemText(int id) const { return GetWindowTextOf(GetDlgItem(id)); }

void CWnd::CenterWindow(HWND alternate) {
  HWND over = alternate ? alternate : ::GetWindow(m_hWnd, GW_OWNER);
  RECT area;
  if (over && ::IsWindowVisible(over) && !::IsIconic(over)) {
    ::GetWindowRect(over, &area);
  } else {
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  const RECT rc = GetWindowRect();
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  const int x = area.left + ((area.right - area.left) - w) / 2;
  const int y = area.top + ((area.bottom - area.top) - h) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* wnd = reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (!wnd && t_creating && !t_creating->m_hWnd) {
    wnd = t_creating;
    t_creating = nullptr;
    wnd->Attach(hWnd);
  }
  if (!wnd) return ::DefWindowProcA(hWnd, msg, wParam, lParam);
  CurrentMessage record{msg, wParam, lParam, false};
  try {
    return wnd->Dispatch(msg, wParam, lParam, record);
  } catch (...) {
    const MSG m{hWnd, msg, wParam, lParam, 0, {0, 0}};
    return AfxHandleCurrentException(&m);
  }
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, CurrentMessage& record) {
  // Keeps the dispatch depth and the current message right however the
  // handler leaves (exceptions included), and runs PostNcDestroy only when
  // the outermost message of this window has finished.
  struct Frame {
    CWnd* wnd;
    CurrentMessage* saved;
    ~Frame() {
      wnd->m_current = saved;
      if (--wnd->dispatchDepth_ == 0 && wnd->finalPending_) {
        wnd->finalPending_ = false;
        // A destructor lets nothing out: what PostNcDestroy throws goes to
        // the application's handler like any handler's exception.
        try {
          wnd->PostNcDestroy();  // may delete the object: nothing touches it afterwards
        } catch (...) {
          const MSG msg{nullptr, WM_NCDESTROY, 0, 0, 0, {0, 0}};
          AfxHandleCurrentException(&msg);
        }
      }
    }
  } frame{this, m_current};
  ++dispatchDepth_;
  m_current = &record;
  LRESULT result = WindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    Detach();
    finalPending_ = true;
  }
  return result;
}

LRESULT CWnd::Default() {
  if (!m_current) return 0;
  m_current->defaultCalled = true;
  return DefWindowProc(m_current->message, m_current->wParam, m_current->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_superProc) return ::CallWindowProcA(m_superProc, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsCtlColorMessage(message)) {
    return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                                message - WM_CTLCOLORMSGBOX));
  }
  switch (message) {
    case WM_CREATE:
      return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
      return Default();
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(reinterpret_cast<NMHDR*>(lParam), &result)) return result;
      return Default();
    }
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<UINT>(wParam), PointFromLParam(lParam));
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(static_cast<UINT>(wParam), PointFromLParam(lParam));
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(static_cast<UINT>(wParam), PointFromLParam(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged(reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_ACTIVATEAPP:
      OnActivateApp(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam));
      return 0;
    case WM_PALETTECHANGED:
      OnPaletteChanged(reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_QUERYNEWPALETTE:
      return OnQueryNewPalette();
    case WM_DRAWITEM:
      OnDrawItem(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_TIMER:
      OnTimer(static_cast<UINT_PTR>(wParam));
      return 0;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      OnNcDestroy();
      return 0;
    default:
      return Default();
  }
}

int CWnd::OnCreate(CREATESTRUCTA*) { return static_cast<int>(Default()); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
BOOL CWnd::OnCommand(UINT, UINT, HWND) { return FALSE; }
BOOL CWnd::OnNotify(NMHDR*, LRESULT*) { return FALSE; }
void CWnd::OnMouseMove(UINT, POINT) { Default(); }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
void CWnd::OnLButtonUp(UINT, POINT) { Default(); }
void CWnd::OnCaptureChanged(HWND) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
void CWnd::OnPaletteChanged(HWND) { Default(); }
BOOL CWnd::OnQueryNewPalette() { return static_cast<BOOL>(Default()); }
HBRUSH CWnd::OnCtlColor(HDC, HWND, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

void CWnd::OnDrawItem(int, DRAWITEMSTRUCT* dis) {
  // Owner drawing belongs to the control: pass it to the control's object.
  CWnd* control = dis ? CWnd::FromHandle(dis->hwndItem) : nullptr;
  if (control && control != this) {
    control->DrawItem(dis);
  } else {
    Default();
  }
}

void CWnd::DrawItem(DRAWITEMSTRUCT*) {}
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnDestroy() { Default(); }

void CWnd::OnNcDestroy() {
  Default();
  // The main window's end is the end of the message loop.
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
    ::PostQuitMessage(0);
  }
}

CWnd* AfxGetMainWnd() {
  CWinApp* app = AfxGetApp();
  return app ? app->m_pMainWnd : nullptr;
}

LRESULT AfxHandleCurrentException(const MSG* msg) noexcept {
  try {
    CWinApp* app = AfxGetApp();
    return AfxTranslateCurrentException(
        [app, msg](CException& e) -> LRESULT { return app ? app->ProcessWndProcException(e, msg) : 0; });
  } catch (...) {
    // The handler itself failed: nothing more can be reported.
    return 0;
  }
}
