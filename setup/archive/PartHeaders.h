// The entry headers of one archive part, as the kit's seal records them: a
// SHA-256 over the 346-byte headers that begin in the part, in their order.
// Headers never span parts, but a member's data may: a part other than the
// first begins (after its 8-byte part header) with the rest of the data of
// the member whose header came in an earlier part, so the walk is told how
// many bytes of it come first, and tells how many go on past its own end.
//
// The walk reads the headers and seeks over the data, through a window of
// 64 KiB: a part of a diskette is walked in a few reads, and a part of many
// small members in about one read per window of them. mkkit records the digest as it writes
// the kit; the setup program walks each part when it opens it, before any
// member of it is extracted.
#pragma once

#include <cstdint>
#include <string>

class CCountedFile;

struct PartHeaderWalk {
  std::string digest;         // 64 lower-case hex digits
  int headers = 0;            // the headers that begin in the part
  std::uint64_t carried = 0;  // bytes of the last member's data that go on in the next part
};

// Walks the part open in part, from the end of its part header and the
// carriedIn bytes of data that an earlier part's member left for it. Moves
// the file position (RawRead and Seek only: no byte is counted). Throws
// what the file's reads throw.
PartHeaderWalk WalkPartHeaders(CCountedFile& part, std::uint64_t carriedIn);
