#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "setup/archive/CountedFile.h"
#include "setup/archive/Crc.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

// Records the hooks; optionally moves on to further files (parts) when a
// read comes back short, or raises its limit when a write reaches it.
class ProbeFile : public CCountedFile {
public:
  explicit ProbeFile(int segment) : CCountedFile(segment) {}
  void OnSegmentBoundary() override { ticks.push_back(writing ? bytesWritten_ : bytesRead_); }
  bool OnEndOfData() override {
    ++ends;
    if (writing && !nextLimits.empty()) {
      limit_ = nextLimits.front();
      nextLimits.erase(nextLimits.begin());
      return false;
    }
    if (!writing && !nextParts.empty()) {
      Reopen(CPathName(nextParts.front()));
      nextParts.erase(nextParts.begin());
      return false;
    }
    return true;
  }
  bool writing = false;
  std::vector<std::int64_t> ticks;
  std::vector<std::string> nextParts;
  std::vector<std::int64_t> nextLimits;
  int ends = 0;
};

class CountedFileTest : public ::testing::Test {
protected:
  TempDir dir;
};

}  // namespace

TEST_F(CountedFileTest, ReadsInSegmentsAcrossPartsWithOneChecksum) {
  const std::string a(5000, 'a'), b(3000, 'b');
  WriteFileBytes(dir / "p1", a);
  WriteFileBytes(dir / "p2", b);
  ProbeFile file(4096);
  file.OpenRead(CPathName(dir / "p1"));
  file.nextParts = {dir / "p2"};

  std::string got(10000, '\0');
  EXPECT_EQ(8000u, file.Read(got.data(), 10000));
  got.resize(8000);
  EXPECT_EQ(a + b, got);
  EXPECT_EQ((std::vector<std::int64_t>{4096}), file.ticks);
  EXPECT_EQ(2, file.ends);  // the end of p1 (moved on), the end of p2 (stopped)
  EXPECT_EQ(8000, file.GetBytesRead());
  EXPECT_EQ(5000, file.GetBytesReadBefore());
  EXPECT_EQ(Crc(0, got.data(), got.size()), file.GetChecksum());
  EXPECT_EQ("p2", file.GetPathName().GetFileName());
}

TEST_F(CountedFileTest, ReadingStopsAtTheLimit) {
  const std::string data(100, 'x');
  WriteFileBytes(dir / "f", data);
  ProbeFile file(0);
  file.SetLimit(30);
  file.OpenRead(CPathName(dir / "f"));
  char buf[100];
  EXPECT_EQ(30u, file.Read(buf, 100));
  EXPECT_EQ(0u, file.Read(buf, 100));
  EXPECT_TRUE(file.ticks.empty());
  // Raw reads are not counted and not limited.
  EXPECT_EQ(70u, file.RawRead(buf, 100));
  EXPECT_EQ(30, file.GetBytesRead());
}

TEST_F(CountedFileTest, WritesAreCutAtTheLimitWhereASubclassCanMoveOn) {
  ProbeFile file(1000);
  file.writing = true;
  file.SetLimit(2500);
  file.nextLimits = {4000};
  file.OpenWrite(CPathName(dir / "out"));
  const std::string data(3500, 'w');
  file.Write(data.data(), 3500);
  EXPECT_EQ(1, file.ends);
  EXPECT_EQ((std::vector<std::int64_t>{1000, 2000, 3000}), file.ticks);
  EXPECT_EQ(Crc(0, data.data(), data.size()), file.GetChecksum());
  // Nothing more to move on to: the rest does not fit.
  try {
    file.Write(data.data(), 501);
    FAIL() << "nothing thrown";
  } catch (CFileException& e) {
    EXPECT_EQ(CFileException::diskFull, e.m_cause);
  }
  EXPECT_EQ(4000, file.GetBytesWritten());
}
