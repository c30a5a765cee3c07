#include "setup/archive/DeflateCodec.h"

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
