// A memory canvas for drawing tests: a top-down DIB section of 32 (or 24)
// bits per pixel, filled with one colour; pixels read back exactly.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "framework/Gdi.h"

// The pixels of bitmap as 32-bit colours read through the screen's DC, top
// row first; empty when they cannot be read.
inline std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap) {
  BITMAP bm{};
  if (!::GetObjectA(bitmap, sizeof bm, &bm)) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = bm.bmWidth;
  info.bmiHeader.biHeight = -bm.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight);
  CClientDC screen(nullptr);
  if (::GetDIBits(screen, bitmap, 0, bm.bmHeight, pixels.data(), &info, DIB_RGB_COLORS) != bm.bmHeight) return {};
  return pixels;
}

class Canvas {
public:
  Canvas(int width, int height, COLORREF background, WORD bitsPerPixel = 32) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitsPerPixel;
    void* bits = nullptr;
    bitmap_.Attach(::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    select_.emplace(dc_, bitmap_);
    dc_.FillSolidRect(RECT{0, 0, width, height}, background);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return dc_.GetPixel(x, y); }
  // Every pixel, top row first.
  std::vector<COLORREF> Pixels() const {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) pixels.push_back(At(x, y));
    }
    return pixels;
  }
  bool valid() const { return bitmap_.GetSafeHandle() != nullptr; }
  // The number of pixels of colour within area.
  int Count(const RECT& area, COLORREF colour) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) n += At(x, y) == colour ? 1 : 0;
    }
    return n;
  }

private:
  int width_;
  int height_;
  CMemoryDC dc_;
  CBitmap bitmap_;
  std::optional<CSelectObject> select_;
};

// The pixels of icon drawn at size x size on a magenta canvas of bits per
// pixel, top row first; empty when it cannot be drawn.
inline std::vector<COLORREF> DrawnIconPixels(HICON icon, int size, WORD bits) {
  Canvas canvas(size, size, RGB(255, 0, 255), bits);
  if (!::DrawIconEx(canvas.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL)) return {};
  return canvas.Pixels();
}
