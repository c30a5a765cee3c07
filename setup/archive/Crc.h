// The checksum of archive members: the CRC-32 table of the reflected
// polynomial 0xEDB88320 with the update rule
//   c = T[(c ^ b) & 0xFF] ^ ((c >> 6) & 0x00FFFFFF)
// for each byte b, start value 0 and no final inversion. It is not zlib's
// crc32: archives store this value, so it must stay exactly as it is.
// Over the bytes "abc" it gives 0x3E105F31.
#pragma once

#include <cstddef>
#include <cstdint>

// Continues the checksum crc over count bytes (start with 0).
std::uint32_t Crc(std::uint32_t crc, const void* data, std::size_t count) noexcept;

// The same, one byte at a time: the rule in its plain form, for checking
// the fast path.
std::uint32_t CrcBytewise(std::uint32_t crc, const void* data, std::size_t count) noexcept;
