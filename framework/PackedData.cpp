#include "framework/PackedData.h"

#include <zlib.h>

bool UnpackData(const void* data, std::size_t size, std::uint32_t minSize, std::uint32_t maxSize,
                std::vector<unsigned char>& out) {
  out.clear();
  const auto* bytes = static_cast<const Bytef*>(data);
  if (!bytes || size < 4) return false;
  const std::uint32_t unpackedSize = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                                     static_cast<std::uint32_t>(bytes[2]) << 16 |
                                     static_cast<std::uint32_t>(bytes[3]) << 24;
  if (unpackedSize < minSize || unpackedSize > maxSize) return false;

  out.resize(unpackedSize);
  uLongf unpacked = unpackedSize;
  if (uncompress(out.data(), &unpacked, bytes + 4, static_cast<uLong>(size - 4)) != Z_OK || unpacked != unpackedSize) {
    out.clear();
    return false;
  }
  return true;
}
