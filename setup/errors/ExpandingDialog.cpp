#include "setup/errors/ExpandingDialog.h"

#include <string>

#include "setup/resources/ResourceIds.h"

CExpandingDialog::CExpandingDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

BOOL CExpandingDialog::OnInitDialog() {
  const BOOL result = CDialog::OnInitDialog();
  fullWindowRect_ = GetWindowRect();
  expanded_ = 1;
  Toggle();
  return result;
}

BOOL CExpandingDialog::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDC_MORE && code == BN_CLICKED) {
    OnMore();
    return TRUE;
  }
  return CDialog::OnCommand(id, code, control);
}

void CExpandingDialog::Toggle() {
  const RECT current = GetWindowRect();
  SIZE newSize;
  RECT visible;
  if (expanded_) {
    HWND marker = GetDlgItem(IDC_FOLD_MARKER);
    if (!marker) return;  // a template without the marker cannot fold
    RECT markerRect;
    ::GetWindowRect(marker, &markerRect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&markerRect), 2);
    RECT folded{0, 0, markerRect.right, markerRect.bottom};
    ::AdjustWindowRectEx(&folded, static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)));
    newSize = SIZE{folded.right - folded.left, folded.bottom - folded.top};
    // The folded window in screen coordinates: the client origin does not move.
    POINT origin{0, 0};
    ::ClientToScreen(m_hWnd, &origin);
    visible = folded;
    ::OffsetRect(&visible, origin.x, origin.y);
  } else {
    newSize = SIZE{fullWindowRect_.right - fullWindowRect_.left, fullWindowRect_.bottom - fullWindowRect_.top};
    visible = current;
  }
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, newSize.cx, newSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  const bool enable = !expanded_;  // unfolding enables what folding disabled
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT rc;
    ::GetWindowRect(child, &rc);
    const POINT topLeft{rc.left, rc.top};
    const POINT bottomRight{rc.right, rc.bottom};
    if (!::PtInRect(&visible, topLeft) || !::PtInRect(&visible, bottomRight)) ::EnableWindow(child, enable);
  }
  expanded_ = !expanded_;
}

void CExpandingDialog::OnMore() {
  Toggle();
  HWND button = GetDlgItem(IDC_MORE);
  if (!button) return;
  char text[128];
  const int length = ::GetWindowTextA(button, text, sizeof text);
  std::string caption(text, static_cast<std::size_t>(length > 0 ? length : 0));
  const char* from = expanded_ ? ">>" : "<<";
  const char* to = expanded_ ? "<<" : ">>";
  const std::size_t at = caption.find(from);
  if (at == std::string::npos) return;
  caption.replace(at, 2, to);
  ::SetWindowTextA(button, caption.c_str());
}
