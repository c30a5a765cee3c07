#include "framework/PlaceWindow.h"

#include <algorithm>

POINT ComputePlacement(int w, int h, int W, int H, int a, int b, int c, int d) {
  if (b == 0) b = 1;
  if (d == 0) d = 1;
  // In 64 bits: a large reference times a fraction must not overflow.
  const long long x = static_cast<long long>(W) * a / b - w / 2;
  const long long y = static_cast<long long>(H) * c / d - h / 2;
  return POINT{static_cast<LONG>(std::max(0LL, std::min<long long>(W - w, x))),
               static_cast<LONG>(std::max(0LL, std::min<long long>(H - h, y)))};
}

void PlaceWindow(HWND window, int a, int b, int c, int d, HWND reference) {
  RECT ref{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (reference) ::GetWindowRect(reference, &ref);
  RECT rc;
  ::GetWindowRect(window, &rc);
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  const POINT p = ComputePlacement(w, h, ref.right - ref.left, ref.bottom - ref.top, a, b, c, d);
  ::MoveWindow(window, p.x, p.y, w, h, FALSE);
}
