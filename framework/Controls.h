// Thin control classes: buttons. A control created here
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

