#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "setup/archive/Sha256.h"

TEST(Sha256, KnownDigestsAcrossBlockBoundaries) {
  const struct {
    std::string text;
    const char* digest;
  } rows[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: the length needs a block of its own
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& row : rows) {
    CSha256 whole, pieces;
    whole.Update(row.text.data(), row.text.size());
    EXPECT_EQ(row.digest, whole.FinishHex()) << row.text.size() << " bytes";
    for (std::size_t at = 0; at < row.text.size(); at += 63) {
      pieces.Update(row.text.data() + at, std::min<std::size_t>(63, row.text.size() - at));
    }
    EXPECT_EQ(row.digest, pieces.FinishHex()) << row.text.size() << " bytes in pieces of 63";
  }
}
