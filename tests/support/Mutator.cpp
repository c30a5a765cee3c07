#include "tests/support/Mutator.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <stdexcept>

namespace fuzz {

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }
std::string ToText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// SplitMix64: small, fast, and the same on every compiler (the standard
// library's distributions are not).
class CMutator::Random {
public:
  explicit Random(std::uint64_t state) : state_(state) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1; 0 when n is 0.
  std::size_t Below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(Next() % n); }
  // Mostly short lengths, sometimes long ones.
  std::size_t Length(std::size_t most) {
    const std::size_t cap = Below(4) == 0 ? most : std::min<std::size_t>(most, 16);
    return 1 + Below(std::max<std::size_t>(cap, 1));
  }

private:
  std::uint64_t state_;
};

CMutator::CMutator(Corpus corpus, std::uint64_t seed, std::size_t maxSize)
    : corpus_(std::move(corpus)), seed_(seed), maxSize_(maxSize) {
  if (corpus_.inputs.empty()) throw std::invalid_argument("a corpus needs at least one input");
}

namespace {

std::string Hex(std::uint64_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(v));
  return text;
}

void Store(Bytes& bytes, std::size_t at, std::uint32_t value, std::size_t width) {
  for (std::size_t i = 0; i < width && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A place in bytes for a field of width: aligned to it half of the time
// (where the binary formats keep their fields).
std::size_t FieldPlace(std::size_t size, std::size_t width, std::size_t pick, bool aligned) {
  if (size < width) return 0;
  std::size_t at = pick % (size - width + 1);
  if (aligned) at -= at % width;
  return at;
}

// The start of a line at or before at (a text format's tokens go there).
std::size_t LineStart(const Bytes& bytes, std::size_t at) {
  while (at > 0 && bytes[at - 1] != '\n') --at;
  return at;
}

}  // namespace

void CMutator::MutateOnce(Random& random, Bytes& bytes, std::string& recipe) const {
  static constexpr std::uint8_t kEdgeBytes[] = {0x00, 0xFF, 0x7F, 0x80};
  static constexpr std::uint32_t kEdgeWords[] = {0, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 1, 0x40000000u};
  const std::size_t size = bytes.size();
  const auto note = [&](const std::string& what) { recipe += (recipe.empty() ? "" : " ") + what; };
  switch (random.Below(13)) {
    case 0: {
      if (size == 0) break;
      const std::size_t at = random.Below(size);
      const int bit = static_cast<int>(random.Below(8));
      bytes[at] ^= static_cast<std::uint8_t>(1u << bit);
      note("flip@" + std::to_string(at) + "." + std::to_string(bit));
      break;
    }
    case 1: {
      if (size == 0) break;
      const std::size_t at = random.Below(size);
      bytes[at] = kEdgeBytes[random.Below(std::size(kEdgeBytes))];
      note("byte@" + std::to_string(at) + "=" + Hex(bytes[at]));
      break;
    }
    case 2: {
      if (size == 0) break;
      const std::size_t at = random.Below(size);
      bytes[at] = static_cast<std::uint8_t>(random.Next());
      note("byte@" + std::to_string(at) + "=" + Hex(bytes[at]));
      break;
    }
    case 3:
    case 4: {
      const std::size_t width = random.Below(2) == 0 ? 2 : 4;
      if (size < width) break;
      const std::size_t at = FieldPlace(size, width, random.Below(size), random.Below(2) == 0);
      std::uint32_t value = random.Below(3) == 0 ? static_cast<std::uint32_t>(random.Below(1024))
                                                 : kEdgeWords[random.Below(std::size(kEdgeWords))];
      if (width == 2 && value > 0xFFFF) value = value == 0x80000000u ? 0x8000 : (value == 0x7FFFFFFFu ? 0x7FFF : 0xFFFF);
      Store(bytes, at, value, width);
      note(std::string(width == 2 ? "word@" : "dword@") + std::to_string(at) + "=" + Hex(value));
      break;
    }
    case 5: {
      const std::size_t to = random.Below(size + 1);
      bytes.resize(to);
      note("cut@" + std::to_string(to));
      break;
    }
    case 6: {
      const std::size_t add = random.Length(4096);
      const bool same = random.Below(2) == 0;
      const std::uint8_t fill = size != 0 && same ? bytes[random.Below(size)] : 0;
      for (std::size_t i = 0; i < add; ++i) bytes.push_back(same ? fill : static_cast<std::uint8_t>(random.Next()));
      note("extend+" + std::to_string(add));
      break;
    }
    case 7: {
      if (size == 0) break;
      const std::size_t at = random.Below(size);
      const std::size_t n = std::min(random.Length(size), size - at);
      bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
      note("delete@" + std::to_string(at) + "+" + std::to_string(n));
      break;
    }
    case 8: {
      if (size == 0) break;
      const std::size_t at = random.Below(size);
      const std::size_t n = std::min(random.Length(size), size - at);
      const std::size_t times = 1 + random.Below(random.Below(4) == 0 ? 64 : 3);
      const Bytes block(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
      for (std::size_t t = 0; t < times; ++t) bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), block.begin(), block.end());
      note("repeat@" + std::to_string(at) + "+" + std::to_string(n) + "x" + std::to_string(times));
      break;
    }
    case 9: {
      if (size < 2) break;
      const std::size_t n = std::min(random.Length(size / 2), size / 2);
      const std::size_t a = random.Below(size - 2 * n + 1);
      const std::size_t b = a + n + random.Below(size - a - 2 * n + 1);
      std::swap_ranges(bytes.begin() + static_cast<std::ptrdiff_t>(a), bytes.begin() + static_cast<std::ptrdiff_t>(a + n),
                       bytes.begin() + static_cast<std::ptrdiff_t>(b));
      note("swap@" + std::to_string(a) + "," + std::to_string(b) + "+" + std::to_string(n));
      break;
    }
    case 10: {
      const std::size_t which = random.Below(corpus_.inputs.size());
      const Bytes& other = corpus_.inputs[which];
      const std::size_t keep = random.Below(size + 1);
      const std::size_t from = random.Below(other.size() + 1);
      bytes.resize(keep);
      bytes.insert(bytes.end(), other.begin() + static_cast<std::ptrdiff_t>(from), other.end());
      note("splice@" + std::to_string(keep) + "+input" + std::to_string(which) + "@" + std::to_string(from));
      break;
    }
    default: {  // 11, 12: a token inserted or written over
      if (corpus_.tokens.empty()) break;
      const std::size_t which = random.Below(corpus_.tokens.size());
      const std::string& token = corpus_.tokens[which];
      std::size_t at = random.Below(size + 1);
      if (corpus_.text && random.Below(2) == 0) at = LineStart(bytes, at);
      const bool over = random.Below(2) == 0;
      if (over) {
        if (bytes.size() < at + token.size()) bytes.resize(at + token.size());
        std::copy(token.begin(), token.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
      } else {
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), token.begin(), token.end());
      }
      note(std::string(over ? "token@" : "insert@") + std::to_string(at) + "#" + std::to_string(which));
      break;
    }
  }
  if (bytes.size() > maxSize_) bytes.resize(maxSize_);
}

Bytes CMutator::Make(std::uint64_t n, std::string* recipe) const {
  Random random(seed_ * 0x100000001B3ull ^ (n + 1) * 0xD6E8FEB86659FD93ull);
  const std::size_t which = random.Below(corpus_.inputs.size());
  Bytes bytes = corpus_.inputs[which];
  std::string done = "input" + std::to_string(which) + ":";
  std::string steps;
  // One change most of the time: many inputs pass the first checks only
  // when the rest of them is still intact.
  const std::size_t count = random.Below(3) != 0 ? 1 : 2 + random.Below(3);
  for (std::size_t i = 0; i < count; ++i) MutateOnce(random, bytes, steps);
  if (recipe) *recipe = done + " " + steps;
  return bytes;
}

}  // namespace fuzz
