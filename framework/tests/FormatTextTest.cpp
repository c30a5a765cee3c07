#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "framework/FormatText.h"

namespace {

// Formats into a buffer of size bytes (at most 64) that starts filled with
// '#'; the text and the result.
template <class... Args>
std::pair<std::string, int> Format(std::size_t size, const char* format, Args... args) {
  char buffer[65];
  std::memset(buffer, '#', sizeof buffer);
  const int n = FormatText(buffer, size, format, args...);
  EXPECT_EQ('#', buffer[size]) << format << ": wrote past the buffer";
  return {size ? std::string(buffer) : std::string(), n};
}

}  // namespace

TEST(FormatText, ConversionsTheProgramsUse) {
  struct Row {
    std::pair<std::string, int> got;
    const char* expected;
  };
  const Row rows[] = {
      {Format(64, "plain"), "plain"},
      {Format(64, "%s|%5s|%-5s|%.2s|%.*s", "ab", "ab", "ab", "abc", 1, "xyz"), "ab|   ab|ab   |ab|x"},
      {Format(64, "%s", static_cast<const char*>(nullptr)), "(null)"},
      {Format(64, "%d %i %d %d", 0, 42, -7, INT_MIN), "0 42 -7 -2147483648"},
      {Format(64, "%u %u", 0u, UINT_MAX), "0 4294967295"},
      {Format(64, "%ld %lu %lld %llu", -5L, 5UL, LLONG_MIN, ULLONG_MAX),
       "-5 5 -9223372036854775808 18446744073709551615"},
      {Format(64, "%zu %s", static_cast<std::size_t>(SIZE_MAX), "next"),
       sizeof(std::size_t) == 4 ? "4294967295 next" : "18446744073709551615 next"},
      {Format(64, "%02d %02u %03u %04u %04ld %02d", 7, 12u, 5u, 2026u, 3L, -3), "07 12 005 2026 0003 -3"},
      {Format(64, "%08lx %x %X %5x|%-4d|", 0xBEEFUL, 255u, 255u, 10u, 9), "0000beef ff FF     a|9   |"},
      {Format(64, "%*d|%-*d|%.3d", 4, 1, 3, 2, 7), "   1|2  |007"},
      {Format(64, "%c%c %d%% done", 'o', 'k', 50), "ok 50% done"},
      {Format(64, "%p", reinterpret_cast<void*>(0x1A2B)),
       sizeof(void*) == 4 ? "00001A2B" : "0000000000001A2B"},
      {Format(64, "%q and %"), "%q and %"},  // not conversions: kept as they stand
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.expected, r.got.first);
    EXPECT_EQ(static_cast<int>(std::strlen(r.expected)), r.got.second) << r.expected;
  }
}

TEST(FormatText, CutsToTheBufferAndCountsTheWholeText) {
  // "name 123": 8 characters, 9 bytes with the NUL.
  EXPECT_EQ(std::make_pair(std::string("name 123"), 8), Format(9, "%s %d", "name", 123));  // exact fit
  EXPECT_EQ(std::make_pair(std::string("name 12"), 8), Format(8, "%s %d", "name", 123));   // one too small
  EXPECT_EQ(std::make_pair(std::string(""), 8), Format(1, "%s %d", "name", 123));
  EXPECT_EQ(std::make_pair(std::string(""), 8), Format(0, "%s %d", "name", 123));  // nothing written
}
