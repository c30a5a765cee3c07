#include "setup/archive/PartHeaders.h"

#include <array>
#include <cstring>

#include "setup/archive/ArchiveFormat.h"
#include "setup/archive/CountedFile.h"
#include "setup/archive/Sha256.h"

using namespace archive_format;

PartHeaderWalk WalkPartHeaders(CCountedFile& part, std::uint64_t carriedIn) {
  PartHeaderWalk walk;
  CSha256 digest;
  const std::uint64_t length = part.GetLength();
  std::uint64_t at = kPartHeaderSize + carriedIn;
  // Each turn moves at by a whole header at least: the walk ends.
  while (at + kEntryHeaderSize <= length) {
    std::array<std::uint8_t, kEntryHeaderSize> header;
    part.Seek(static_cast<std::int64_t>(at), CFile::begin);
    if (part.RawRead(header.data(), kEntryHeaderSize) != kEntryHeaderSize) break;
    digest.Update(header.data(), header.size());
    ++walk.headers;
    // Past a header that is not one, nothing further can be told apart.
    if (std::memcmp(header.data() + kOffMagic, kEntryMagic, sizeof kEntryMagic) != 0) break;
    at += kEntryHeaderSize + LoadU32(header.data() + kOffCompressedSize);
    if (LoadU16(header.data() + kOffContinued) != 0) break;
  }
  if (at > length) walk.carried = at - length;
  walk.digest = digest.FinishHex();
  return walk;
}
