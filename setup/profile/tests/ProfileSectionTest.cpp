#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/profile/IniTextFile.h"
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

// Reading a whole section at once gives what enumerating its keys and
// reading each one gives, also for lines that are not plain "key=value".
TEST_F(ProfileSectionTest, ReadingTheWholeSectionGivesWhatReadingEachKeyGives) {
  const std::string longValue(300, 'v');
  const struct {
    const char* name;
    std::string lines;
  } cases[] = {
      {"plain keys in file order", "b=2\r\na=1\r\nc=3|x|\r\n"},
      {"a key twice, in two letter cases", "k=first\r\nother=o\r\nK=second\r\nk=third\r\n"},
      {"quotes", "q1=\"quoted\"\r\nq2='single'\r\nq3=\"open\r\nq4=\"\r\nq5=\"\"\r\nq6=\"a\" b \"c\"\r\n"},
      {"lines without '=' and comments", "novalue\r\n;comment=1\r\nkey=v\r\n; another\r\n"},
      {"blanks around keys and values", "  spaced  =  v w  \r\n\tTab\t=\tt\t\r\nempty=\r\n=nokey\r\n"},
      {"a value longer than a read takes", "long=" + longValue + "\r\nquotedlong=\"" + longValue + "\"\r\n"},
      {"an empty section", ""},
  };
  for (const auto& c : cases) {
    const CPathName file = Profile("[before]\r\nk=0\r\n[files]\r\n" + c.lines + "[after]\r\nk=9\r\n");
    std::vector<std::pair<std::string, std::string>> oneByOne;
    CProfileSection section("files");
    section.SetFile(file);
    CProfileEntry entry;
    for (bool more = section.First(entry); more; more = section.Next(entry)) {
      entry.SetValue({});
      entry.Read();
      oneByOne.emplace_back(entry.GetKey(), entry.GetValue());
    }
    EXPECT_EQ(oneByOne, ReadProfileValues("files", file)) << c.name;
  }
  EXPECT_TRUE(ReadProfileValues("files", CPathName(dir / "missing.ini")).empty());
}

// A section far longer than the first buffer comes back whole, as it
// stands, lines without '=' included.
TEST_F(ProfileSectionTest, ReadsLongSectionsWholeAsTheyStand) {
  std::string text = "[records]\r\n";
  for (int i = 0; i < 5000; ++i) text += "file" + std::to_string(i) + ".dat=\"" + std::to_string(i) + "|1|0\"\r\n";
  text += "loose line\r\n";
  const std::vector<std::string> lines = ReadIniTextFile(Profile(text)).SectionLines("records");
  ASSERT_EQ(5001u, lines.size());
  EXPECT_EQ("file4999.dat=\"4999|1|0\"", lines[4999]) << "quotes stay";
  EXPECT_EQ("loose line", lines[5000]);
  EXPECT_EQ(5000u, ReadProfileValues("records", Profile(text)).size());
}

}  // namespace
