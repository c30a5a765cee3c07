#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "setup/archive/Crc.h"

TEST(Crc, KnownValues) {
  EXPECT_EQ(0x3E105F31u, Crc(0, "abc", 3));
  EXPECT_EQ(0u, Crc(0, "", 0));
  EXPECT_EQ(0u, Crc(0, "\0\0\0\0", 4));  // start 0, no inversion: zeros stay zero
}

TEST(Crc, FastPathEqualsTheRuleAtEveryLengthAndAlignment) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> data(300);
  for (auto& b : data) b = static_cast<std::uint8_t>(random());
  for (std::size_t offset = 0; offset < 9; ++offset) {
    for (std::size_t length = 0; offset + length <= 120; ++length) {
      const std::uint32_t start = static_cast<std::uint32_t>(random());
      ASSERT_EQ(CrcBytewise(start, data.data() + offset, length), Crc(start, data.data() + offset, length))
          << "offset " << offset << " length " << length;
    }
  }
}

// Every length up to a page, so that each count of whole blocks meets each
// tail, at every alignment of the block reads and from start values that
// set all, none and random bits of the running value.
TEST(Crc, FastPathEqualsTheRuleUpToAPage) {
  constexpr std::size_t kLongest = 4096, kAlignments = 16;
  std::mt19937 random(1996);
  std::vector<std::uint8_t> data(kLongest + kAlignments);
  for (auto& b : data) b = static_cast<std::uint8_t>(random());
  for (std::size_t length = 0; length <= kLongest; ++length) {
    const std::uint32_t starts[] = {0, 0xFFFFFFFFu, static_cast<std::uint32_t>(random())};
    for (std::size_t i = 0; i < std::size(starts); ++i) {
      const std::uint8_t* p = data.data() + (length + 5 * i) % kAlignments;
      ASSERT_EQ(CrcBytewise(starts[i], p, length), Crc(starts[i], p, length))
          << "length " << length << " start " << starts[i] << " alignment " << (p - data.data());
    }
  }
}

TEST(Crc, ContinuesAcrossPieces) {
  const std::string text = "The quick brown fox jumps over the lazy dog, twice over the lazy dog.";
  const std::uint32_t whole = Crc(0, text.data(), text.size());
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    EXPECT_EQ(whole, Crc(Crc(0, text.data(), cut), text.data() + cut, text.size() - cut)) << cut;
  }
}
