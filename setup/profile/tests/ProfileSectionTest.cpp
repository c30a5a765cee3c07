#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/profile/ProfileSection.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TempDir.h"

namespace {

class ProfileSectionTest : public ::testing::Test {
protected:
  CPathName Profile(const std::string& bytes) {
    const std::string path = dir / ("profile" + std::to_string(++count_) + ".ini");
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return CPathName(path);
  }

  static std::vector<std::string> Keys(const std::string& section, const CPathName& file) {
    std::vector<std::string> keys;
    CProfileSection enumerator(section);
    enumerator.SetFile(file);
    CProfileEntry entry;
    for (bool more = enumerator.First(entry); more; more = enumerator.Next(entry)) keys.push_back(entry.GetKey());
    return keys;
  }

  TempDir dir;
  int count_ = 0;
};

TEST_F(ProfileSectionTest, GivesTheKeysInFileOrderReadyToRead) {
  const CPathName file = Profile("[destinations]\r\n1=Data|0|\r\n0=Veltrane|-1|C:\\VELTRANE\r\n[groups]\r\nx=y\r\n");
  CProfileSection section("destinations");
  section.SetFile(file);
  CProfileEntry entry;

  ASSERT_TRUE(section.First(entry));
  EXPECT_EQ("destinations", entry.GetSection());
  EXPECT_EQ("1", entry.GetKey());
  EXPECT_EQ(file.GetPath(), entry.GetFile().GetPath());
  EXPECT_TRUE(entry.Read());
  EXPECT_EQ("Data|0|", entry.GetValue());

  ASSERT_TRUE(section.Next(entry));
  EXPECT_EQ("0", entry.GetKey());
  EXPECT_TRUE(entry.Read());
  EXPECT_EQ("Veltrane|-1|C:\\VELTRANE", entry.GetValue());

  EXPECT_FALSE(section.Next(entry));
  EXPECT_FALSE(section.Next(entry));  // and stays so
}

TEST_F(ProfileSectionTest, SectionsWithoutKeysGiveNothing) {
  const CPathName file = Profile("[destinations]\r\n[groups]\r\nx=y\r\n");
  EXPECT_TRUE(Keys("destinations", file).empty());
  EXPECT_TRUE(Keys("diskettes", file).empty());
  EXPECT_TRUE(Keys("groups", CPathName(dir / "missing.ini")).empty());
  EXPECT_EQ(std::vector<std::string>{"x"}, Keys("GROUPS", file));
}

// Key lists around the sizes where the buffer of 256 characters has to
// grow: 256, 512, 1024 ...
TEST_F(ProfileSectionTest, LongKeyListsComeBackWhole) {
  for (std::size_t listLength : {253u, 254u, 255u, 256u, 509u, 510u, 511u, 1021u, 1022u, 1023u, 1024u, 5000u}) {
    // Keys of 9 characters, the last one padded so that the names and
    // their terminators add up to listLength.
    std::vector<std::string> expected;
    std::size_t left = listLength;
    while (left > 0) {
      std::string key = "key" + std::to_string(100000 + expected.size());
      if (left < 2 * (key.size() + 1)) key = "last" + std::string(left - 5, 'x');
      left -= key.size() + 1;
      expected.push_back(key);
    }
    std::string text = "[files]\r\n";
    for (const std::string& key : expected) text += key + "=1\r\n";
    EXPECT_EQ(expected, Keys("files", Profile(text))) << listLength;
  }
}

}  // namespace
