#include "setup/archive/Sha256.h"

#include <algorithm>

namespace {

inline std::uint32_t Rotate(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

inline std::uint32_t LoadBigEndian(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

}  // namespace

namespace {

constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// One round; the eight working variables rotate their names, not their
// values, so eight rounds in a row bring every name back to its place.
#define VELT_SHA_ROUND(a, b, c, d, e, f, g, h, i)                                                       \
  do {                                                                                                \
    const std::uint32_t t1 = h + (Rotate(e, 6) ^ Rotate(e, 11) ^ Rotate(e, 25)) + ((e & (f ^ g)) ^ g) + \
                             kRound[i] + w[i];                                                       \
    d += t1;                                                                                          \
    h = t1 + (Rotate(a, 2) ^ Rotate(a, 13) ^ Rotate(a, 22)) + ((a & b) | (c & (a | b)));               \
  } while (0)

}  // namespace

// The message schedule is worked out first, then the rounds run eight at a
// time, written out so that no value moves between the working variables:
// small enough for the first diskette, and fast enough that digesting a
// file costs less than writing it.
void CSha256::Blocks(const std::uint8_t* blocks, std::size_t count) {
  for (; count > 0; --count, blocks += 64) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i) w[i] = LoadBigEndian(blocks + 4 * i);
    for (int i = 16; i < 64; ++i) {
      const std::uint32_t s0 = Rotate(w[i - 15], 7) ^ Rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
      const std::uint32_t s1 = Rotate(w[i - 2], 17) ^ Rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    std::uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (int i = 0; i < 64; i += 8) {
      VELT_SHA_ROUND(a, b, c, d, e, f, g, h, i);
      VELT_SHA_ROUND(h, a, b, c, d, e, f, g, i + 1);
      VELT_SHA_ROUND(g, h, a, b, c, d, e, f, i + 2);
      VELT_SHA_ROUND(f, g, h, a, b, c, d, e, i + 3);
      VELT_SHA_ROUND(e, f, g, h, a, b, c, d, i + 4);
      VELT_SHA_ROUND(d, e, f, g, h, a, b, c, i + 5);
      VELT_SHA_ROUND(c, d, e, f, g, h, a, b, i + 6);
      VELT_SHA_ROUND(b, c, d, e, f, g, h, a, i + 7);
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
  }
}

#undef VELT_SHA_ROUND

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
