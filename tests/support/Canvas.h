// A 24-bit picture in memory to paint on and read back pixel by pixel: the
// colours read are exactly the ones painted, whatever the display.
#pragma once

#include <windows.h>

#include <optional>

#include "framework/Gdi.h"

class Canvas {
public:
  Canvas(int width, int height, COLORREF fill) : memory_(nullptr) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    bitmap_.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    select_.emplace(memory_, bitmap_.GetSafeHandle());
    memory_.FillSolidRect(RECT{0, 0, width, height}, fill);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return memory_; }
  COLORREF At(int x, int y) const { return ::GetPixel(memory_, x, y); }
  // The number of pixels of colour within area.
  int Count(const RECT& area, COLORREF colour) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) n += At(x, y) == colour ? 1 : 0;
    }
    return n;
  }

private:
  CMemoryDC memory_;
  CBitmap bitmap_;
  std::optional<CSelectObject> select_;
};
