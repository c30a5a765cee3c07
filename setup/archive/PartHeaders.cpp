#include "setup/archive/PartHeaders.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "setup/archive/ArchiveFormat.h"
#include "setup/archive/CountedFile.h"
#include "setup/archive/Sha256.h"

using namespace archive_format;

namespace {

constexpr std::size_t kWalkWindow = 64 * 1024;

}  // namespace

PartHeaderWalk WalkPartHeaders(CCountedFile& part, std::uint64_t carriedIn) {
  PartHeaderWalk walk;
  CSha256 digest;
  const std::uint64_t length = part.GetLength();
  std::uint64_t at = kPartHeaderSize + carriedIn;
  // The headers are read through a window of the part: a read brings in
  // every header of the members it covers, where a seek to each header and
  // a read of it would cost two system calls a member, and a buffered read
  // a whole buffer. A member larger than the window costs one seek and one
  // read, as before.
  std::vector<std::uint8_t> window(kWalkWindow);
  std::uint64_t windowAt = 0;
  std::size_t windowSize = 0;  // the bytes of the part from windowAt in window
  // Each turn moves at by a whole header at least: the walk ends.
  while (at + kEntryHeaderSize <= length) {
    if (at < windowAt || at + kEntryHeaderSize > windowAt + windowSize) {
      part.Seek(static_cast<std::int64_t>(at), CFile::begin);
      const auto wanted = static_cast<UINT>(std::min<std::uint64_t>(window.size(), length - at));
      windowAt = at;
      // A raw read gives everything asked for but at the part's end.
      windowSize = part.RawRead(window.data(), wanted);
      if (windowSize < kEntryHeaderSize) break;
    }
    const std::uint8_t* const header = window.data() + (at - windowAt);
    digest.Update(header, kEntryHeaderSize);
    ++walk.headers;
    // Past a header that is not one, nothing further can be told apart.
    if (std::memcmp(header + kOffMagic, kEntryMagic, sizeof kEntryMagic) != 0) break;
    at += kEntryHeaderSize + LoadU32(header + kOffCompressedSize);
    if (LoadU16(header + kOffContinued) != 0) break;
  }
  if (at > length) walk.carried = at - length;
  walk.digest = digest.FinishHex();
  return walk;
}
