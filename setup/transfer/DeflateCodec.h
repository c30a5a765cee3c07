// CDeflateCodec: the deflate method (zlib format streams, zlib's default
// compression level and window). Buffers of 4 KiB for input and for output,
// allocated once with the codec. zlib's failures become CZLibException,
// CMemoryException or CFileException (see CZLibException::Check).
#pragma once

#include <zlib.h>

#include <array>

#include "setup/transfer/Codec.h"

class CDeflateCodec : public CCodec {
public:
  static constexpr UINT kBufferSize = 4096;

  CDeflateCodec();

  // Compresses the whole source into one zlib stream.
  std::uint64_t Run() override;
  // Inflates the compressed data into exactly size bytes. Reads no more
  // than compressedSize bytes and writes no more than size bytes; data
  // after the end of the stream is left unread. Data that ends before size
  // bytes came out throws CZLibException (bufferError when the input ran
  // out, dataError when the stream itself ended early).
  std::uint64_t RunSized(std::uint32_t compressedSize, std::uint32_t size) override;

private:
  z_stream stream_;
  std::array<Bytef, kBufferSize> input_;
  UINT inputSize_ = kBufferSize;
  std::array<Bytef, kBufferSize> output_;
  UINT outputSize_ = kBufferSize;
};
