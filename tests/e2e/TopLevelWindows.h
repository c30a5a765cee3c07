// The top-level windows of every program in the session, for tests and
// walkers that follow a program another one started (the setup program a CD
// menu's button starts), which they know only by its windows.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Wnd.h"

namespace top_level {

inline BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  try {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
  } catch (...) {
    AfxHandleCurrentException(nullptr);
    return FALSE;
  }
}

// Every top-level window, topmost first.
inline std::vector<HWND> Windows() {
  std::vector<HWND> windows;
  ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The id of the process that made window.
inline DWORD ProcessOf(HWND window) {
  DWORD id = 0;
  ::GetWindowThreadProcessId(window, &id);
  return id;
}

}  // namespace top_level
