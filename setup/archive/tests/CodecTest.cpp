#include <gtest/gtest.h>

#include <zlib.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "framework/MemFile.h"
#include "framework/Exception.h"
#include "setup/archive/DeflateCodec.h"
#include "setup/archive/InflateCodec.h"
#include "setup/archive/StoredCodec.h"
#include "setup/archive/ZLibException.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Sample(std::size_t size) {
  // Text-like: compresses, but not to nothing.
  std::mt19937 random(static_cast<unsigned>(size));
  Bytes out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>("aaaabbbcd \n"[random() % 11]);
  return out;
}

Bytes Noise(std::size_t size) {
  // Does not compress: the stream is a little longer than the data.
  std::mt19937 random(static_cast<unsigned>(size) + 1);
  Bytes out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>(random() >> 24);
  return out;
}

Bytes Compress(CCodec& codec, const Bytes& data) {
  CMemFile source(data), destination;
  codec.Transfer(source, destination);
  return destination.Detach();
}

Bytes Expand(CCodec& codec, const Bytes& stored, std::uint32_t size, std::uint32_t compressedSize) {
  CMemFile source(stored), destination;
  codec.TransferSized(source, destination, compressedSize, size);
  return destination.Detach();
}

template <class F>
int ZLibCode(F&& f) {
  try {
    f();
  } catch (CZLibException& e) {
    return e.GetErrorCode();
  }
  return 0;
}

}  // namespace

TEST(Codec, BothMethodsRoundTripAtBufferEdges) {
  // The stored codec's 16 KiB, the deflate codec's 64 KiB of input and its
  // 128 KiB output pieces, in text that compresses and in noise whose stream
  // crosses the input buffer's edges.
  for (std::size_t size : {0u, 1u, 4095u, 4096u, 4097u, 16384u, 16385u, 65535u, 65536u, 65537u, 100000u, 131071u,
                           131072u, 131073u, 131072u + 258u, 200001u, 3u * 65536u + 7, 5u * 131072u + 1}) {
    const Bytes data = size % 2 == 1 && size > 65536 ? Noise(size) : Sample(size);
    CStoredCodec stored;
    const Bytes s = Compress(stored, data);
    EXPECT_EQ(data, s) << size;
    EXPECT_EQ(data, Expand(stored, s, static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(s.size())));

    CDeflateCodec deflate;
    const Bytes d = Compress(deflate, data);
    // The stream is what zlib itself makes of the data at its default level.
    const Bytes viaZlib = archive_bytes::Deflate(std::string(data.begin(), data.end()));
    EXPECT_EQ(viaZlib, d) << size;
    EXPECT_EQ(data, Expand(deflate, d, static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(d.size())))
        << size;
    EXPECT_FALSE(deflate.IsBusy());
  }
}

TEST(Codec, TheExtractingCodecInflatesWhatThePackerMadeAndPacksNothing) {
  // Members one after the other through one codec, as the archive reader
  // runs them: its inflate state is only reset between them.
  CDeflateCodec packer;
  CInflateCodec inflate;
  for (std::size_t size : {70000u, 0u, 5u, 131072u + 258u}) {
    const Bytes data = size == 70000u ? Noise(size) : Sample(size);
    const Bytes d = Compress(packer, data);
    EXPECT_EQ(data, Expand(inflate, d, static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(d.size())))
        << size;
  }
  CMemFile source(Sample(10)), destination;
  EXPECT_THROW(inflate.Transfer(source, destination), CNotSupportedException);
  EXPECT_FALSE(inflate.IsBusy());
  EXPECT_EQ(0u, destination.GetLength());
}

TEST(Codec, SizedTransfersReadNoMoreThanTheStoredSize) {
  const Bytes data = Sample(10000);
  CDeflateCodec deflate;
  Bytes stream = Compress(deflate, data);
  const auto compressed = static_cast<std::uint32_t>(stream.size());
  stream.insert(stream.end(), {'T', 'R', 'A', 'I', 'L'});  // bytes after the stream end
  CMemFile source(stream), destination;
  deflate.TransferSized(source, destination, compressed + 5, 10000);
  EXPECT_EQ(data, destination.GetData());
  EXPECT_LE(source.GetPosition(), compressed + 5u);

  // The stored codec stops at exactly its size, and a header's size never
  // makes the deflate codec write more than it says.
  CStoredCodec stored;
  CMemFile s(data), out;
  stored.TransferSized(s, out, 100, 100);
  EXPECT_EQ(100u, s.GetPosition());
  EXPECT_EQ(Bytes(data.begin(), data.begin() + 100), Expand(deflate, Compress(deflate, data), 100, compressed));
}

