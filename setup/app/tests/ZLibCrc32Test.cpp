#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <string>

// The program's crc32 (ZLibCrc32.cpp) stands in for zlib's: the same values
// whole and in pieces, and zlib's own gzip check passes with it.
TEST(ZLibCrc32, GivesZlibsChecksum) {
  const auto* digits = reinterpret_cast<const Bytef*>("123456789");
  EXPECT_EQ(0xCBF43926u, crc32(0, digits, 9));
  EXPECT_EQ(0xCBF43926u, crc32(crc32(crc32(0, digits, 0), digits, 4), digits + 4, 5));
  EXPECT_EQ(0u, crc32(0x12345678u, nullptr, 5));  // the starting value
  EXPECT_EQ(0u, crc32(0, digits, 0));

  // "Veltrane 2.0 setup\r\n" three times, gzip format: inflate checks its
  // trailer's CRC-32 with crc32.
  const Bytef gzip[] = {0x1f, 0x8b, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x03, 0x0b, 0x4b, 0xcd, 0x29, 0x29,
                        0x4a, 0xcc, 0x4b, 0x55, 0x30, 0xd2, 0x33, 0x50, 0x28, 0x4e, 0x2d, 0x29, 0x2d, 0xe0, 0xe5,
                        0x0a, 0x23, 0x52, 0x0c, 0x00, 0xce, 0x1a, 0x57, 0x76, 0x3c, 0x00, 0x00, 0x00};
  char out[80] = {};
  z_stream stream{};
  ASSERT_EQ(Z_OK, inflateInit2(&stream, 16 + MAX_WBITS));
  stream.next_in = const_cast<Bytef*>(gzip);
  stream.avail_in = sizeof gzip;
  stream.next_out = reinterpret_cast<Bytef*>(out);
  stream.avail_out = sizeof out;
  EXPECT_EQ(Z_STREAM_END, inflate(&stream, Z_FINISH));
  inflateEnd(&stream);
  std::string line = "Veltrane 2.0 setup\r\n";
  EXPECT_EQ(line + line + line, std::string(out));
}
