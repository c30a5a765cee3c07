#include "cdlaunch/ActionButton.h"

#include "framework/Gdi.h"

std::string CActionButton::ImageName(const std::string& name, char which) {
  const auto firstDot = name.find('.');
  const auto lastDot = name.rfind('.');
  const std::string base = firstDot == std::string::npos ? name : name.substr(0, firstDot);
  const std::string extension = lastDot == std::string::npos ? std::string() : name.substr(lastDot);
  return base + which + extension;
}

bool CActionButton::LoadImages(const std::string& name) {
  const bool highlightLoaded = highlightedImage_.LoadFromFile(ImageName(name, '2')) != FALSE;
  const bool normalLoaded = normalImage_.LoadFromFile(ImageName(name, '1')) != FALSE;
  if (highlightLoaded && normalLoaded) {
    currentImage_ = highlighted_ ? &highlightedImage_ : &normalImage_;
    return true;
  }
  return false;
}

bool CActionButton::IsImageButton() {
  return currentImage_ && currentImage_->GetDeviceBitmap() != nullptr;
}

bool CActionButton::PreCreateWindow(CREATESTRUCTA& cs) {
  if (IsImageButton()) cs.style |= BS_OWNERDRAW;
  return CButton::PreCreateWindow(cs);
}

bool CActionButton::Create(const std::string& label, CWnd* parent, UINT id) {
  if (!CButton::Create(label, WS_VISIBLE | WS_CHILD | BS_PUSHBUTTON, RECT{0, 0, 0, 0}, parent, id)) return false;
  SizeToContent();
  return true;
}

void CActionButton::SizeToContent() {
  const DWORD exStyle = static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE));
  DWORD style = static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE));
  RECT rc{0, 0, 0, 0};
  if (IsImageButton()) {
    rc = RECT{0, 0, currentImage_->GetWidth(), currentImage_->GetHeight()};
    ::AdjustWindowRectEx(&rc, style, FALSE, exStyle);
  } else {
    style |= WS_BORDER;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(style));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    const std::string label = GetWindowText();
    if (label.empty()) return;
    CClientDC dc(m_hWnd);
    const SIZE text = dc.GetTextExtent(label);
    rc = RECT{0, 0, text.cx, text.cy};
    ::AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    ::InflateRect(&rc, (rc.right - rc.left) / 2, (rc.bottom - rc.top) / 2);
  }
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

bool CActionButton::SetHighlighted(bool highlight) {
  if (highlighted_ == (highlight ? 1 : 0)) return false;
  highlighted_ = highlight ? 1 : 0;
  if (highlight) {
    ::SetCapture(m_hWnd);
  } else if (::GetCapture() == m_hWnd) {
    ::ReleaseCapture();
  }
  if (currentImage_) currentImage_ = highlight ? &highlightedImage_ : &normalImage_;
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  UpdateWindow();
  return true;
}

void CActionButton::DrawItem(DRAWITEMSTRUCT* dis) {
  if (!currentImage_ || !dis) return;
  currentImage_->Draw(dis->hDC, 0, 0, currentImage_->GetWidth(), currentImage_->GetHeight(), SRCCOPY, TRUE, FALSE,
                      TRUE);
}

BOOL CActionButton::OnEraseBkgnd(HDC dc) {
  // An image button leaves the menu's background showing around its picture.
  if (IsImageButton()) return FALSE;
  return CButton::OnEraseBkgnd(dc);
}

void CActionButton::OnMouseMove(UINT flags, POINT point) {
  Default();
  // The menu decides about every button's highlight, in its own coordinates.
  HWND parent = GetParent();
  if (!parent) return;
  ::MapWindowPoints(m_hWnd, parent, &point, 1);
  ::SendMessageA(parent, WM_MOUSEMOVE, flags,
                 MAKELPARAM(static_cast<WORD>(static_cast<short>(point.x)), static_cast<WORD>(static_cast<short>(point.y))));
}
