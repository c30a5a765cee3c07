#include "setup/archive/Crc.h"

#include <array>

namespace {

// The update is linear over GF(2): T[x ^ y] = T[x] ^ T[y], so one step is
// c' = Step(c) ^ T[b] with Step(c) = T[c & 0xFF] ^ ((c >> 6) & 0x00FFFFFF).
// Sixteen steps fold into c16 = Step^16(c) ^ sum over j of Step^(15-j)(T[b_j]),
// and both terms come from tables indexed by single bytes: four for the
// bytes of c, sixteen for the data bytes. Same value, a fraction of the
// dependent work per byte.
struct CrcTables {
  static constexpr int kBlock = 16;
  std::array<std::uint32_t, 256> byte{};                   // T
  std::array<std::array<std::uint32_t, 256>, 4> state{};   // Step^16 of each byte of c
  std::array<std::array<std::uint32_t, 256>, kBlock> data{};  // Step^(15-j) of T[b]

  static std::uint32_t Step(const std::array<std::uint32_t, 256>& t, std::uint32_t c) {
    return t[c & 0xFF] ^ ((c >> 6) & 0x00FFFFFFu);
  }

  CrcTables() {
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
      byte[i] = c;
    }
    for (std::uint32_t v = 0; v < 256; ++v) {
      for (int i = 0; i < 4; ++i) {
        std::uint32_t c = v << (8 * i);
        for (int k = 0; k < kBlock; ++k) c = Step(byte, c);
        state[i][v] = c;
      }
      for (int j = 0; j < kBlock; ++j) {
        std::uint32_t c = byte[v];
        for (int k = 0; k < kBlock - 1 - j; ++k) c = Step(byte, c);
        data[j][v] = c;
      }
    }
  }
};

const CrcTables& Tables() {
  static const CrcTables tables;  // built once, on first use
  return tables;
}

}  // namespace

std::uint32_t CrcBytewise(std::uint32_t crc, const void* data, std::size_t count) noexcept {
  const auto& t = Tables().byte;
  const auto* p = static_cast<const std::uint8_t*>(data);
  for (std::size_t i = 0; i < count; ++i) crc = t[(crc ^ p[i]) & 0xFF] ^ ((crc >> 6) & 0x00FFFFFFu);
  return crc;
}

std::uint32_t Crc(std::uint32_t crc, const void* data, std::size_t count) noexcept {
  const CrcTables& t = Tables();
  const auto* p = static_cast<const std::uint8_t*>(data);
  for (; count >= 16; count -= 16, p += 16) {
    // The data bytes' part does not depend on crc: it is summed apart, and
    // the barrier keeps the compiler from folding it into one chain behind
    // the state lookups, which would make every block wait for the last.
    std::uint32_t fromData = (t.data[0][p[0]] ^ t.data[1][p[1]] ^ t.data[2][p[2]] ^ t.data[3][p[3]]) ^
                             (t.data[4][p[4]] ^ t.data[5][p[5]] ^ t.data[6][p[6]] ^ t.data[7][p[7]]) ^
                             (t.data[8][p[8]] ^ t.data[9][p[9]] ^ t.data[10][p[10]] ^ t.data[11][p[11]]) ^
                             (t.data[12][p[12]] ^ t.data[13][p[13]] ^ t.data[14][p[14]] ^ t.data[15][p[15]]);
    __asm__("" : "+r"(fromData));
    const std::uint32_t fromState = (t.state[0][crc & 0xFF] ^ t.state[1][(crc >> 8) & 0xFF]) ^
                                    (t.state[2][(crc >> 16) & 0xFF] ^ t.state[3][crc >> 24]);
    crc = fromState ^ fromData;
  }
  return CrcBytewise(crc, p, count);
}
