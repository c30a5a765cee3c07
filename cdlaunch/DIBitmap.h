// CDIBitmap: one picture of the menu (the background or one image of a
// button), read from a Windows BMP file and kept as a device-independent
// bitmap with a palette made from its colour table. It draws itself into any
// device context, opaque with a raster operation or with white as the
// transparent colour, and can make a device bitmap for the display.
//
// Accepted images: a 40-byte information header, bottom-up rows without
// compression, 1, 4 or 8 bits per pixel or 24. The colour table holds as
// many entries as the header's colours-used field says (0: all 2^bits of an
// indexed image, none of a 24-bit one), never more than 2^bits; a 24-bit
// image's table is skipped. The 14-byte file header is optional; when it is
// there and its pixel offset lies at or after the end of the table and
// inside the file, the pixel rows start there, otherwise right after the
// table. Anything else (other header sizes, compression, top-down rows,
// 16 and 32 bits, sizes beyond the limits below, an image-size field
// smaller than the rows) is refused and leaves the object empty.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/File.h"
#include "framework/Gdi.h"
#include "framework/GlobalBlock.h"

class CDIBitmap final : public CBitmap {
public:
  // Larger images are refused: nothing the menu shows comes near these.
  static constexpr std::int32_t kMaxDimension = 16384;
  static constexpr std::uint32_t kMaxPixelBytes = 64u * 1024 * 1024;
  static constexpr std::size_t kFileHeaderSize = 14;
  static constexpr std::size_t kInfoHeaderSize = 40;

  CDIBitmap() = default;
  CDIBitmap(const CDIBitmap&) = delete;
  CDIBitmap& operator=(const CDIBitmap&) = delete;
  // Frees the image; the palette and the device bitmap go with their owners.
  ~CDIBitmap();

  // Reads the BMP file fileName (file header optional). FALSE when the file
  // cannot be opened or read, is not an accepted image, or memory runs out;
  // the object is then empty. A device name (COM1, CON, ...; see
  // IsDeviceName), a network path (see IsNetworkPath) and anything else
  // that opens as no disk file is refused before a byte is read.
  BOOL LoadFromFile(const std::string& fileName);

  // Reads an image from the current position of file. withFileHeader: a
  // 14-byte "BM" header may come first (when the first two bytes are not
  // "BM" the data is read as having none); its pixel offset counts from
  // where it starts. Throws CFileException
  // (genericException for short or refused headers, invalidFile for images
  // outside the accepted set, endOfFile for a short colour table or pixel
  // block) or CMemoryException; the object is empty after a throw.
  BOOL Read(CFile& file, BOOL withFileHeader);

  // Releases the image data and clears the file header.
  void Free();

  // A device bitmap of the image for the display, made on the first call and
  // kept; null when the object is empty or the bitmap cannot be made.
  HBITMAP GetDeviceBitmap();

  int GetWidth() const;
  int GetHeight() const;
  // Width and height; both 0 and FALSE when empty.
  BOOL GetSize(int& width, int& height) const;

  // Draws the whole image at (x, y), scaled by the DC's window/viewport
  // ratio (and from 72 dpi on a printer), clipped to (x, y, x+cx, y+cy).
  // Opaque: with raster operation rop. Transparent: pixels whose colour is
  // white leave the DC unchanged and rop is not used; only 8-bit images with
  // their full 256-entry colour table draw transparently, others draw
  // opaque with rop. The image's palette is selected and realised when
  // selectPalette (opaque) or selectPaletteWhenTransparent (transparent) is
  // set. An empty object draws nothing.
  void Draw(HDC dc, int x, int y, int cx, int cy, DWORD rop, BOOL transparent,
            BOOL selectPalette, BOOL selectPaletteWhenTransparent);

  bool IsEmpty() const { return !info_ || !pixels_; }
  // The palette made from the colour table; null for 24-bit images.
  HPALETTE GetPalette() const { return palette_; }
  // 2^bits for images with a colour table (the room kept for it; the
  // header's colours used says how many entries the file gave), 0 for
  // 24-bit images.
  int GetColorCount() const { return colorCount_; }
  // The information header as loaded (colours used and image size filled
  // in; colours used 0 for a 24-bit image); null when empty.
  const BITMAPINFOHEADER* GetInfoHeader() const { return info_.as<BITMAPINFOHEADER>(); }
  // The 14 file-header bytes as read; zero when the file had none.
  const std::uint8_t* GetFileHeader() const { return fileHeader_; }
  std::size_t GetPixelBytes() const { return pixels_.size(); }

private:
  BITMAPINFO* Info() const { return info_.as<BITMAPINFO>(); }
  RGBQUAD* ColorTable() const;
  void DrawPixels(HDC dc, const RECT& target, DWORD rop) const;
  void DrawTransparent(HDC dc, const RECT& target);
  void MakePalette();

  std::uint8_t fileHeader_[kFileHeaderSize] = {};
  CGlobalBlock info_;    // header, colour table, 4 spare bytes
  CGlobalBlock pixels_;  // bottom-up rows, each padded to 4 bytes
  int colorCount_ = 0;
  CPalette palette_;
};
