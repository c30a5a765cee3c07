// A 32-bit memory canvas for drawing tests: pixels read back exactly.
#pragma once

#include <windows.h>

#include <optional>

#include "framework/Gdi.h"

class Canvas {
public:
  Canvas(int w, int h, COLORREF background) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_.Attach(::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    select_.emplace(dc_, bitmap_);
    dc_.FillSolidRect(RECT{0, 0, w, h}, background);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return dc_.GetPixel(x, y); }
  bool valid() const { return bitmap_.GetSafeHandle() != nullptr; }

private:
  CMemoryDC dc_;
  CBitmap bitmap_;
  std::optional<CSelectObject> select_;
};
