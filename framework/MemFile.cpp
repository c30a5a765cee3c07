#include "framework/MemFile.h"

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <new>
#include <utility>

bool CMemFile::Open(const std::string& path, unsigned, CFileException* error) {
  if (error) *error = CFileException(CFileException::invalidFile, -1, path);
  return false;
}

void CMemFile::CheckOpen() const {
  if (!open_) CFileException::Throw(CFileException::invalidFile);
}

UINT CMemFile::Read(void* buffer, UINT count) {
  CheckOpen();
  if (position_ >= data_.size()) return 0;
  const auto n = static_cast<UINT>(std::min<std::uint64_t>(count, data_.size() - position_));
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

void CMemFile::Write(const void* buffer, UINT count) {
  CheckOpen();
  if (count == 0) return;
  const std::uint64_t newEnd = position_ + count;
  try {
    if (newEnd > data_.size()) {
      if (newEnd > data_.max_size()) AfxThrowMemoryException();
      data_.resize(static_cast<std::size_t>(newEnd));
    }
  } catch (const std::bad_alloc&) {
    AfxThrowMemoryException();
  }
  std::memcpy(data_.data() + position_, buffer, count);
  position_ = newEnd;
}

std::uint64_t CMemFile::Seek(std::int64_t offset, SeekPosition from) {
  CheckOpen();
  std::int64_t base = 0;
  if (from == current) base = static_cast<std::int64_t>(position_);
  if (from == end) base = static_cast<std::int64_t>(data_.size());
  if ((offset < 0 && base + offset < 0) || (offset > 0 && base > INT64_MAX - offset)) {
    CFileException::Throw(CFileException::badSeek);
  }
  position_ = static_cast<std::uint64_t>(base + offset);
  return position_;
}

void CMemFile::SetLength(std::uint64_t length) {
  CheckOpen();
  try {
    if (length > data_.max_size()) AfxThrowMemoryException();
    data_.resize(static_cast<std::size_t>(length));
  } catch (const std::bad_alloc&) {
    AfxThrowMemoryException();
  }
  position_ = std::min<std::uint64_t>(position_, length);
}

std::vector<std::uint8_t> CMemFile::Detach() noexcept {
  position_ = 0;
  return std::exchange(data_, {});
}
