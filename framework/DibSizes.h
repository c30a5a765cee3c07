// The sizes of the pieces of a packed DIB (a BITMAPINFOHEADER, its colour
// table, its pixels), for checking stored pictures and icons before the
// system reads them. In 64 bits, so that no value of a header field makes
// them wrap.
#pragma once

#include <windows.h>

#include <cstdint>

// The bytes of the colour table (or of the three colour masks) that follow
// header, as the system reads them with DIB_RGB_COLORS.
inline std::uint64_t DibColourTableBytes(const BITMAPINFOHEADER& header) {
  if (header.biCompression == BI_BITFIELDS) return 3 * sizeof(DWORD);
  std::uint64_t colours = header.biClrUsed;
  if (colours == 0 && header.biBitCount <= 8) colours = std::uint64_t{1} << header.biBitCount;
  return colours * sizeof(RGBQUAD);
}

// The bytes of rows rows of width pixels of bitCount bits, each row padded
// to 4 bytes.
inline std::uint64_t DibPixelBytes(std::int32_t width, std::uint64_t rows, unsigned bitCount) {
  return ((static_cast<std::uint64_t>(width < 0 ? 0 : width) * bitCount + 31) / 32) * 4 * rows;
}
