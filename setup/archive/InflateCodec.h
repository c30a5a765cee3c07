// CInflateCodec: the deflate method in the direction of installing: it
// inflates zlib format streams (packing them is CDeflateCodec's, which only
// the kit builder needs: the setup program carries none of zlib's deflate).
// An input buffer of 64 KiB and an output buffer of 128 KiB are allocated
// once with the codec. inflate copies the end of everything it returns
// into its window as well, and its fast loop stops near the ends of either
// buffer: with 4 KiB pieces those costs came to about a sixth of the
// decoding time. The source still reports progress every 4096 bytes read
// (its segment size). Extracted data is passed on in whole pieces of
// 128 KiB, a multiple of the 64 KiB stream buffer the files write through,
// which then write it straight to the system instead of copying it into
// their buffer first. zlib's failures become CZLibException,
// CMemoryException or CFileException (see CZLibException::Check).
#pragma once

#include <zlib.h>

#include <memory>

#include "setup/archive/Codec.h"

class CInflateCodec : public CCodec {
public:
  static constexpr UINT kInputSize = 64 * 1024;
  // The piece extracted data is passed on in (all but the last).
  static constexpr UINT kWriteSize = 128 * 1024;
  // zlib decodes quickly only while its longest match fits the output.
  static constexpr UINT kFastOutput = 258;
  static constexpr UINT kOutputSize = kWriteSize + kFastOutput;

  CInflateCodec();
  ~CInflateCodec() override;

  // Throws CNotSupportedException: this codec only extracts.
  std::uint64_t Run() override;
  // Inflates the compressed data into exactly size bytes. Reads no more
  // than compressedSize bytes and writes no more than size bytes; data
  // after the end of the stream is left unread. Data that ends before size
  // bytes came out throws CZLibException (bufferError when the input ran
  // out, dataError when the stream itself ended early). zlib's state is
  // kept from one member to the next and only reset: making it anew cost
  // as much as a small member's whole decoding.
  std::uint64_t RunSized(std::uint32_t compressedSize, std::uint32_t size) override;

protected:
  // Ends the inflate state kept between runs, if any.
  void EndInflating() noexcept;

  z_stream stream_;
  bool inflating_ = false;  // stream_ holds an inflate state
  std::unique_ptr<Bytef[]> input_;
  UINT inputSize_ = kInputSize;
  std::unique_ptr<Bytef[]> output_;
  UINT outputSize_ = kOutputSize;
};
