#include "framework/PackedBitmap.h"

#include "framework/DibSizes.h"
#include "framework/Gdi.h"
#include "framework/PackedData.h"
#include "framework/Resources.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Larger than any picture a program would carry (a 4096 x 4096 picture of
// 32 bits is 64 MiB): a size beyond it is damage.
constexpr std::uint32_t kMaxDibSize = 64u << 20;

}  // namespace

HBITMAP CreateBitmapFromPackedDib(const void* data, std::size_t size) {
  std::vector<unsigned char> dib;
  if (!UnpackData(data, size, sizeof(BITMAPINFOHEADER), kMaxDibSize, dib)) return nullptr;
  return CreateBitmapFromDib(dib.data(), dib.size());
}

bool IsDrawableDib(const unsigned char* dib, std::size_t dibSize) {
  if (dibSize < sizeof(BITMAPINFOHEADER)) return false;
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib, sizeof header);
  if (header.biSize < sizeof header || header.biSize > dibSize || header.biWidth <= 0 || header.biHeight == 0 ||
      header.biPlanes != 1) {
    return false;
  }
  const std::uint64_t pixelsOffset = header.biSize + DibColourTableBytes(header);
  if (pixelsOffset > dibSize) return false;
  // Uncompressed pixels must all be there. Run-length encoded ones are
  // read by the system as far as the image size says (an end-of-bitmap
  // code may come sooner, or never): that size must be given and lie
  // within the data.
  const bool encoded = header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4;
  if (!encoded && (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS)) return false;
  const std::uint64_t rows = header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight;
  if (!encoded && DibPixelBytes(header.biWidth, rows, header.biBitCount) > dibSize - pixelsOffset) return false;
  if (encoded && (header.biSizeImage == 0 || header.biSizeImage > dibSize - pixelsOffset)) return false;
  return true;
}

HBITMAP CreateBitmapFromDib(const unsigned char* dib, std::size_t size) {
  if (!IsDrawableDib(dib, size)) return nullptr;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(dib);
  const std::uint64_t pixelsOffset = info->bmiHeader.biSize + DibColourTableBytes(info->bmiHeader);
  HDC screen = ::GetDC(nullptr);
  if (!screen) return nullptr;
  const unsigned char* pixels = dib + static_cast<std::size_t>(pixelsOffset);
  HBITMAP bitmap = ::CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, pixels, info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

HBITMAP LoadPackedBitmap(HINSTANCE module, UINT id) {
  const std::string_view packed = FindPlainResource(module, kPackedBitmapType, id);
  return packed.empty() ? nullptr : CreateBitmapFromPackedDib(packed.data(), packed.size());
}

// Here rather than in Gdi.cpp: a program that loads no bitmap does not link
// this file, nor zlib with it. (Its unwind table names every function of
// the file, and the linker keeps the unwind tables of every file it links:
// a function's own section does not leave it out.)
bool CBitmap::LoadBitmap(UINT id, HINSTANCE instance) {
  HINSTANCE module = instance ? instance : AfxGetResourceHandle();
  HBITMAP bitmap = ::LoadBitmapA(module, MAKEINTRESOURCEA(id));
  if (!bitmap) bitmap = LoadPackedBitmap(module, id);
  return Take(bitmap);
}
