#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "setup/log/InstallLog.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TempDir.h"

namespace {

class InstallLogTest : public ::testing::Test {
protected:
  std::string Text() const {
    std::string text;
    for (char c : ReadFileBytes(log.GetPath())) {
      if (c != '\r') text += c;
    }
    return text;
  }

  TempDir dir;
  CPathName log{dir / "veltapp.log"};
};

}  // namespace

TEST_F(InstallLogTest, RecordsEachFileUnderItsGroupWithDestinationAndFlags) {
  struct Row {
    const char* group;
    const char* path;
    std::int16_t destination;
    bool placed, replaced;
  } const rows[] = {
      {"Program", "C:\\Velt\\veltapp.exe", 0, true, false},
      {"Program", "C:\\Velt\\Data\\README", 1, true, true},          // no extension: no trailing dot
      {"Shared", "C:\\WINDOWS\\SYSTEM32\\veltsh32.dll", -3, false, false},
      {"Shared", "C:\\WINDOWS\\velt.ini", -2, true, false},          // written with its sign
      {"Program", "C:\\Velt\\Data\\in-use.dat", 1, false, true},     // replaced at the next restart
  };
  for (const Row& row : rows) {
    LogInstalledFile(log, row.group, CPathName(row.path), row.destination, row.placed, row.replaced);
  }
  EXPECT_EQ(
      "[Program]\nveltapp.exe=0|1|0\nREADME=1|1|1\nin-use.dat=1|0|1\n"
      "[Shared]\nveltsh32.dll=-3|0|0\nvelt.ini=-2|1|0\n",
      Text());
}

TEST_F(InstallLogTest, AReinstallationMergesIntoTheLog) {
  LogInstalledFile(log, "Program", CPathName("C:\\Velt\\veltapp.exe"), 0, true, false);
  LogInstalledFile(log, "Program", CPathName("C:\\Velt\\old.dll"), 0, true, false);
  // The second run keeps the existing veltapp.exe, and a second file of the
  // same name in another destination replaces the first record.
  LogInstalledFile(log, "Program", CPathName("C:\\Velt\\veltapp.exe"), 0, false, false);
  LogInstalledFile(log, "Program", CPathName("C:\\Velt\\Data\\old.dll"), 1, true, false);
  EXPECT_EQ("[Program]\nveltapp.exe=0|0|0\nold.dll=1|1|0\n", Text());
}

TEST_F(InstallLogTest, ReadsTheRecordsOfAGroupBackInFileOrder) {
  LogInstalledFile(log, "Program", CPathName("C:\\Velt\\veltapp.exe"), 0, true, false);
  LogInstalledFile(log, "Shared", CPathName("C:\\WINDOWS\\SYSTEM\\veltsh32.dll"), -3, false, true);
  LogInstalledFile(log, "Program", CPathName("C:\\Velt\\README"), 1, true, true);

  const auto program = ReadInstalledFiles(log, "Program");
  ASSERT_EQ(2u, program.size());
  EXPECT_EQ("veltapp.exe", program[0].first);
  EXPECT_EQ(0, program[0].second.destinationId);
  EXPECT_EQ(1, program[0].second.placed);
  EXPECT_EQ(0, program[0].second.replaced);
  EXPECT_EQ("README", program[1].first);
  EXPECT_EQ("1|1|1", program[1].second.Format());

  const auto shared = ReadInstalledFiles(log, "SHARED");
  ASSERT_EQ(1u, shared.size());
  EXPECT_EQ("-3|0|1", shared[0].second.Format());

  EXPECT_TRUE(ReadInstalledFiles(log, "Missing").empty());
  EXPECT_TRUE(ReadInstalledFiles(CPathName(dir / "none.log"), "Program").empty());
}

TEST_F(InstallLogTest, WithoutALogPathNothingIsWrittenAnywhere) {
  // An empty file name would otherwise fall back to the profile beside the program.
  char module[MAX_PATH];
  ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  CPathName besideProgram(module);
  besideProgram.SetExtension("ini");
  const bool existed = besideProgram.Exists();
  LogInstalledFile(CPathName(), "Program", CPathName("C:\\Velt\\veltapp.exe"), 0, true, false);
  EXPECT_EQ(existed, besideProgram.Exists());
  EXPECT_TRUE(ReadInstalledFiles(CPathName(), "Program").empty());
}

TEST(InstalledFileRecord, ParsesWhatItFormats) {
  struct Row {
    const char* value;
    const char* normalised;
  } const rows[] = {
      {"0|1|0", "0|1|0"}, {"-2|1|0", "-2|1|0"}, {"-3|0|1", "-3|0|1"}, {"4|7|-1", "4|1|1"}, {"5", "5|0|0"}, {"", "0|0|0"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.normalised, CInstalledFileRecord::Parse(row.value).Format()) << row.value;
}
