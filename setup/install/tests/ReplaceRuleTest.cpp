// The replacement rule on real files: DLLs built with version resources
// (1.2.0.0 and 1.10.0.0, whose texts sort the other way round) and one
// built without, and plain files that differ only in their times.
#include <gtest/gtest.h>

#include <string>

#include "setup/install/ReplaceRule.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TempDir.h"

namespace {

// A file built beside the test program.
CPathName Beside(const char* name) {
  CPathName path = CPathName::GetProgramPath();
  path.SetFileName(name);
  return path;
}

CPathName TextFile(const TempDir& dir, const char* name, std::uint32_t seconds) {
  const std::string path = dir / name;
  WriteFileBytes(path, name);
  SetModificationTime(path, seconds);
  return CPathName(path);
}

}  // namespace

TEST(ReplaceRule, VersionsAreComparedAsNumbersPartByPart) {
  CFileVersion version;
  ASSERT_TRUE(ReadFileVersion(Beside("verdll_1_10.dll"), version));
  EXPECT_EQ((CFileVersion{{1, 10, 0, 0}}), version);
  EXPECT_FALSE(ReadFileVersion(Beside("verdll_none.dll"), version));
  EXPECT_LT((CFileVersion{{1, 2, 0, 9}}), (CFileVersion{{1, 10, 0, 0}}));
  EXPECT_LT((CFileVersion{{1, 2, 3, 4}}), (CFileVersion{{1, 2, 3, 65535}}));
}

TEST(ReplaceRule, DecidesByVersionsThenByTimes) {
  TempDir dir;
  const CPathName early = TextFile(dir, "early.txt", 900000000);
  const CPathName late = TextFile(dir, "late.txt", 900000100);
  const CPathName alsoEarly = TextFile(dir, "also-early.txt", 900000000);
  const CPathName empty(dir / "empty.txt");
  WriteFileBytes(empty.GetPath(), "");
  SetModificationTime(empty.GetPath(), 900000100);
  const CPathName emptyEarly(dir / "empty-early.txt");
  WriteFileBytes(emptyEarly.GetPath(), "");
  SetModificationTime(emptyEarly.GetPath(), 900000000);
  const struct {
    CPathName newFile;
    CPathName existing;
    bool replace;
    const char* why;
  } rows[] = {
      {Beside("verdll_1_10.dll"), Beside("verdll_1_2.dll"), true, "higher version"},
      {Beside("verdll_1_2.dll"), Beside("verdll_1_10.dll"), false, "lower version"},
      {Beside("verdll_1_2.dll"), Beside("verdll_1_2.dll"), true, "equal versions replace"},
      {Beside("verdll_none.dll"), Beside("verdll_1_2.dll"), false, "only the existing file has a version"},
      {Beside("verdll_1_2.dll"), Beside("verdll_none.dll"), true, "only the new file has a version"},
      {late, early, true, "later time"},
      {early, late, false, "earlier time"},
      {alsoEarly, early, false, "equal times keep"},
      {late, CPathName(dir / "gone.txt"), true, "an unreadable time counts as 0"},
      // What a run ended as it made a file leaves.
      {early, empty, true, "an empty file is replaced by one with data"},
      {emptyEarly, empty, false, "an empty file is not replaced by an older empty one"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.replace, ShouldReplace(row.newFile, row.existing)) << row.why;
}
