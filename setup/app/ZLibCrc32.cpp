// zlib's crc32, as the setup program has it. The program inflates zlib
// streams only, checked with adler32; inflate names crc32 for gzip streams
// alone, and zlib's own brings its 5 KB of tables for speed along. This is
// the same checksum (CRC-32 of the reflected polynomial 0xEDB88320, with
// zlib's starting and final inversion), a bit at a time.
#include <zlib.h>

extern "C" uLong crc32(uLong crc, const Bytef* buf, uInt len) {
  if (!buf) return 0;
  crc = ~crc & 0xFFFFFFFFu;
  while (len--) {
    crc ^= *buf++;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc & 0xFFFFFFFFu;
}
