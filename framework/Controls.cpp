#include "framework/Controls.h"

namespace {

bool CreateControl(CWnd& control, const char* className, const std::string& text, DWORD style,
                   const RECT& rect, CWnd* parent, UINT id) {
  return control.CreateEx(0, className, text.c_str(), style | WS_CHILD, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top,
                          parent ? parent->m_hWnd : nullptr,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

}  // namespace

bool CButton::Create(const std::string& caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CreateControl(*this, "BUTTON", caption, style, rect, parent, id);
}
