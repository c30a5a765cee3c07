// Packs data as the program's packed resources hold them (ZDIB pictures,
// ZICO icons): the size, 4 bytes little-endian, then one zlib stream.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <vector>

// data packed, naming storedSize as its size; empty when zlib fails.
inline std::vector<std::uint8_t> PackData(const std::vector<std::uint8_t>& data, std::uint32_t storedSize) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<std::uint8_t> packed(4 + size);
  for (int k = 0; k < 4; ++k) packed[k] = static_cast<std::uint8_t>(storedSize >> (8 * k));
  if (compress2(packed.data() + 4, &size, data.data(), static_cast<uLong>(data.size()), 9) != Z_OK) return {};
  packed.resize(4 + size);
  return packed;
}
inline std::vector<std::uint8_t> PackData(const std::vector<std::uint8_t>& data) {
  return PackData(data, static_cast<std::uint32_t>(data.size()));
}
