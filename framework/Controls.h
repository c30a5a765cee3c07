// Thin control classes: buttons, edits and statics. A control created here
// (or attached with SubclassDlgItem) routes its messages through its object,
// so derived classes can handle mouse messages, and an owner-drawn button
// draws itself in DrawItem.
#pragma once

#include <string>

#include "framework/Wnd.h"

class CButton : public CWnd {
public:
  // style: BS_* and WS_* bits; PreCreateWindow may add more (BS_OWNERDRAW).
  bool Create(const std::string& caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  int GetCheck() { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int state) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CEdit : public CWnd {
public:
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  void SetLimitText(UINT limit) { SendMessage(EM_LIMITTEXT, limit); }
  void SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
};

class CStatic : public CWnd {
public:
  bool Create(const std::string& text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xffff);
  HICON SetIcon(HICON icon) { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon))); }
  HBITMAP SetBitmap(HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
  }
};
