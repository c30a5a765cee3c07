// The verbose log: what it writes and where it refuses to write.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "setup/log/VerboseLog.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

TEST(VerboseLogTest, AppendsOneTimeStampedLinePerEventAcrossRuns) {
  TempDir dir;
  const std::string path = dir / "setup log.txt";
  {
    CVerboseLog log;
    ASSERT_TRUE(log.Open(path));
    EXPECT_EQ(path, log.GetPath());
    log.Write("Page %d entered", 102);
    log.Write("An error\r\nwith two lines");
  }
  {
    CVerboseLog log;
    ASSERT_TRUE(log.Open(path));
    log.Write("%s", std::string(CVerboseLog::kMaxLine + 100, 'x').c_str());
  }
  const std::string text = ReadFileBytes(path);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    ASSERT_NE(std::string::npos, end) << "every line ends with CR LF";
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_EQ(3u, lines.size()) << text;
  // "2026-12-08 15:41:49.123  " before each event.
  for (const std::string& line : lines) {
    ASSERT_GT(line.size(), 25u);
    EXPECT_EQ('-', line[4]);
    EXPECT_EQ(':', line[13]);
    EXPECT_EQ('.', line[19]);
    EXPECT_EQ("  ", line.substr(23, 2));
  }
  EXPECT_EQ("Page 102 entered", lines[0].substr(25));
  EXPECT_EQ("An error  with two lines", lines[1].substr(25)) << "line breaks of a text stay in its line";
  EXPECT_EQ(std::string(CVerboseLog::kMaxLine - 1, 'x'), lines[2].substr(25)) << "a long event is cut";
}

TEST(VerboseLogTest, ClosedLogsWriteNothingAndLinksAreNotFollowed) {
  TempDir dir;
  CVerboseLog closed;
  closed.Write("nothing");
  EXPECT_FALSE(closed.IsOpen());
  EXPECT_FALSE(NoVerboseLog().IsOpen());

  CVerboseLog log;
  EXPECT_FALSE(log.Open(dir / "missing\\setup.log"));
  EXPECT_FALSE(log.Open(dir.path())) << "a folder";
  EXPECT_FALSE(log.Open(""));

  // A second name of a file that others may read: an elevated setup
  // program must not write into it.
  const std::string target = dir / "protected.txt";
  ASSERT_TRUE(WriteFileBytes(target, "keep"));
  if (!::CreateHardLinkA((dir / "link.log").c_str(), target.c_str(), nullptr)) {
    GTEST_SKIP() << "no hard links on this file system";
  }
  EXPECT_FALSE(log.Open(dir / "link.log"));
  EXPECT_FALSE(log.IsOpen());
  EXPECT_EQ("keep", ReadFileBytes(target));
}

TEST(VerboseLogTest, ARunsOwnLogIsMadeNewWithACounterOnAClash) {
  TempDir dir;
  const std::string folder = dir.path() + "\\";
  // Three runs in one second: the second and third name theirs on.
  std::vector<std::string> made;
  for (int run = 0; run < 3; ++run) {
    CVerboseLog log;
    ASSERT_TRUE(log.OpenNew(folder, "Veltrane")) << run;
    log.Write("run %d", run);
    made.push_back(log.GetPath());
  }
  ASSERT_EQ(3u, ListFolder(dir.path()).size()) << "three files, none appended to";
  for (std::size_t i = 0; i < made.size(); ++i) {
    EXPECT_EQ(std::string::npos, ReadFileBytes(made[i]).find(i == 0 ? "run 1" : "run 0")) << made[i];
  }
  const SYSTEMTIME time{2026, 12, 2, 8, 16, 40, 36, 566};
  const struct {
    int counter;
    const char* name;
  } rows[] = {{1, "Veltrane-20261208-164036.log"}, {2, "Veltrane-20261208-164036-2.log"},
              {17, "Veltrane-20261208-164036-17.log"}};
  for (const auto& row : rows) EXPECT_EQ(row.name, CVerboseLog::RunLogName("Veltrane", time, row.counter));
  const std::string name = made[0].substr(folder.size());
  EXPECT_EQ(std::string("Veltrane-"), name.substr(0, 9));
  EXPECT_EQ(28u, name.size()) << name;

  // No folder, no log; the error says why.
  ::SetLastError(0xdeadbeef);
  CVerboseLog missing;
  EXPECT_FALSE(missing.OpenNew(dir / "missing\\", "Veltrane"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), ::GetLastError());
  EXPECT_EQ("the folder does not exist (error 3)", CVerboseLog::DescribeError(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_FALSE(CVerboseLog::TemporaryFolder().empty());
  EXPECT_EQ('\\', CVerboseLog::TemporaryFolder().back());
}

}  // namespace
