#include "setup/archive/CountedFile.h"

#include <algorithm>

#include "setup/archive/Crc.h"

bool CCountedFile::Open(const std::string& path, unsigned openFlags, CFileException* error) {
  bytesReadBefore_ = 0;
  bytesWrittenBefore_ = 0;
  return CNamedFile::Open(path, openFlags, error);
}

void CCountedFile::Reopen(const CPathName& path) {
  OpenRead(path);
  bytesReadBefore_ = bytesRead_;
  bytesWrittenBefore_ = bytesWritten_;
}

UINT CCountedFile::RawRead(void* buffer, UINT count) { return CStdioFile::Read(buffer, count); }

void CCountedFile::RawWrite(const void* buffer, UINT count) { WriteWithRetry(buffer, count); }

std::int64_t CCountedFile::RoomToLimit(std::int64_t count) const noexcept {
  return std::max<std::int64_t>(limit_ - count, 0);
}

std::int64_t CCountedFile::RoomToBoundary(std::int64_t count) const noexcept {
  return segmentSize_ > 0 ? segmentSize_ - count % segmentSize_ : INT64_MAX;
}

UINT CCountedFile::Read(void* buffer, UINT count) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  UINT done = 0;
  while (done < count) {
    const std::int64_t toLimit = RoomToLimit(bytesRead_);
    if (toLimit == 0) {
      // At the limit with more wanted: stop unless a subclass moved it.
      if (OnEndOfData() || RoomToLimit(bytesRead_) == 0) break;
      continue;
    }
    const auto piece =
        static_cast<UINT>(std::min({std::int64_t{count - done}, toLimit, RoomToBoundary(bytesRead_)}));
    const UINT got = RawRead(out + done, piece);
    bytesRead_ += got;
    done += got;
    if (got > 0 && segmentSize_ > 0 && bytesRead_ % segmentSize_ == 0) OnSegmentBoundary();
    if (got < piece && OnEndOfData()) break;
  }
  if (checksumming_) checksum_ = Crc(checksum_, out, done);
  return done;
}

void CCountedFile::Write(const void* buffer, UINT count) {
  const auto* in = static_cast<const std::uint8_t*>(buffer);
  if (checksumming_) checksum_ = Crc(checksum_, in, count);
  UINT done = 0;
  while (done < count) {
    const std::int64_t toLimit = RoomToLimit(bytesWritten_);
    if (toLimit == 0) {
      if (OnEndOfData() || RoomToLimit(bytesWritten_) == 0) {
        CFileException::Throw(CFileException::diskFull, -1, GetFilePath());
      }
      continue;
    }
    const auto piece =
        static_cast<UINT>(std::min({std::int64_t{count - done}, toLimit, RoomToBoundary(bytesWritten_)}));
    RawWrite(in + done, piece);
    bytesWritten_ += piece;
    done += piece;
    if (segmentSize_ > 0 && bytesWritten_ % segmentSize_ == 0) OnSegmentBoundary();
  }
}
