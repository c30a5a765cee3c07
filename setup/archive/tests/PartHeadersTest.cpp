// The walk over a part's entry headers, which the seal's header digest is
// checked with, reads the part through a window: whatever the members'
// sizes against the window, it digests the same headers as a reader that
// takes them one by one at their offsets.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "setup/archive/CountedFile.h"
#include "setup/archive/PartHeaders.h"
#include "setup/archive/Sha256.h"
#include "setup/archive/tests/ArchiveBytes.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

using archive_bytes::Bytes;
using archive_bytes::Member;

constexpr std::size_t kHeader = 346;
constexpr std::size_t kWindow = 64 * 1024;

// The walk as its definition reads: each header at its offset, the data
// after it passed over.
PartHeaderWalk Expected(const Bytes& part, std::uint64_t carriedIn) {
  PartHeaderWalk walk;
  CSha256 digest;
  std::uint64_t at = 8 + carriedIn;
  while (at + kHeader <= part.size()) {
    const std::uint8_t* header = part.data() + at;
    digest.Update(header, kHeader);
    ++walk.headers;
    if (header[0] != 'm' || header[1] != 'f' || header[2] != 'e' || header[3] != 'n') break;
    at += kHeader + archive_bytes::LoadU32(header + 280);
    if ((header[304] | header[305]) != 0) break;
  }
  if (at > part.size()) walk.carried = at - part.size();
  walk.digest = digest.FinishHex();
  return walk;
}

std::vector<Member> Stored(const std::vector<std::size_t>& sizes) {
  std::vector<Member> members;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    members.emplace_back("m" + std::to_string(i) + ".dat", std::string(sizes[i], static_cast<char>('a' + i % 26)), 2);
  }
  return members;
}

struct WalkRow {
  const char* what;
  std::function<Bytes()> part;
  std::uint64_t carriedIn = 0;
  int headers;  // how many the walk must find
};

const WalkRow kRows[] = {
    {"hundreds of small members, several windows of them",
     [] { return archive_bytes::Archive(Stored(std::vector<std::size_t>(400, 10))); }, 0, 400},
    {"a header across the window's end",
     [] { return archive_bytes::Archive(Stored({kWindow - 8 - kHeader - 100, 5, 7})); }, 0, 3},
    {"a header ending at the window's end",
     [] { return archive_bytes::Archive(Stored({kWindow - 8 - 2 * kHeader, 5})); }, 0, 2},
    {"a member larger than the window among small ones",
     [] { return archive_bytes::Archive(Stored({20, 3 * kWindow + 17, 20, 20})); }, 0, 4},
    {"data of an earlier part's member first",
     [] {
       Bytes part = archive_bytes::PartHeader();
       part.insert(part.end(), 70000, 'x');
       const Bytes rest = archive_bytes::Archive(Stored({30, 40}));
       part.insert(part.end(), rest.begin() + 8, rest.end());
       return part;
     },
     70000, 2},
    {"a member whose data goes on in the next part",
     [] {
       std::vector<Member> members = Stored({50, 90000});
       members[1].continued = 1;
       Bytes part = archive_bytes::Archive(members);
       part.resize(part.size() - 60000);
       return part;
     },
     0, 2},
    {"a part cut inside its last header",
     [] {
       Bytes part = archive_bytes::Archive(Stored({50, 50, 50}));
       part.resize(part.size() - 50 - 100);
       return part;
     },
     0, 2},
    {"a header that is none, after a window of good ones",
     [] {
       Bytes part = archive_bytes::Archive(Stored(std::vector<std::size_t>(300, 1)));
       part[8 + 250 * (kHeader + 1)] = 'X';
       return part;
     },
     0, 251},
    {"nothing after the part header", [] { return archive_bytes::PartHeader(); }, 0, 0},
};

class PartHeadersTest : public ::testing::TestWithParam<WalkRow> {};

}  // namespace

TEST_P(PartHeadersTest, DigestsTheHeadersAReaderOneByOneWould) {
  const WalkRow& row = GetParam();
  const Bytes part = row.part();
  TempDir dir;
  const std::string path = dir / "part.ar1";
  ASSERT_TRUE(WriteFileBytes(path, part));
  CCountedFile file;
  file.OpenRead(CPathName(path));
  const PartHeaderWalk walk = WalkPartHeaders(file, row.carriedIn);
  const PartHeaderWalk expected = Expected(part, row.carriedIn);
  EXPECT_EQ(row.headers, walk.headers);
  EXPECT_EQ(expected.headers, walk.headers);
  EXPECT_EQ(expected.digest, walk.digest);
  EXPECT_EQ(expected.carried, walk.carried);
}

INSTANTIATE_TEST_SUITE_P(Parts, PartHeadersTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<WalkRow>& row) {
                           std::string name;
                           for (const char* c = row.param.what; *c; ++c) {
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           }
                           return name;
                         });
