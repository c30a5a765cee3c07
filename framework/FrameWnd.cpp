#include "framework/FrameWnd.h"

#include <string>

const RECT CFrameWnd::rectDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

bool CFrameWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect,
                       CWnd* parent, HMENU menu, DWORD exStyle) {
  std::string registered;
  if (!className) {
    registered = RegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                  reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    className = registered.c_str();
  }
  const bool useDefault = rect.left == CW_USEDEFAULT;
  const int x = useDefault ? CW_USEDEFAULT : rect.left;
  const int y = useDefault ? CW_USEDEFAULT : rect.top;
  const int w = useDefault ? CW_USEDEFAULT : rect.right - rect.left;
  const int h = useDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
  return CreateEx(exStyle, className, title, style, x, y, w, h, parent ? parent->m_hWnd : nullptr, menu);
}
