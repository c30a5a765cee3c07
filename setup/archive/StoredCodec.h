// CStoredCodec: the stored method: bytes are copied unchanged through one
// 16 KiB buffer. Plain files on the media are copied with it as well.
#pragma once

#include <array>

#include "setup/archive/Codec.h"

class CStoredCodec : public CCodec {
public:
  static constexpr UINT kBufferSize = 16384;

  // Copies until the source ends.
  std::uint64_t Run() override;
  // Copies exactly compressedSize bytes (size is not used: both are equal
  // for a stored member); a source that ends earlier throws CFileException
  // (endOfFile).
  std::uint64_t RunSized(std::uint32_t compressedSize, std::uint32_t size) override;

private:
  std::array<std::uint8_t, kBufferSize> buffer_;
};
