// CWnd: a C++ object tied to one window. The object is found from the
// window through GWLP_USERDATA, set at the first message the new window
// receives (which may come before WM_NCCREATE, WM_GETMINMAXINFO for one),
// at subclassing, or at a dialog's first message, and cleared at
// WM_NCDESTROY. One window procedure
// turns each message into a virtual handler; whatever a class does not
// handle goes to the default processing (Default()).
//
// Every message enters C++ through StaticWndProc, which catches every
// exception and hands it to the application's ProcessWndProcException: no
// exception ever unwinds through a Windows frame.
#pragma once

#include <windows.h>

#include <string>

// The WM_CTLCOLOR* messages, from WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC;
// message - WM_CTLCOLORMSGBOX is the CTLCOLOR_* type.
constexpr bool IsCtlColorMessage(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

class CWnd {
public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  // Destroys the window when it still exists.
  virtual ~CWnd();

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // The object attached to hWnd, or null for a window of no object.
  static CWnd* FromHandle(HWND hWnd);

  // Creates the window; PreCreateWindow may adjust the parameters first.
  // For a class registered by this framework (see RegisterWndClass) the
  // object is attached at WM_NCCREATE; for a system class (BUTTON, EDIT, ...)
  // the new window is subclassed so that its messages reach the object too.
  bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                void* param = nullptr);
  // Attaches the object to an existing window and routes its messages here.
  bool SubclassWindow(HWND hWnd);
  // Attaches to a dialog control of parent.
  bool SubclassDlgItem(UINT id, CWnd* parent);
  // Gives the window back its own procedure; returns it.
  HWND UnsubclassWindow();
  virtual bool DestroyWindow();

  // Registers (once) a window class whose procedure is this framework's and
  // returns its name, which is made from the parameters.
  static std::string RegisterWndClass(UINT style, HCURSOR cursor = nullptr,
                                      HBRUSH background = nullptr, HICON icon = nullptr);
  // Registers the window class name with this framework's procedure; a
  // class of that name registered here before is kept as it is. Throws
  // CResourceException when the class cannot be registered, or when the
  // name belongs to a class of another procedure (a system class, say).
  static void RegisterNamedClass(const char* name, UINT style, HCURSOR cursor = nullptr,
                                 HBRUSH background = nullptr, HICON icon = nullptr);

  // Thin helpers.
  bool ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd) != 0; }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void MoveWindow(int x, int y, int w, int h, bool repaint = true) { ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
  RECT GetClientRect() const;
  RECT GetWindowRect() const;
  void SetWindowText(const std::string& text) { ::SetWindowTextA(m_hWnd, text.c_str()); }
  std::string GetWindowText() const;
  bool EnableWindow(bool enable = true) { return ::EnableWindow(m_hWnd, enable) != 0; }
  bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != 0; }
  bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != 0; }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  void SetDlgItemText(int id, const std::string& text) { ::SetDlgItemTextA(m_hWnd, id, text.c_str()); }
  std::string GetDlgItemText(int id) const;
  HWND GetParent() const { return ::GetParent(m_hWnd); }
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageA(m_hWnd, msg, wp, lp); }
  bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::PostMessageA(m_hWnd, msg, wp, lp) != 0; }
  void SetFont(HFONT font, bool redraw = true) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
  HFONT GetFont() { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  // Centres the window over alternate, or over its owner (the screen when none).
  void CenterWindow(HWND alternate = nullptr);

  // The entry point for messages of attached windows.
  static LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
  // The message being handled; Default() passes it on.
  struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool defaultCalled;
  };

  virtual bool PreCreateWindow(CREATESTRUCTA& cs);
  // The one dispatch: a switch that calls the handlers below. Classes with
  // private messages override it and call the base for the rest.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Default processing of the current message.
  LRESULT Default();
  // Default processing of a given message (the window class's procedure, or
  // DefWindowProc); dialogs override it.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Called after the window is gone and the object detached; an object that
  // owns itself may delete itself here. What it throws is handed to the
  // application's handler (AfxHandleCurrentException) with WM_NCDESTROY.
  virtual void PostNcDestroy() {}

  // Message handlers. The base versions do the default processing.
  virtual int OnCreate(CREATESTRUCTA* cs);
  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(HDC dc);
  // WM_COMMAND by control or menu id (a class that serves a range of ids
  // tests the range here). Return TRUE when handled.
  virtual BOOL OnCommand(UINT id, UINT code, HWND control);
  // WM_NOTIFY. Return TRUE when handled; *result is the message result.
  virtual BOOL OnNotify(NMHDR* header, LRESULT* result);
  virtual void OnMouseMove(UINT flags, POINT point);
  virtual void OnLButtonDown(UINT flags, POINT point);
  virtual void OnLButtonUp(UINT flags, POINT point);
  virtual void OnCaptureChanged(HWND newCapture);
  virtual void OnActivateApp(BOOL active, DWORD threadId);
  virtual void OnPaletteChanged(HWND focusWnd);
  virtual BOOL OnQueryNewPalette();
  // WM_CTLCOLOR...: type is CTLCOLOR_BTN, CTLCOLOR_STATIC, ...
  virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
  // WM_DRAWITEM: the base passes it to the object of the control (DrawItem).
  virtual void OnDrawItem(int id, DRAWITEMSTRUCT* dis);
  // Drawing of an owner-drawn control, reached through its parent's WM_DRAWITEM.
  virtual void DrawItem(DRAWITEMSTRUCT* dis);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnClose();
  virtual void OnDestroy();
  virtual void OnNcDestroy();

  // Runs WindowProc for one message with the current message recorded.
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam, CurrentMessage& record);
  void Attach(HWND hWnd);
  void Detach();

  CurrentMessage* m_current = nullptr;
  WNDPROC m_superProc = nullptr;  // procedure of a subclassed window

private:
  int dispatchDepth_ = 0;     // messages of this window on the stack
  bool finalPending_ = false;  // WM_NCDESTROY seen; PostNcDestroy when the stack unwinds
};

// The text of any window (a control's text, a window's caption); empty for
// no window.
std::string GetWindowTextOf(HWND wnd);

// The main window of the application; null before it is set.
CWnd* AfxGetMainWnd();

// Hands the exception in flight (inside a catch block) to the application's
// ProcessWndProcException and returns its result. msg may be null.
LRESULT AfxHandleCurrentException(const MSG* msg) noexcept;
