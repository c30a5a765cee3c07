#include "setup/archive/StoredCodec.h"

#include <algorithm>

#include "framework/File.h"

std::uint64_t CStoredCodec::Run() {
  std::uint64_t total = 0;
  for (;;) {
    const UINT n = ReadBlock(buffer_.data(), kBufferSize);
    if (n == 0) return total;
    WriteBlock(buffer_.data(), n);
    total += n;
  }
}

std::uint64_t CStoredCodec::RunSized(std::uint32_t compressedSize, std::uint32_t) {
  std::uint32_t left = compressedSize;
  while (left > 0) {
    const UINT n = ReadBlock(buffer_.data(), std::min<UINT>(left, kBufferSize));
    if (n == 0) CFileException::Throw(CFileException::endOfFile, -1, source_->GetFilePath());
    WriteBlock(buffer_.data(), n);
    left -= n;
  }
  return compressedSize;
}
