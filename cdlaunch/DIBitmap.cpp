#include "cdlaunch/DIBitmap.h"

#include "framework/DeviceName.h"
#include "cdlaunch/NetworkPath.h"

#include <array>
#include <cstring>
#include <new>
#include <vector>

static_assert(sizeof(BITMAPINFOHEADER) == CDIBitmap::kInfoHeaderSize, "the BMP information header is 40 bytes");
static_assert(sizeof(RGBQUAD) == 4, "colour-table entries are 4 bytes");

namespace {

constexpr std::uint16_t kBitmapMagic = 0x4D42;  // "BM" read little-endian
constexpr std::size_t kSpareBytes = 4;
constexpr int kTransparentTableSize = 256;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

// Reads up to count bytes, going on after short reads; returns the number read.
std::size_t ReadFully(CFile& file, void* buffer, std::size_t count) {
  auto* p = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const UINT got = file.Read(p + done, static_cast<UINT>(count - done));
    if (got == 0) break;
    done += got;
  }
  return done;
}

[[noreturn]] void Refuse(const CFile& file) {
  CFileException::Throw(CFileException::invalidFile, -1, file.GetFilePath());
}

// Bytes of one row: width × bits rounded up to whole 32-bit words.
std::uint64_t RowBytes(std::int32_t width, int bits) {
  return ((static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bits) + 31) / 32) * 4;
}

bool HasColorTable(int bits) { return bits == 1 || bits == 4 || bits == 8; }

// Saves the DC's state and restores it on scope exit.
class CSavedDC {
public:
  explicit CSavedDC(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
  CSavedDC(const CSavedDC&) = delete;
  CSavedDC& operator=(const CSavedDC&) = delete;
  ~CSavedDC() {
    if (saved_) ::RestoreDC(dc_, -1);
  }

private:
  HDC dc_;
  int saved_;
};

// An information context of the display, deleted on scope exit.
class CDisplayDC {
public:
  CDisplayDC() : dc_(::CreateDCA("DISPLAY", nullptr, nullptr, nullptr)) {}
  CDisplayDC(const CDisplayDC&) = delete;
  CDisplayDC& operator=(const CDisplayDC&) = delete;
  ~CDisplayDC() {
    if (dc_) ::DeleteDC(dc_);
  }
  HDC get() const { return dc_; }

private:
  HDC dc_;
};

}  // namespace

CDIBitmap::~CDIBitmap() { Free(); }

BOOL CDIBitmap::LoadFromFile(const std::string& fileName) {
  try {
    // A device (a serial port, the console) is never opened: read as a file
    // it would never end. Nor is a file on another machine, which would be
    // handed the user's network credentials.
    if (!IsDeviceName(fileName) && !IsNetworkPath(fileName)) {
      CFile file;
      if (file.Open(fileName, CFile::modeRead | CFile::shareDenyWrite) &&
          ::GetFileType(file.GetHandle()) == FILE_TYPE_DISK) {
        return Read(file, TRUE);
      }
    }
  } catch (const CException&) {
  } catch (const std::bad_alloc&) {
  }
  Free();
  return FALSE;
}

