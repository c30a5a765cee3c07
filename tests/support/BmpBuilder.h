// Builds BMP file bytes for tests, well-formed by default; every header
// field can be spoiled on purpose.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"

struct BmpBuilder {
  int width = 4;
  int height = 4;
  int bits = 8;
  bool fileHeader = true;
  std::vector<RGBQUAD> colors;        // default: the full table of a grey ramp
  std::vector<std::uint8_t> indices;  // one entry per pixel, top row first; 24 bits: unused
  std::vector<COLORREF> rgb;          // 24 bits: one per pixel, top row first
  // Overrides (negative: leave the computed value).
  long long headerSize = -1;
  long long colorsUsed = -1;
  long long imageSize = -1;
  long long compression = -1;
  long long pixelOffset = -1;
  long long storedHeight = -1;  // e.g. negative for top-down
  long long storedWidth = -1;
  std::size_t tableEntries = SIZE_MAX;  // entries actually written
  std::size_t gap = 0;                  // filler bytes between the colour table and the pixels
  std::size_t cutAt = SIZE_MAX;         // file length limit

  static std::size_t RowBytes(int w, int b) { return ((static_cast<std::size_t>(w) * b + 31) / 32) * 4; }

  std::vector<std::uint8_t> Build() const {
    const int tableSize = bits <= 8 ? (1 << bits) : 0;
    std::vector<RGBQUAD> table = colors;
    if (table.empty()) {
      for (int i = 0; i < tableSize; ++i) {
        const auto v = static_cast<BYTE>(tableSize > 1 ? i * 255 / (tableSize - 1) : 0);
        table.push_back(RGBQUAD{v, v, v, 0});
      }
    }
    const std::size_t entries = tableEntries == SIZE_MAX ? table.size() : tableEntries;
    std::vector<std::uint8_t> pixels;
    const std::size_t stride = RowBytes(width, bits);
    for (int row = height - 1; row >= 0; --row) {  // bottom-up
      std::vector<std::uint8_t> line(stride, 0);
      for (int x = 0; x < width; ++x) {
        const std::size_t i = static_cast<std::size_t>(row) * width + x;
        if (bits == 24) {
          const COLORREF c = i < rgb.size() ? rgb[i] : RGB(0, 0, 0);
          line[x * 3] = GetBValue(c);
          line[x * 3 + 1] = GetGValue(c);
          line[x * 3 + 2] = GetRValue(c);
        } else {
          const unsigned v = i < indices.size() ? indices[i] : 0;
          const int bitPos = x * bits;
          line[bitPos / 8] |= static_cast<std::uint8_t>(v << (8 - bits - bitPos % 8));
        }
      }
      pixels.insert(pixels.end(), line.begin(), line.end());
    }

    std::vector<std::uint8_t> out;
    auto put16 = [&](unsigned v) { out.push_back(v & 0xff); out.push_back((v >> 8) & 0xff); };
    auto put32 = [&](std::uint32_t v) { for (int k = 0; k < 4; ++k) out.push_back((v >> (8 * k)) & 0xff); };
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(4 * entries + gap);
    if (fileHeader) {
      put16(0x4D42);
      put32(static_cast<std::uint32_t>(offset + pixels.size()));
      put32(0);
      put32(pixelOffset >= 0 ? static_cast<std::uint32_t>(pixelOffset) : offset);
    }
    put32(headerSize >= 0 ? static_cast<std::uint32_t>(headerSize) : 40);
    put32(static_cast<std::uint32_t>(storedWidth != -1 ? storedWidth : width));
    put32(static_cast<std::uint32_t>(storedHeight != -1 ? storedHeight : height));
    put16(1);
    put16(static_cast<unsigned>(bits));
    put32(compression >= 0 ? static_cast<std::uint32_t>(compression) : BI_RGB);
    put32(imageSize >= 0 ? static_cast<std::uint32_t>(imageSize) : 0);
    put32(2835);
    put32(2835);
    put32(colorsUsed >= 0 ? static_cast<std::uint32_t>(colorsUsed) : 0);
    put32(0);
    for (std::size_t i = 0; i < entries; ++i) {
      const RGBQUAD q = i < table.size() ? table[i] : RGBQUAD{0, 0, 0, 0};
      out.push_back(q.rgbBlue);
      out.push_back(q.rgbGreen);
      out.push_back(q.rgbRed);
      out.push_back(0);
    }
    out.insert(out.end(), gap, 0xA5);
    out.insert(out.end(), pixels.begin(), pixels.end());
    if (out.size() > cutAt) out.resize(cutAt);
    return out;
  }

  void Write(const std::string& path) const {
    WriteFileBytes(path, Build());
  }

  // An 8-bit image of one colour per pixel from a full 256-entry table
  // whose entry i is table[i] (the rest grey).
  static BmpBuilder Solid8(int w, int h, std::uint8_t index) {
    BmpBuilder b;
    b.width = w;
    b.height = h;
    b.indices.assign(static_cast<std::size_t>(w) * h, index);
    return b;
  }
};
