#include "framework/PackedIcon.h"

#include "framework/DibSizes.h"
#include "framework/PackedData.h"
#include "framework/Resources.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Larger than any icon image Windows makes (256 x 256 at 32 bits with its
// mask is 270 KB): a size beyond it is damage.
constexpr std::uint32_t kMaxIconImageSize = 1u << 20;

// The version of the icon format CreateIconFromResourceEx is given
// (documented as 0x00030000 for Win32 icons).
constexpr DWORD kIconFormatVersion = 0x00030000;

// Whether image holds a whole icon image: the header, the colour table,
// the colour pixels and the mask of half the header's height.
bool IsIconImage(const std::vector<unsigned char>& image) {
  BITMAPINFOHEADER header;
  std::memcpy(&header, image.data(), sizeof header);
  if (header.biSize < sizeof header || header.biSize > image.size() || header.biPlanes != 1 ||
      header.biCompression != BI_RGB) {
    return false;
  }
  if (header.biWidth <= 0 || header.biWidth > 256 || header.biHeight <= 0 || header.biHeight > 512 ||
      header.biHeight % 2 != 0) {
    return false;
  }
  const unsigned bits = header.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  const std::uint64_t colourTable = DibColourTableBytes(header);
  if (colourTable > 256 * sizeof(RGBQUAD)) return false;
  const std::uint64_t rows = header.biHeight / 2;
  const std::uint64_t needed = header.biSize + colourTable + DibPixelBytes(header.biWidth, rows, bits) +
                               DibPixelBytes(header.biWidth, rows, 1);
  return needed <= image.size();
}

}  // namespace

HICON CreateIconFromPackedImage(const void* data, std::size_t size) {
  std::vector<unsigned char> image;
  if (!UnpackData(data, size, sizeof(BITMAPINFOHEADER), kMaxIconImageSize, image)) return nullptr;
  if (!IsIconImage(image)) return nullptr;
  // At the system's icon size, as CreateIconFromResource makes it, but not
  // shared: the system keeps a shared icon until the process ends, whatever
  // DestroyIcon is told, and the icons of this program are destroyed by
  // their owners.
  return ::CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, kIconFormatVersion, 0, 0,
                                    LR_DEFAULTSIZE);
}

HICON CPackedIcons::Get(UINT id) {
  for (const auto& [known, icon] : icons_) {
    if (known == id) return icon.get();
  }
  const std::string_view packed = FindPlainResource(module_, kPackedIconType, id);
  HICON icon = packed.empty() ? nullptr : CreateIconFromPackedImage(packed.data(), packed.size());
  icons_.emplace_back(id, CIconHandle(icon));
  return icon;
}

void CPackedIcons::ShowIn(HWND dialog) {
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char className[8] = {};
    if (!::GetClassNameA(child, className, sizeof className) || lstrcmpiA(className, "Static") != 0) continue;
    if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
    if (::SendMessageA(child, STM_GETICON, 0, 0) != 0) continue;
    const int id = ::GetDlgCtrlID(child);
    if (id <= 0 || id > 0xFFFF) continue;
    if (HICON icon = Get(static_cast<UINT>(id))) {
      ::SendMessageA(child, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
  }
}