BOOL CDIBitmap::Read(CFile& file, BOOL withFileHeader) {
  Free();
  // A reloaded object never keeps the palette or device bitmap of the old image.
  palette_.DeleteObject();
  DeleteObject();
  try {
    const std::uint64_t start = file.GetPosition();
    bool hasFileHeader = false;
    if (withFileHeader) {
      if (ReadFully(file, fileHeader_, kFileHeaderSize) < kFileHeaderSize) {
        CFileException::Throw(CFileException::genericException, -1, file.GetFilePath());
      }
      hasFileHeader = Le16(fileHeader_) == kBitmapMagic;
      if (!hasFileHeader) {
        file.Seek(-static_cast<std::int64_t>(kFileHeaderSize), CFile::current);
        std::memset(fileHeader_, 0, sizeof fileHeader_);
      }
    }

    BITMAPINFOHEADER header;
    if (ReadFully(file, &header, sizeof header) < sizeof header) {
      CFileException::Throw(CFileException::genericException, -1, file.GetFilePath());
    }

    // Only what the menu can draw safely: every pixel it draws lies inside
    // the pixel block, and the colour table has room for every index.
    const int bits = header.biBitCount;
    if (header.biSize != kInfoHeaderSize || header.biCompression != BI_RGB) Refuse(file);
    if (!HasColorTable(bits) && bits != 24) Refuse(file);
    if (header.biWidth <= 0 || header.biHeight <= 0) Refuse(file);  // negative height: top-down
    if (header.biWidth > kMaxDimension || header.biHeight > kMaxDimension) Refuse(file);

    // The file's table holds colours-used entries (0: all 2^bits of an
    // indexed image, none of a 24-bit one). The block keeps room for 2^bits
    // entries, so that no pixel index reaches past it.
    const int colorCount = HasColorTable(bits) ? (1 << bits) : 0;
    if (header.biClrUsed > (std::uint64_t{1} << bits)) Refuse(file);
    const std::uint64_t fileEntries = header.biClrUsed != 0 ? header.biClrUsed : static_cast<DWORD>(colorCount);
    // A 24-bit image's table only suggests colours for small displays; it is
    // skipped and the image is kept as one without a table.
    header.biClrUsed = colorCount != 0 ? static_cast<DWORD>(fileEntries) : 0;

    const std::uint64_t needed = RowBytes(header.biWidth, bits) * static_cast<std::uint64_t>(header.biHeight);
    if (needed > kMaxPixelBytes) Refuse(file);
    if (header.biSizeImage == 0) header.biSizeImage = static_cast<DWORD>(needed);
    if (header.biSizeImage < needed || header.biSizeImage > kMaxPixelBytes) Refuse(file);

    colorCount_ = colorCount;
    if (!info_.Allocate(kInfoHeaderSize + 4 * static_cast<std::size_t>(colorCount) + kSpareBytes)) {
      AfxThrowMemoryException();
    }
    std::memcpy(info_.data(), &header, sizeof header);

    const std::uint64_t tableEnd = file.GetPosition() + 4 * fileEntries;
    if (colorCount != 0) {
      const std::size_t tableBytes = 4 * static_cast<std::size_t>(fileEntries);
      if (ReadFully(file, ColorTable(), tableBytes) < tableBytes) {
        CFileException::Throw(CFileException::endOfFile, -1, file.GetFilePath());
      }
      MakePalette();
    }

    // The pixels start where the file header says when that lies after the
    // table and inside the file (writers may leave a gap to align them),
    // otherwise right after the table.
    std::uint64_t pixelStart = tableEnd;
    if (hasFileHeader) {
      const std::uint64_t offsetStart = start + Le32(fileHeader_ + 10);
      if (offsetStart >= tableEnd && offsetStart < file.GetLength()) pixelStart = offsetStart;
    }
    file.Seek(static_cast<std::int64_t>(pixelStart), CFile::begin);

    if (!pixels_.Allocate(header.biSizeImage)) AfxThrowMemoryException();
    if (ReadFully(file, pixels_.data(), header.biSizeImage) < header.biSizeImage) {
      CFileException::Throw(CFileException::endOfFile, -1, file.GetFilePath());
    }
    return TRUE;
  } catch (...) {
    Free();
    palette_.DeleteObject();
    throw;
  }
}

void CDIBitmap::Free() {
  info_.Free();
  pixels_.Free();
  colorCount_ = 0;
  std::memset(fileHeader_, 0, sizeof fileHeader_);
}

RGBQUAD* CDIBitmap::ColorTable() const {
  return info_ ? reinterpret_cast<RGBQUAD*>(info_.as<std::uint8_t>() + kInfoHeaderSize) : nullptr;
}

void CDIBitmap::MakePalette() {
  const BITMAPINFOHEADER* header = GetInfoHeader();
  const DWORD n = header ? header->biClrUsed : 0;
  if (n == 0) return;  // no table: the stock palette serves
  std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(n);
  const RGBQUAD* table = ColorTable();
  for (DWORD i = 0; i < n; ++i) {
    logical->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
  }
  palette_.CreatePalette(logical);
}

