// CMemFile: a file held in memory. It reads, writes and seeks like any CFile,
// so code written against CFile (codecs, serialisers) can work on a buffer.
// It is open from construction until Close or Abort; the bytes stay
// available through GetData after closing.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/File.h"

class CMemFile : public CFile {
public:
  CMemFile() = default;
  // Starts with these bytes, positioned at the beginning (for reading).
  explicit CMemFile(std::vector<std::uint8_t> data) : data_(std::move(data)) {}

  // A memory file has no name to open: always false (error set to
  // invalidFile when given).
  bool Open(const std::string& path, unsigned openFlags, CFileException* error = nullptr) override;
  bool IsOpen() const override { return open_; }
  UINT Read(void* buffer, UINT count) override;
  // Writes at the position, growing the file as needed. Throws
  // CMemoryException when memory runs out.
  void Write(const void* buffer, UINT count) override;
  // Any position from 0 up is allowed; writing beyond the end fills the gap
  // with zeros. A negative position throws CFileException (badSeek).
  std::uint64_t Seek(std::int64_t offset, SeekPosition from) override;
  std::uint64_t GetPosition() const override { return position_; }
  std::uint64_t GetLength() const override { return data_.size(); }
  void SetLength(std::uint64_t length) override;
  void Flush() override {}
  void Close() override { open_ = false; }
  void Abort() override { open_ = false; }

  const std::vector<std::uint8_t>& GetData() const noexcept { return data_; }
  // Hands the bytes over and leaves the file empty (still open).
  std::vector<std::uint8_t> Detach() noexcept;

private:
  void CheckOpen() const;

  std::vector<std::uint8_t> data_;
  std::uint64_t position_ = 0;
  bool open_ = true;
};
