#include <gtest/gtest.h>

#include <string>

#include "setup/profile/ProfileEntry.h"
#include "setup/profile/ProfilePath.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TempDir.h"

namespace {

class ProfileEntryTest : public ::testing::Test {
protected:
  // Each test its own file: the system may keep a profile it has read in memory.
  CPathName Profile(const std::string& bytes) {
    const std::string path = dir / ("profile" + std::to_string(++count_) + ".ini");
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return CPathName(path);
  }

  TempDir dir;
  int count_ = 0;
};

TEST_F(ProfileEntryTest, ReadsAtConstructionWithTheDefaultForAMissingKey) {
  const CPathName file = Profile("[PMGroup]\r\nPMGroup=Veltrane Tools\r\n");

  CProfileEntry found("Veltrane", "PMGroup", "PMGroup", file, false, true);
  EXPECT_EQ("Veltrane Tools", found.GetValue());
  EXPECT_EQ("Veltrane Tools", found.GetValueAsRead());
  EXPECT_FALSE(found.IsChanged());

  CProfileEntry missing("Veltrane", "PMGroup", "Other", file, false, true);
  EXPECT_EQ("Veltrane", missing.GetValue());
  EXPECT_FALSE(missing.IsChanged());

  CProfileEntry empty("", "PMGroup", "Other", file, false, false);
  EXPECT_FALSE(empty.Read());
  EXPECT_TRUE(found.Read());

  CProfileEntry notRead("Veltrane", "PMGroup", "PMGroup", file, false, false);
  EXPECT_EQ("Veltrane", notRead.GetValue());
  EXPECT_TRUE(notRead.IsChanged());  // nothing was read yet
}

TEST_F(ProfileEntryTest, ValuesAreCutTo254Characters) {
  for (std::size_t length : {253u, 254u, 255u, 300u}) {
    const std::string value(length, 'v');
    const CPathName file = Profile("[s]\r\nk=" + value + "\r\n");
    CProfileEntry entry("", "s", "k", file, false, true);
    EXPECT_EQ(value.substr(0, 254), entry.GetValue()) << length;
  }
}

TEST_F(ProfileEntryTest, WritesBackOnDestructionOnlyWhenAskedAndChanged) {
  // Blanks around '=' show whether the system rewrote the line.
  const std::string before = "[targets]\r\nveltapp.exe = 0|0|0|Veltrane||\r\n";
  const CPathName unchanged = Profile(before);
  { CProfileEntry entry("", "targets", "veltapp.exe", unchanged, true, true); }
  EXPECT_EQ(before, ReadFileBytes(unchanged.GetPath()));

  const CPathName notAsked = Profile(before);
  {
    CProfileEntry entry("", "targets", "veltapp.exe", notAsked, false, true);
    entry.SetValue("changed");
  }
  EXPECT_EQ(before, ReadFileBytes(notAsked.GetPath()));

  const CPathName changed = Profile(before);
  {
    CProfileEntry entry("", "targets", "veltapp.exe", changed, true, true);
    entry.SetValue("1|0|0|Veltrane||");
  }
  CProfileEntry reread("", "targets", "veltapp.exe", changed, false, true);
  EXPECT_EQ("1|0|0|Veltrane||", reread.GetValue());

  // Never read, with a value of its own: written (how events are logged).
  const CPathName log = Profile("");
  { CProfileEntry event("Could not write SMS status.", "Events", "14:03:27:0042", log, true, false); }
  CProfileEntry logged("", "Events", "14:03:27:0042", log, false, true);
  EXPECT_EQ("Could not write SMS status.", logged.GetValue());
}

TEST_F(ProfileEntryTest, WriteStoresTheValueAsRead) {
  const CPathName file = Profile("");
  CProfileEntry entry("a", "s", "k", file, true, false);
  ASSERT_TRUE(entry.Write());
  EXPECT_FALSE(entry.IsChanged());
}

TEST(ProfilePath, IsTheProgramsOwnPathWithTheExtensionIni) {
  char buffer[MAX_PATH];
  std::string program(buffer, ::GetModuleFileNameA(nullptr, buffer, MAX_PATH));
  const CPathName profile = DefaultProfilePath();
  EXPECT_EQ(program.substr(0, program.rfind('.')) + ".ini", profile.GetPath());
}

// An entry or a section without a file uses the profile beside the program.
class DefaultProfile : public ::testing::Test {
protected:
  void TearDown() override { ::DeleteFileA(DefaultProfilePath().c_str()); }
};

TEST_F(DefaultProfile, IsUsedWhenNoFileIsGiven) {
  ASSERT_FALSE(DefaultProfilePath().Exists());
  { CProfileEntry entry("written", "s", "k", CPathName(), true, false); }
  CProfileEntry reread("", "s", "k", CPathName(), false, true);
  EXPECT_EQ("written", reread.GetValue());
  EXPECT_NE(std::string::npos, ReadFileBytes(DefaultProfilePath().GetPath()).find("k=written"));
}

}  // namespace