HBITMAP CDIBitmap::GetDeviceBitmap() {
  if (IsEmpty()) return nullptr;
  if (!GetSafeHandle()) {
    CDisplayDC display;
    if (display.get()) {
      Attach(::CreateDIBitmap(display.get(), GetInfoHeader(), CBM_INIT, pixels_.data(), Info(), DIB_RGB_COLORS));
    }
  }
  return GetSafeHandle();
}

int CDIBitmap::GetWidth() const { return info_ ? GetInfoHeader()->biWidth : 0; }
int CDIBitmap::GetHeight() const { return info_ ? GetInfoHeader()->biHeight : 0; }

BOOL CDIBitmap::GetSize(int& width, int& height) const {
  width = GetWidth();
  height = GetHeight();
  return info_ ? TRUE : FALSE;
}

void CDIBitmap::DrawPixels(HDC dc, const RECT& target, DWORD rop) const {
  ::StretchDIBits(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, 0, 0,
                  GetWidth(), GetHeight(), pixels_.data(), Info(), DIB_RGB_COLORS, rop);
}

void CDIBitmap::DrawTransparent(HDC dc, const RECT& target) {
  RGBQUAD* table = ColorTable();
  std::array<RGBQUAD, kTransparentTableSize> saved;
  std::memcpy(saved.data(), table, sizeof saved);
  auto isWhite = [](const RGBQUAD& q) { return q.rgbRed == 255 && q.rgbGreen == 255 && q.rgbBlue == 255; };
  const RGBQUAD white{255, 255, 255, 0};
  const RGBQUAD black{0, 0, 0, 0};

  // Mask: keeps the DC where the image is white, blackens it elsewhere.
  for (int i = 0; i < kTransparentTableSize; ++i) table[i] = isWhite(saved[i]) ? white : black;
  DrawPixels(dc, target, SRCAND);
  // The image with white turned black, ORed into the holes.
  for (int i = 0; i < kTransparentTableSize; ++i) table[i] = isWhite(saved[i]) ? black : saved[i];
  DrawPixels(dc, target, SRCPAINT);
  std::memcpy(table, saved.data(), sizeof saved);
}

void CDIBitmap::Draw(HDC dc, int x, int y, int cx, int cy, DWORD rop, BOOL transparent, BOOL selectPalette,
                     BOOL selectPaletteWhenTransparent) {
  if (IsEmpty() || !dc) return;
  CSavedDC savedState(dc);
  ::IntersectClipRect(dc, x, y, x + cx, y + cy);

  SIZE windowExt{1, 1};
  SIZE viewportExt{1, 1};
  ::GetWindowExtEx(dc, &windowExt);
  ::GetViewportExtEx(dc, &viewportExt);
  int width = GetWidth();
  int height = GetHeight();
  if (viewportExt.cx != 0) width *= windowExt.cx / viewportExt.cx;
  if (viewportExt.cy != 0) height *= windowExt.cy / viewportExt.cy;
  if (::GetDeviceCaps(dc, TECHNOLOGY) == DT_RASPRINTER) {
    width *= ::GetDeviceCaps(dc, LOGPIXELSX) / 72;
    height *= ::GetDeviceCaps(dc, LOGPIXELSY) / 72;
  }
  const RECT target{x, y, x + width, y + height};
  ::IntersectClipRect(dc, target.left, target.top, target.right, target.bottom);

  const bool fullTable = colorCount_ == kTransparentTableSize &&
                         GetInfoHeader()->biClrUsed == static_cast<DWORD>(kTransparentTableSize);
  const bool drawTransparent = transparent && fullTable;
  const bool usePalette = transparent ? selectPaletteWhenTransparent : selectPalette;
  CSelectPalette palette(dc, usePalette ? GetPalette() : nullptr, false);
  if (palette.selected()) ::RealizePalette(dc);

  if (drawTransparent) {
    DrawTransparent(dc, target);
  } else {
    DrawPixels(dc, target, rop);
  }
}
