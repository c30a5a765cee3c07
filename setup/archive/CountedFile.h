// CCountedFile: a named file that counts the bytes read and written through
// it, keeps the archive checksum over them, cuts transfers at segment
// boundaries (a hook runs at each one) and stops at a byte limit. Several
// part files can be read as one stream: Reopen moves to the next part with
// the counters running on.
//
// Read and Write are the counted paths; RawRead and RawWrite bypass the
// counting (headers of the archive format are moved that way).
#pragma once

#include <climits>
#include <cstdint>

#include "setup/archive/NamedFile.h"

class CCountedFile : public CNamedFile {
public:
  explicit CCountedFile(int segmentSize = 0) : segmentSize_(segmentSize) {}

  // Opens with the before-the-current-part counters set to 0.
  bool Open(const std::string& path, unsigned openFlags, CFileException* error = nullptr) override;
  // Reads up to count bytes in pieces that end at segment boundaries and at
  // the limit. A piece that comes back short, or the limit when more is
  // wanted, asks OnEndOfData whether to stop; a false answer means that a
  // subclass has made more data available (the next part), and reading goes
  // on. Returns the number of bytes read; the checksum covers them.
  UINT Read(void* buffer, UINT count) override;
  // Adds the bytes to the checksum and writes them in pieces cut at segment
  // boundaries and at the limit. At the limit with bytes left, OnEndOfData
  // decides: false means room was made (the next part) and writing goes on;
  // true throws CFileException (diskFull).
  void Write(const void* buffer, UINT count) override;

  // Opens another file for reading; the counters run on, and their values
  // now become the before-the-current-part counters.
  void Reopen(const CPathName& path);
  // Reads or writes without counting, checksum, segments or limit. RawWrite
  // keeps the disk-full rule of Write. A subclass may read from elsewhere
  // than the file.
  virtual UINT RawRead(void* buffer, UINT count);
  void RawWrite(const void* buffer, UINT count);

  // Called each time the count of bytes read or written reaches a multiple
  // of the segment size. Nothing here.
  virtual void OnSegmentBoundary() {}
  // Called when a read came back short or the limit stops a transfer; true
  // means stop. True here.
  virtual bool OnEndOfData() { return true; }

  int GetSegmentSize() const noexcept { return segmentSize_; }
  void SetSegmentSize(int size) noexcept { segmentSize_ = size < 0 ? 0 : size; }
  std::int64_t GetLimit() const noexcept { return limit_; }
  void SetLimit(std::int64_t limit) noexcept { limit_ = limit; }
  std::int64_t GetBytesRead() const noexcept { return bytesRead_; }
  std::int64_t GetBytesWritten() const noexcept { return bytesWritten_; }
  std::int64_t GetBytesReadBefore() const noexcept { return bytesReadBefore_; }
  std::int64_t GetBytesWrittenBefore() const noexcept { return bytesWrittenBefore_; }
  std::uint32_t GetChecksum() const noexcept { return checksum_; }
  // Whether Read and Write keep the checksum (they do unless told not to;
  // a file whose checksum nobody asks for saves the work).
  void SetChecksumming(bool on) noexcept { checksumming_ = on; }

protected:
  // The bytes still allowed before the limit (0 at or past it), and the
  // bytes to the next segment boundary from count (unlimited without
  // segments): the size of the next piece is the smallest of these.
  std::int64_t RoomToLimit(std::int64_t count) const noexcept;
  std::int64_t RoomToBoundary(std::int64_t count) const noexcept;

  int segmentSize_ = 0;
  std::int64_t limit_ = INT_MAX;
  std::int64_t bytesRead_ = 0;
  std::int64_t bytesWritten_ = 0;
  std::uint32_t checksum_ = 0;
  bool checksumming_ = true;
  std::int64_t bytesReadBefore_ = 0;
  std::int64_t bytesWrittenBefore_ = 0;
};
