#include "framework/BmpFile.h"

#include <cstdint>
#include <cstring>

#include "framework/DibSizes.h"
#include "framework/PackedBitmap.h"

namespace {

constexpr std::size_t kFileHeader = 14;

}  // namespace

std::vector<unsigned char> DibOfBmpFile(std::string_view file) {
  if (file.size() < kFileHeader + sizeof(BITMAPINFOHEADER) || file[0] != 'B' || file[1] != 'M') return {};
  std::uint32_t pixelOffset = 0;
  std::memcpy(&pixelOffset, file.data() + 10, sizeof pixelOffset);
  const std::string_view dib = file.substr(kFileHeader);
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib.data(), sizeof header);
  if (header.biSize < sizeof header || header.biSize > dib.size()) return {};
  const std::uint64_t tableEnd = header.biSize + DibColourTableBytes(header);
  if (tableEnd > dib.size()) return {};
  // In a copy of its own: the picture's header then lies aligned.
  std::vector<unsigned char> packed(dib.begin(), dib.begin() + static_cast<std::ptrdiff_t>(tableEnd));
  const std::uint64_t pixels = pixelOffset >= kFileHeader + tableEnd && pixelOffset < file.size()
                                   ? pixelOffset
                                   : kFileHeader + tableEnd;
  packed.insert(packed.end(), file.begin() + static_cast<std::ptrdiff_t>(pixels), file.end());
  if (!IsDrawableDib(packed.data(), packed.size())) return {};
  return packed;
}

HBITMAP CreateBitmapFromBmpFile(std::string_view file) {
  const std::vector<unsigned char> dib = DibOfBmpFile(file);
  return dib.empty() ? nullptr : CreateBitmapFromDib(dib.data(), dib.size());
}
