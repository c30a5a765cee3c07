#include "setup/archive/InflateCodec.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "framework/Exception.h"
#include "setup/archive/ZLibException.h"

CInflateCodec::CInflateCodec() : stream_{}, input_(std::make_unique_for_overwrite<Bytef[]>(kInputSize)),
      output_(std::make_unique_for_overwrite<Bytef[]>(kOutputSize)) {}

CInflateCodec::~CInflateCodec() { EndInflating(); }

void CInflateCodec::EndInflating() noexcept {
  if (!inflating_) return;
  inflating_ = false;
  inflateEnd(&stream_);
}

std::uint64_t CInflateCodec::Run() { throw CNotSupportedException(); }

std::uint64_t CInflateCodec::RunSized(std::uint32_t compressedSize, std::uint32_t size) {
  if (inflating_) {
    // Whatever the last run left (an error half-way included) is cleared.
    CZLibException::Check(inflateReset(&stream_));
  } else {
    stream_ = z_stream{};
    stream_.opaque = this;
    CZLibException::Check(inflateInit(&stream_));
    inflating_ = true;
  }

  stream_.next_in = input_.get();
  stream_.avail_in = 0;
  stream_.next_out = output_.get();
  stream_.avail_out = outputSize_;
  // Counted here rather than through total_in/total_out, which are 32-bit
  // on Windows and must not decide how much is read or written.
  std::uint32_t consumed = 0;  // compressed bytes handed to zlib
  std::uint32_t produced = 0;  // bytes out of zlib, written or in the buffer
  std::uint64_t written = 0;
  while (produced != size) {
    if (stream_.avail_in == 0) {
      const UINT n = ReadBlock(input_.get(), std::min<std::uint32_t>(compressedSize - consumed, inputSize_));
      consumed += n;
      stream_.next_in = input_.get();
      stream_.avail_in = n;
    }
    if (stream_.avail_out < kFastOutput) {
      // More than kWriteSize bytes are waiting (the buffer has kFastOutput
      // more): pass on exactly kWriteSize and move the few after them to
      // the front. zlib keeps its own copy of what it refers back to.
      WriteBlock(output_.get(), kWriteSize);
      written += kWriteSize;
      const UINT after = outputSize_ - stream_.avail_out - kWriteSize;
      std::memmove(output_.get(), output_.get() + kWriteSize, after);
      stream_.next_out = output_.get() + after;
      stream_.avail_out = outputSize_ - after;
    }
    // Never let zlib produce more than the header's size: the output stops
    // exactly there whatever the stream holds.
    const uInt room = std::min<std::uint32_t>(stream_.avail_out, size - produced);
    const uInt spare = stream_.avail_out - room;
    stream_.avail_out = room;
    const int result = inflate(&stream_, Z_NO_FLUSH);
    produced += room - stream_.avail_out;
    stream_.avail_out += spare;
    if (result == Z_STREAM_END) {
      // The stream is complete; fewer bytes than the header's size means
      // the header and the data disagree.
      if (produced != size) throw CZLibException(CZLibException::dataError);
      break;
    }
    CZLibException::Check(result);
  }

  const UINT rest = outputSize_ - stream_.avail_out;
  WriteBlock(output_.get(), rest);
  written += rest;
  return written;
}
