#include "setup/archive/DeflateCodec.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "setup/archive/ZLibException.h"

namespace {

// Ends a zlib stream on every way out of a transfer. End() ends it with the
// result checked; the destructor ends it quietly when an exception left
// the transfer first.
template <int (*EndFn)(z_streamp)>
class ZStreamEnd {
public:
  explicit ZStreamEnd(z_stream& stream) : stream_(&stream) {}
  ~ZStreamEnd() {
    if (stream_) EndFn(stream_);
  }
  ZStreamEnd(const ZStreamEnd&) = delete;
  ZStreamEnd& operator=(const ZStreamEnd&) = delete;
  void End() { CZLibException::Check(EndFn(std::exchange(stream_, nullptr))); }

private:
  z_stream* stream_;
};

}  // namespace

CDeflateCodec::CDeflateCodec() : stream_{}, input_(std::make_unique_for_overwrite<Bytef[]>(kInputSize)),
      output_(std::make_unique_for_overwrite<Bytef[]>(kOutputSize)) {}

CDeflateCodec::~CDeflateCodec() { EndInflating(); }

void CDeflateCodec::EndInflating() noexcept {
  if (!inflating_) return;
  inflating_ = false;
  inflateEnd(&stream_);
}

std::uint64_t CDeflateCodec::Run() {
  EndInflating();
  stream_ = z_stream{};
  stream_.opaque = this;
  CZLibException::Check(deflateInit(&stream_, Z_DEFAULT_COMPRESSION));
  ZStreamEnd<deflateEnd> end(stream_);

  stream_.next_in = input_.get();
  stream_.avail_in = 0;
  stream_.next_out = output_.get();
  stream_.avail_out = kWriteSize;
  std::uint64_t total = 0;
  bool moreInput = true;
  int result = Z_OK;
  do {
    if (stream_.avail_in == 0 && moreInput) {
      const UINT n = ReadBlock(input_.get(), inputSize_);
      moreInput = n > 0;
      stream_.next_in = input_.get();
      stream_.avail_in = n;
    }
    if (stream_.avail_out == 0) {
      WriteBlock(output_.get(), kWriteSize);
      total += kWriteSize;
      stream_.next_out = output_.get();
      stream_.avail_out = kWriteSize;
    }
    result = deflate(&stream_, moreInput ? Z_NO_FLUSH : Z_FINISH);
    CZLibException::Check(result);
  } while (moreInput || (result != Z_STREAM_END && stream_.avail_out == 0));

  const UINT rest = kWriteSize - stream_.avail_out;
  WriteBlock(output_.get(), rest);
  total += rest;
  end.End();
  return total;
}

std::uint64_t CDeflateCodec::RunSized(std::uint32_t compressedSize, std::uint32_t size) {
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
