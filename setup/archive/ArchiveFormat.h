// The multi-file archive format as it lies on the media. An archive is split
// over one or more part files; each part begins with an 8-byte part header
// ("mflh" and four bytes nobody reads). After the first part's header come
// the members, each as a 346-byte entry header followed by its stored data.
// Every integer is little-endian. The reader reads headers raw from the
// current part and changes part only inside a member's stored data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace archive_format {

inline constexpr char kPartMagic[4] = {'m', 'f', 'l', 'h'};
inline constexpr char kEntryMagic[4] = {'m', 'f', 'e', 'n'};
inline constexpr std::size_t kPartHeaderSize = 8;
inline constexpr std::size_t kEntryHeaderSize = 346;
inline constexpr std::uint16_t kEntryVersion = 1;

// Compression methods of an entry.
inline constexpr std::uint32_t kMethodStored = 2;
inline constexpr std::uint32_t kMethodDeflate = 4;

// Field offsets of the entry header.
inline constexpr std::size_t kOffMagic = 0;          // 4 bytes "mfen"
inline constexpr std::size_t kOffVersion = 4;        // u16, 1
inline constexpr std::size_t kOffHeaderSize = 6;     // u16, 346
inline constexpr std::size_t kOffTime = 8;           // u32, seconds since 1970-01-01 UTC
inline constexpr std::size_t kOffName = 16;          // 260 bytes, NUL-terminated
inline constexpr std::size_t kNameSize = 260;
inline constexpr std::size_t kOffSize = 276;         // u32, uncompressed size
inline constexpr std::size_t kOffCompressedSize = 280;  // u32, stored bytes after the header
inline constexpr std::size_t kOffChecksum = 284;     // u32, Crc of the data; 0 = unchecked
inline constexpr std::size_t kOffMethod = 292;       // u32
inline constexpr std::size_t kOffMethodParameter = 296;  // u32
inline constexpr std::size_t kOffDestination = 300;  // s16, destination id; -1 = not installed
inline constexpr std::size_t kOffAttributes = 302;   // u16, low byte applied to the file
inline constexpr std::size_t kOffContinued = 304;    // u16, non-zero: data goes on in the next part
inline constexpr std::size_t kOffText = 306;         // 40 bytes, NUL-terminated
inline constexpr std::size_t kTextSize = 40;

inline std::uint16_t LoadU16(const std::uint8_t* p) noexcept {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadU32(const std::uint8_t* p) noexcept {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}
inline void StoreU16(std::uint8_t* p, std::uint16_t v) noexcept {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreU32(std::uint8_t* p, std::uint32_t v) noexcept {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace archive_format
