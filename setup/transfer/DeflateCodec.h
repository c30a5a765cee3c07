// CDeflateCodec: the deflate method (zlib format streams, zlib's default
// compression level and window), with input and output buffers of 64 KiB
// allocated once with the codec. inflate copies everything it returns into
// its window as well, and its fast loop stops near the ends of either
// buffer: with 4 KiB pieces those costs came to about a sixth of the
// decoding time. The source still reports progress every 4096 bytes read
// (its segment size), and 64 KiB is also the stream buffer the files read
// and write through. zlib's failures become CZLibException,
// CMemoryException or CFileException (see CZLibException::Check).
#pragma once

#include <zlib.h>

#include <memory>

#include "setup/transfer/Codec.h"

class CDeflateCodec : public CCodec {
public:
  static constexpr UINT kInputSize = 64 * 1024;
  static constexpr UINT kOutputSize = 64 * 1024;

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
  std::unique_ptr<Bytef[]> input_;
  UINT inputSize_ = kInputSize;
  std::unique_ptr<Bytef[]> output_;
  UINT outputSize_ = kOutputSize;
};