TEST(Codec, DamagedDeflateDataGivesTypedErrors) {
  const Bytes data = Sample(50000);
  CDeflateCodec deflate;
  const Bytes good = Compress(deflate, data);
  const auto n = static_cast<std::uint32_t>(good.size());

  // Truncated: the input runs out before size bytes came out.
  EXPECT_EQ(CZLibException::bufferError, ZLibCode([&] { Expand(deflate, good, 50000, n / 2); }));
  EXPECT_EQ(CZLibException::bufferError,
            ZLibCode([&] { Expand(deflate, Bytes(good.begin(), good.begin() + n / 2), 50000, n); }));
  // The stream ends before the size the header claims.
  EXPECT_EQ(CZLibException::dataError, ZLibCode([&] { Expand(deflate, good, 50001, n); }));
  // Corrupt stream.
  Bytes corrupt = good;
  corrupt[0] ^= 0xFF;  // zlib header check fails
  EXPECT_EQ(CZLibException::dataError, ZLibCode([&] { Expand(deflate, corrupt, 50000, n); }));
  corrupt = good;
  for (std::size_t i = 2; i < corrupt.size() - 4; i += 7) corrupt[i] ^= 0x5A;
  EXPECT_NE(0, ZLibCode([&] { Expand(deflate, corrupt, 50000, n); }));
  // A size of 0 writes nothing and reads nothing.
  EXPECT_TRUE(Expand(deflate, corrupt, 0, n).empty());
}

TEST(Codec, StoredDataThatEndsEarlyIsAnEndOfFile) {
  CStoredCodec stored;
  try {
    Expand(stored, Sample(10), 20, 20);
    FAIL() << "nothing thrown";
  } catch (CFileException& e) {
    EXPECT_EQ(CFileException::endOfFile, e.m_cause);
  }
  EXPECT_FALSE(stored.IsBusy());
}

TEST(Codec, ZLibResultsMapToTheirExceptions) {
  EXPECT_NO_THROW(CZLibException::Check(Z_OK));
  EXPECT_NO_THROW(CZLibException::Check(Z_STREAM_END));
  EXPECT_EQ(CZLibException::streamError, ZLibCode([] { CZLibException::Check(Z_STREAM_ERROR); }));
  EXPECT_EQ(CZLibException::dataError, ZLibCode([] { CZLibException::Check(Z_DATA_ERROR); }));
  EXPECT_EQ(CZLibException::bufferError, ZLibCode([] { CZLibException::Check(Z_BUF_ERROR); }));
  EXPECT_EQ(CZLibException::unknownError, ZLibCode([] { CZLibException::Check(Z_NEED_DICT); }));
  EXPECT_EQ(CZLibException::unknownError, ZLibCode([] { CZLibException::Check(Z_VERSION_ERROR); }));
  EXPECT_THROW(CZLibException::Check(Z_MEM_ERROR), CMemoryException);
  errno = ENOSPC;
  try {
    CZLibException::Check(Z_ERRNO);
    FAIL() << "nothing thrown";
  } catch (CFileException& e) {
    EXPECT_EQ(CFileException::diskFull, e.m_cause);
  }
}

TEST(Codec, ExceptionsCarryTheirClassNameAndTexts) {
  const struct {
    int code;
    const char* shortText;
  } rows[] = {{1, "Archive file damaged (unknown error)."},
              {2, "Archive file damaged (stream error)."},
              {3, "Archive file damaged (data error)."},
              {4, "Archive file damaged (buffer error)."}};
  for (const auto& row : rows) {
    const ErrorInfo info = CZLibException(row.code).LoadErrorInfo();
    EXPECT_EQ(row.shortText, info.shortText);
    EXPECT_EQ(0u, info.longText.find("The archive file this application is extracting appears damaged . "));
  }
  EXPECT_STREQ("CZLibException", CZLibException(1).GetRuntimeClassName());
}
