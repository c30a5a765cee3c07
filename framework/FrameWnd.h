// CFrameWnd: a top-level window of a class registered by the framework.
#pragma once

#include "framework/Wnd.h"

class CFrameWnd : public CWnd {
public:
  // Creates the window. className null: a class with the arrow cursor and
  // the window colour as background. rect: CW_USEDEFAULT when rectDefault.
  bool Create(const char* className, const char* title, DWORD style = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CWnd* parent = nullptr, HMENU menu = nullptr,
              DWORD exStyle = 0);

  static const RECT rectDefault;
};
