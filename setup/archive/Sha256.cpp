#include "setup/archive/Sha256.h"

#include <algorithm>

namespace {

inline std::uint32_t Rotate(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

inline std::uint32_t LoadBigEndian(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

}  // namespace

// The 64 rounds are written out: the message schedule lives in 16 words
// that are rewritten in place, the round constants are immediates, and the
// eight working variables rotate their names instead of their values.
// GCC keeps all of it in registers on x86-64 and nearly so on i686.
#define VELT_SHA_S0(x) (Rotate(x, 2) ^ Rotate(x, 13) ^ Rotate(x, 22))
#define VELT_SHA_S1(x) (Rotate(x, 6) ^ Rotate(x, 11) ^ Rotate(x, 25))
#define VELT_SHA_G0(x) (Rotate(x, 7) ^ Rotate(x, 18) ^ ((x) >> 3))
#define VELT_SHA_G1(x) (Rotate(x, 17) ^ Rotate(x, 19) ^ ((x) >> 10))
#define VELT_SHA_ROUND(a, b, c, d, e, f, g, h, k, wi)                       \
  do {                                                                      \
    const std::uint32_t t1 = h + VELT_SHA_S1(e) + ((e & (f ^ g)) ^ g) + k + (wi); \
    const std::uint32_t t2 = VELT_SHA_S0(a) + ((a & b) | (c & (a | b)));   \
    d += t1;                                                                \
    h = t1 + t2;                                                            \
  } while (0)
// Word i of the schedule (i >= 16), kept in w[i % 16].
#define VELT_SHA_NEXT(i) \
  (w[(i) & 15] += VELT_SHA_G1(w[((i) - 2) & 15]) + w[((i) - 7) & 15] + VELT_SHA_G0(w[((i) - 15) & 15]))
#define VELT_SHA_EIGHT(i, k0, k1, k2, k3, k4, k5, k6, k7, W)   \
  VELT_SHA_ROUND(a, b, c, d, e, f, g, h, k0, W((i) + 0));      \
  VELT_SHA_ROUND(h, a, b, c, d, e, f, g, k1, W((i) + 1));      \
  VELT_SHA_ROUND(g, h, a, b, c, d, e, f, k2, W((i) + 2));      \
  VELT_SHA_ROUND(f, g, h, a, b, c, d, e, k3, W((i) + 3));      \
  VELT_SHA_ROUND(e, f, g, h, a, b, c, d, k4, W((i) + 4));      \
  VELT_SHA_ROUND(d, e, f, g, h, a, b, c, k5, W((i) + 5));      \
  VELT_SHA_ROUND(c, d, e, f, g, h, a, b, k6, W((i) + 6));      \
  VELT_SHA_ROUND(b, c, d, e, f, g, h, a, k7, W((i) + 7))
#define VELT_SHA_FIRST(i) (w[i])

void CSha256::Blocks(const std::uint8_t* blocks, std::size_t count) {
  std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  std::uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
  for (; count > 0; --count, blocks += 64) {
    std::uint32_t w[16];
    for (int i = 0; i < 16; ++i) w[i] = LoadBigEndian(blocks + 4 * i);
    VELT_SHA_EIGHT(0, 0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
                   0xab1c5ed5, VELT_SHA_FIRST);
    VELT_SHA_EIGHT(8, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7,
                   0xc19bf174, VELT_SHA_FIRST);
    VELT_SHA_EIGHT(16, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc,
                   0x76f988da, VELT_SHA_NEXT);
    VELT_SHA_EIGHT(24, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351,
                   0x14292967, VELT_SHA_NEXT);
    VELT_SHA_EIGHT(32, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e,
                   0x92722c85, VELT_SHA_NEXT);
    VELT_SHA_EIGHT(40, 0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585,
                   0x106aa070, VELT_SHA_NEXT);
    VELT_SHA_EIGHT(48, 0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f,
                   0x682e6ff3, VELT_SHA_NEXT);
    VELT_SHA_EIGHT(56, 0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
                   0xc67178f2, VELT_SHA_NEXT);
    a = state_[0] += a;
    b = state_[1] += b;
    c = state_[2] += c;
    d = state_[3] += d;
    e = state_[4] += e;
    f = state_[5] += f;
    g = state_[6] += g;
    h = state_[7] += h;
  }
}

#undef VELT_SHA_FIRST
#undef VELT_SHA_EIGHT
#undef VELT_SHA_NEXT
#undef VELT_SHA_ROUND
#undef VELT_SHA_G1
#undef VELT_SHA_G0
#undef VELT_SHA_S1
#undef VELT_SHA_S0

void CSha256::Reset() {
  state_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  pendingSize_ = 0;
  length_ = 0;
}

void CSha256::Update(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  length_ += size;
  if (pendingSize_ > 0) {
    const std::size_t take = std::min(size, pending_.size() - pendingSize_);
    std::copy(bytes, bytes + take, pending_.begin() + static_cast<std::ptrdiff_t>(pendingSize_));
    pendingSize_ += take;
    bytes += take;
    size -= take;
    if (pendingSize_ < pending_.size()) return;
    Blocks(pending_.data(), 1);
    pendingSize_ = 0;
  }
  // Whole blocks straight from the input.
  const std::size_t whole = size / pending_.size();
  Blocks(bytes, whole);
  bytes += whole * pending_.size();
  size -= whole * pending_.size();
  std::copy(bytes, bytes + size, pending_.begin());
  pendingSize_ = size;
}

std::string CSha256::FinishHex() {
  const std::uint64_t bits = length_ * 8;
  std::uint8_t tail[72] = {0x80};
  // Pad to 56 bytes past a block boundary, then the length in bits.
  const std::size_t padding = (pendingSize_ < 56 ? 56 : 120) - pendingSize_;
  for (int i = 0; i < 8; ++i) tail[padding + i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
  Update(tail, padding + 8);
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(64);
  for (const std::uint32_t word : state_) {
    for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(word >> shift) & 0xF];
  }
  Reset();
  return out;
}
