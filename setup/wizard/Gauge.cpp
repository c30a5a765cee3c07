#include "setup/wizard/Gauge.h"

#include <algorithm>
#include <cstring>

#include "framework/FormatText.h"
#include "framework/Gdi.h"

namespace {

// The share of [minimum, maximum] below position, in whole percent within
// 0..100. 64-bit arithmetic: the product with 100 cannot overflow for any
// 32-bit values, so large totals need no scaling.
int Percent(std::uint32_t minimum, std::uint32_t maximum, std::uint32_t position) {
  const std::int64_t span = static_cast<std::int64_t>(maximum) - minimum;
  const std::int64_t done = static_cast<std::int64_t>(position) - minimum;
  if (span <= 0 || done <= 0) return 0;
  return static_cast<int>(std::min<std::int64_t>(100, done * 100 / span));
}

// Restores the text alignment of a DC on scope exit.
class CSaveTextAlign {
public:
  CSaveTextAlign(HDC dc, UINT align) : dc_(dc), old_(::SetTextAlign(dc, align)) {}
  CSaveTextAlign(const CSaveTextAlign&) = delete;
  CSaveTextAlign& operator=(const CSaveTextAlign&) = delete;
  ~CSaveTextAlign() {
    if (old_ != GDI_ERROR) ::SetTextAlign(dc_, old_);
  }

private:
  HDC dc_;
  UINT old_;
};

}  // namespace

CGauge::CGauge(std::uint32_t minimum, std::uint32_t maximum)
    : minimum_(minimum), maximum_(maximum), position_(minimum) {}

COLORREF CGauge::FillColour() {
  const COLORREF fill = ::GetSysColor(COLOR_ACTIVEBORDER);
  return fill != PlainColour() ? fill : ::GetSysColor(COLOR_HIGHLIGHT);
}

COLORREF CGauge::PlainColour() { return ::GetSysColor(COLOR_WINDOW); }

void CGauge::RegisterWindowClass() {
  // The background brush serves only a bar with an empty range, which
  // paints nothing; every other bar paints all of its client area.
  RegisterNamedClass(kClassName, CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(nullptr, IDC_ARROW),
                     reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
}

bool CGauge::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  RegisterWindowClass();
  return CreateEx(0, kClassName, "", style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CGauge::SetPos(std::uint32_t position, bool redraw) {
  position_ = std::max(minimum_, std::min(maximum_, position));
  if (!m_hWnd) return;
  // The bar shows whole percents only: a move within one changes no pixel,
  // and the copy moves the bar thousands of times per percent.
  const int shown = minimum_ == maximum_ ? kNothingShown : Percent(minimum_, maximum_, position_);
  if (shown == shownPercent_) return;
  shownPercent_ = shown;
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  if (redraw) ::UpdateWindow(m_hWnd);
}

void CGauge::SetRange(std::uint32_t minimum, std::uint32_t maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  position_ = std::max(minimum_, std::min(maximum_, position_));
  shownPercent_ = kNotYetShown;
}

void CGauge::Draw(HDC dc, const RECT& client) const {
  if (minimum_ == maximum_) return;
  const COLORREF fill = FillColour();
  const COLORREF plain = PlainColour();
  const int percent = Percent(minimum_, maximum_, position_);
  char text[8];
  FormatText(text, sizeof text, "%d%%", percent);
  const int length = static_cast<int>(std::strlen(text));

  SIZE extent{};
  ::GetTextExtentPoint32A(dc, text, length, &extent);
  const CSaveTextState savedColours(dc);
  const CSaveTextAlign savedAlign(dc, TA_CENTER | TA_TOP);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  const int x = client.left + width / 2;
  const int y = client.top + (height - extent.cy) / 2;

  // Both parts are drawn opaquely with the whole text clipped to each, so
  // the text changes colour exactly at the boundary.
  RECT done = client;
  done.right = client.left + width * percent / 100;
  RECT rest = client;
  rest.left = done.right;
  ::SetTextColor(dc, plain);
  ::SetBkColor(dc, fill);
  ::ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &done, text, static_cast<UINT>(length), nullptr);
  ::SetTextColor(dc, fill);
  ::SetBkColor(dc, plain);
  ::ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &rest, text, static_cast<UINT>(length), nullptr);
}

void CGauge::OnPaint() {
  const CPaintDC dc(m_hWnd);
  Draw(dc, GetClientRect());
}

BOOL CGauge::OnEraseBkgnd(HDC dc) {
  // The paint covers everything: erasing first would only flicker.
  if (minimum_ != maximum_) return TRUE;
  return CWnd::OnEraseBkgnd(dc);
}
