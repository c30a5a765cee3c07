// CPayloadGenerator: the benchmarks' data, the same bytes on every run and
// every machine (one fixed pseudo-random sequence). Three kinds of content
// of different compressibility: text lines, fixed-size binary records with
// slowly changing fields, and random bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

class CPayloadGenerator {
public:
  using Bytes = std::vector<std::uint8_t>;
  enum class Kind { text, records, random };

  explicit CPayloadGenerator(std::uint32_t seed) : random_(seed) {}

  // Two in four files text, one records, one random bytes, by the file's
  // index in its set.
  static Kind KindOf(int index) noexcept {
    const int k = index % 4;
    return k < 2 ? Kind::text : k == 2 ? Kind::records : Kind::random;
  }
  static const char* KindName(Kind kind) noexcept {
    return kind == Kind::text ? "text" : kind == Kind::records ? "records" : "random";
  }

  Bytes Make(Kind kind, std::size_t size);
  Bytes MakeText(std::size_t size);
  Bytes MakeRecords(std::size_t size);
  Bytes MakeNoise(std::size_t size);

  // count sizes of varied weight that add up to total.
  std::vector<std::size_t> SplitSizes(int count, std::size_t total);
  // A number in [low, high].
  std::size_t Between(std::size_t low, std::size_t high) { return low + random_() % (high - low + 1); }

private:
  std::mt19937 random_;
};
