// Archives made byte by byte for the reader's tests, independently of the
// production classes: the layout is written out here field by field, so
// that a mistake in the header class and one in the reader cannot cancel
// each other out.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "setup/archive/Crc.h"

namespace archive_bytes {

using Bytes = std::vector<std::uint8_t>;

struct Member {
  Member(std::string n, std::string d, std::uint32_t m = 4) : name(std::move(n)), data(std::move(d)), method(m) {}
  std::string name;
  std::string data;
  std::uint32_t method = 4;  // deflate
  std::int16_t destination = 0;
  std::uint16_t attributes = 0x20;
  std::uint32_t time = 820454400;  // 1996-01-01
  bool checked = true;             // store the checksum (0 = unchecked)
  std::uint16_t continued = 0;
  std::string text;
};

inline void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline std::uint32_t LoadU32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline Bytes Deflate(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  Bytes out(size);
  compress2(out.data(), &size, reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
            Z_DEFAULT_COMPRESSION);
  out.resize(size);
  return out;
}

inline Bytes StoredData(const Member& m) {
  return m.method == 4 ? Deflate(m.data) : Bytes(m.data.begin(), m.data.end());
}

inline Bytes EntryHeader(const Member& m, std::uint32_t compressedSize) {
  Bytes h(346, 0);
  h[0] = 'm'; h[1] = 'f'; h[2] = 'e'; h[3] = 'n';
  Put16(h, 4, 1);
  Put16(h, 6, 346);
  Put32(h, 8, m.time);
  for (std::size_t i = 0; i < m.name.size() && i < 259; ++i) h[16 + i] = static_cast<std::uint8_t>(m.name[i]);
  Put32(h, 276, static_cast<std::uint32_t>(m.data.size()));
  Put32(h, 280, compressedSize);
  Put32(h, 284, m.checked ? Crc(0, m.data.data(), m.data.size()) : 0);
  Put32(h, 292, m.method);
  Put16(h, 300, static_cast<std::uint16_t>(m.destination));
  Put16(h, 302, m.attributes);
  Put16(h, 304, m.continued);
  for (std::size_t i = 0; i < m.text.size() && i < 39; ++i) h[306 + i] = static_cast<std::uint8_t>(m.text[i]);
  return h;
}

inline Bytes PartHeader() { return Bytes{'m', 'f', 'l', 'h', 0, 0, 0, 0}; }

// The whole archive as one byte stream (one part).
inline Bytes Archive(const std::vector<Member>& members) {
  Bytes out = PartHeader();
  for (const Member& m : members) {
    const Bytes data = StoredData(m);
    const Bytes h = EntryHeader(m, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), h.begin(), h.end());
    out.insert(out.end(), data.begin(), data.end());
  }
  return out;
}

// Cuts a one-part archive into parts at the given offsets of the stream
// after the first part header; every later part gets its own header.
inline std::vector<Bytes> Split(const Bytes& archive, const std::vector<std::size_t>& cuts) {
  std::vector<Bytes> parts;
  std::size_t from = 8;
  for (std::size_t i = 0; i <= cuts.size(); ++i) {
    const std::size_t to = i < cuts.size() ? 8 + cuts[i] : archive.size();
    Bytes part = PartHeader();
    part.insert(part.end(), archive.begin() + static_cast<std::ptrdiff_t>(from),
                archive.begin() + static_cast<std::ptrdiff_t>(to));
    parts.push_back(std::move(part));
    from = to;
  }
  return parts;
}

}  // namespace archive_bytes
