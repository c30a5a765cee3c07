// The kit's INI reader against the system's profile functions: every row is
// an awkward file, and every answer of ours (a key read, a section read, a
// section's key list) must be the system's answer for the same bytes. Edits
// must leave a file that the system reads as it reads one it wrote itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "framework/ScopedHandle.h"
#include "setup/profile/IniText.h"
#include "setup/profile/IniTextFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

constexpr char kMissing[] = "\x01missing";

// The system's answers, with buffers far larger than any answer here.
std::string SystemValue(const std::string& file, const std::string& section, const std::string& key) {
  std::vector<char> buffer(1 << 20);
  const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, buffer.data(),
                                             static_cast<DWORD>(buffer.size()), file.c_str());
  return std::string(buffer.data(), n);
}

std::vector<std::string> SystemList(const std::string& file, const std::string& section, bool keysOnly) {
  std::vector<char> buffer(1 << 22);
  const DWORD n = keysOnly ? ::GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                                        static_cast<DWORD>(buffer.size()), file.c_str())
                           : ::GetPrivateProfileSectionA(section.c_str(), buffer.data(),
                                                         static_cast<DWORD>(buffer.size()), file.c_str());
  std::vector<std::string> items;
  for (DWORD i = 0; i < n;) {
    const std::string item(buffer.data() + i);
    items.push_back(item);
    i += static_cast<DWORD>(item.size()) + 1;
  }
  return items;
}

std::string OurValue(const CIniText& text, const std::string& section, const std::string& key) {
  const auto value = text.Find(section, key);
  return value ? std::string(*value) : std::string(kMissing);
}

std::vector<std::string> OurKeys(const CIniText& text, const std::string& section) {
  std::vector<std::string> keys;
  text.ForEachKey(section, [&](std::string_view key, std::string_view) { keys.emplace_back(key); });
  return keys;
}

std::string Upper(std::string text) {
  ::CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

class IniTextTest : public ::testing::Test {
protected:
  std::string File(const std::string& bytes) {
    const std::string path = dir / ("file" + std::to_string(++count_) + ".ini");
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return path;
  }

  // Every answer of ours for the named sections and keys (and for the same
  // names in capitals) is the system's.
  void ExpectSystemAnswers(const std::string& what, const std::string& bytes, const std::vector<std::string>& sections,
                           const std::vector<std::string>& keys) {
    SCOPED_TRACE(what);
    const std::string file = File(bytes);
    const CIniText text = ReadIniTextFile(CPathName(file));
    for (const std::string& given : sections) {
      for (const std::string& section : {given, Upper(given)}) {
        EXPECT_EQ(SystemList(file, section, false), text.SectionLines(section)) << "section read of " << section;
        EXPECT_EQ(SystemList(file, section, true), OurKeys(text, section)) << "key list of " << section;
        for (const std::string& given_key : keys) {
          for (const std::string& key : {given_key, Upper(given_key)}) {
            EXPECT_EQ(SystemValue(file, section, key), OurValue(text, section, key)) << section << " / " << key;
          }
        }
      }
    }
  }

  TempDir dir;
  int count_ = 0;
};

}  // namespace

TEST_F(IniTextTest, AnswersAsTheSystemDoesForAwkwardFiles) {
  const std::string longValue(300, 'v');
  const struct {
    const char* what;
    std::string bytes;
    std::vector<std::string> sections;
    std::vector<std::string> keys;
  } rows[] = {
      {"plain", "[destinations]\r\n0=Veltrane|-1|C:\\VELT\r\n1=Data|0|\r\n", {"destinations", "missing"},
       {"0", "1", "2"}},
      {"names in any letter case", "[Files]\r\nKey=1\r\nother=2\r\n", {"files"}, {"key", "OTHER"}},
      {"blanks around names and values", "  [s]\r\n  spaced  =  v w  \r\n\tTab\t=\tt\t\r\n", {"s"},
       {"spaced", "Tab", "v w"}},
      {"comment lines", "[s]\r\n;c=1\r\n; another\r\nkey=v\r\n  ;indented=2\r\n", {"s"}, {"key", "c"}},
      {"the first of two equal keys", "[s]\r\nk=first\r\nother=o\r\nK=second\r\nk=third\r\n", {"s"}, {"k", "other"}},
      {"a section written twice", "[a]\r\nx=1\r\n[b]\r\ny=2\r\n[A]\r\nx=3\r\nz=4\r\n", {"a", "b"}, {"x", "y", "z"}},
      {"lines without '='", "[s]\r\nnovalue\r\nkey=v\r\n  loose line  \r\n", {"s"}, {"novalue", "key"}},
      {"LF and CR line ends and no last end", "[s]\nlf=1\rcr=2\r\ncrlf=3\n\n\r\rlast=4", {"s"},
       {"lf", "cr", "crlf", "last"}},
      {"empty values", "[s]\r\nempty=\r\nblank=   \r\n", {"s"}, {"empty", "blank"}},
      {"quotes", "[s]\r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"open\r\nq4=\"\r\nq5=\"\"\r\nq6=\"a\" b \"c\"\r\n",
       {"s"}, {"q1", "q2", "q3", "q4", "q5", "q6"}},
      {"a long value", "[s]\r\nlong=" + longValue + "\r\nquoted=\"" + longValue + "\"\r\n", {"s"},
       {"long", "quoted"}},
      {"headers with text after them", "[s] after\r\nk=1\r\n[t]x]\r\nk=2\r\n", {"s", "t", "t]x"}, {"k"}},
      {"an empty section", "[empty]\r\n[s]\r\nk=1\r\n", {"empty", "s"}, {"k"}},
      {"a trailing Ctrl-Z", "[s]\r\nk=1\r\n\x1a", {"s"}, {"k"}},
      {"a section of 40,000 characters", [] {
         std::string text = "[big]\r\n";
         for (int i = 0; i < 2000; ++i) text += "file" + std::to_string(10000 + i) + ".dat=0|1|0\r\n";
         return text + "[after]\r\nk=1\r\n";
       }(),
       {"big", "after"}, {"file10000.dat", "file11999.dat", "k"}},
  };
  for (const auto& row : rows) ExpectSystemAnswers(row.what, row.bytes, row.sections, row.keys);
}

// The system writes a key into its first line in the first section of
// that name, or at the end of that section, or in a new section at the end
// of the file. A file we changed must read, to the system, as the file the
// system changed the same way.
TEST_F(IniTextTest, EditsLeaveWhatTheSystemsWritesLeave) {
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } writes[] = {
      {"Program", "veltapp.exe", "0|0|0"},    // an existing key in other letters
      {"Program", "new.txt", "0|1|0"},        // added at the end of its section
      {"program", "NEW.TXT", "1|1|1"},        // and written again
      {"Data", "new.txt", "1|1|0"},           // a new section at the end
      {"Events", "10:00:00:0002", "text"},    // a section before the end that ends in a blank line
      {"twice", "b", "2"},                    // the first of two sections of one name
  };
  const std::string earlier =
      "; made by hand\r\n[destinations]\r\n0=Veltrane|-1|C:\\Velt\\\r\n"
      "[Program]\r\nVELTAPP.EXE=0|1|0\r\nold.dll=0|1|0\r\nnovalue\r\n\r\n"
      "[Events]\r\n10:00:00:0001=Successful installation.\r\n\r\n"
      "[twice]\r\na=1\r\n[Twice]\r\nb=9\r\n";
  const std::string system = File(earlier), ours = File(earlier);
  CIniText text = ReadIniTextFile(CPathName(ours));
  for (const auto& w : writes) {
    ASSERT_TRUE(::WritePrivateProfileStringA(w.section, w.key, w.value, system.c_str()));
    text.Set(w.section, w.key, w.value);
  }
  ASSERT_TRUE(WriteIniTextFile(text, CPathName(ours)));
  for (const char* section : {"destinations", "Program", "Events", "Data", "twice"}) {
    EXPECT_EQ(SystemList(system, section, false), SystemList(ours, section, false)) << section;
  }
  EXPECT_NE(std::string::npos, ReadFileBytes(ours).find("; made by hand\r\n")) << "lines nothing changed stay";
}

TEST_F(IniTextTest, SectionsRemovedAndReplacedAsTheSystemDoes) {
  const std::string earlier = "[a]\r\nx=1\r\n[b]\r\ny=2\r\nz=3\r\n[c]\r\nw=4\r\n";
  const std::string system = File(earlier), ours = File(earlier);
  ASSERT_TRUE(::WritePrivateProfileStringA("a", nullptr, nullptr, system.c_str()));
  ASSERT_TRUE(::WritePrivateProfileSectionA("b", "n=5\0m=6\0", system.c_str()));
  ASSERT_TRUE(::WritePrivateProfileStringA("c", "w", nullptr, system.c_str()));
  CIniText text = ReadIniTextFile(CPathName(ours));
  text.RemoveSection("A");
  text.ReplaceSection("B", {{"n", "5"}, {"m", "6"}});
  EXPECT_TRUE(text.Remove("c", "W"));
  EXPECT_FALSE(text.Remove("c", "w"));
  ASSERT_TRUE(WriteIniTextFile(text, CPathName(ours)));
  for (const char* section : {"a", "b", "c"}) {
    EXPECT_EQ(SystemList(system, section, false), SystemList(ours, section, false)) << section;
    EXPECT_EQ(SystemList(system, section, true), SystemList(ours, section, true)) << section;
  }
  EXPECT_EQ((std::vector<std::string>{"b", "c"}), text.SectionNames());
}

// Beyond what the profile functions of Windows before 7 give (32,767
// characters of a section) and what those of Windows 95 handle (files of
// 64 KB): read whole and written linearly.
TEST_F(IniTextTest, HoldsSectionsOfAnySize) {
  CIniText text;
  for (int i = 0; i < 20000; ++i) text.Set("Data", "f" + std::to_string(i) + ".dat", std::to_string(i % 7) + "|1|0");
  text.Set("Data", "F0.DAT", "-3|0|0");
  const std::string file = dir / "large.log";
  ASSERT_TRUE(WriteIniTextFile(text, CPathName(file)));
  const CIniText read = ReadIniTextFile(CPathName(file));
  EXPECT_EQ(20000u, read.KeyCount("data"));
  EXPECT_EQ("-3|0|0", OurValue(read, "Data", "f0.dat"));
  EXPECT_EQ("5|1|0", OurValue(read, "DATA", "f12346.dat"));
  EXPECT_GT(ReadFileBytes(file).size(), 64u * 1024);
  std::size_t keys = 0;
  read.ForEachKey("Data", [&](std::string_view, std::string_view) { ++keys; });
  EXPECT_EQ(20000u, keys);
  EXPECT_EQ(SystemValue(file, "Data", "f12345.dat"), OurValue(read, "Data", "f12345.dat"));
}

TEST_F(IniTextTest, SavesReplaceTheFileWholeAndLeaveNothingElse) {
  const std::string file = dir / "veltapp.log";
  ASSERT_TRUE(WriteFileBytes(file, std::string("[s]\r\nold=1\r\n")));
  CIniText text = ReadIniTextFile(CPathName(file));
  text.Set("s", "new", "2");
  std::vector<CPathName> made;
  ASSERT_TRUE(WriteIniTextFile(text, CPathName(file), [&](const CPathName& name) { made.push_back(name); }));
  EXPECT_EQ("[s]\r\nold=1\r\nnew=2\r\n", ReadFileBytes(file));
  ASSERT_EQ(1u, made.size()) << "the new file is named before it is made";
  EXPECT_EQ(CPathName(file).GetDirectory(), made[0].GetDirectory());
  EXPECT_FALSE(made[0].Exists()) << "it became the file";
  EXPECT_EQ((std::vector<std::string>{"veltapp.log"}), ListFolder(dir.path()));

  // A file that cannot be replaced (held open by a program that shares it
  // with nobody) stays as it was, and no new file stays.
  text.Set("s", "more", "3");
  {
    const CHandle held(::CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());
    EXPECT_FALSE(WriteIniTextFile(text, CPathName(file)));
  }
  EXPECT_EQ("[s]\r\nold=1\r\nnew=2\r\n", ReadFileBytes(file));
  EXPECT_EQ((std::vector<std::string>{"veltapp.log"}), ListFolder(dir.path()));

  bool found = true;
  EXPECT_EQ(0u, ReadIniTextFile(CPathName(dir / "missing.ini"), &found).LineCount());
  EXPECT_FALSE(found);
}

// Wine's single-key reads find a comment line by its text and an empty
// name; no list of keys can carry an empty name (it ends the list), and no
// reader of a comment wants it found. Here neither is a key; a read of the
// whole section gives both lines as the system does.
TEST_F(IniTextTest, CommentsAndEmptyNamesAreNoKeys) {
  const CIniText text(std::string("[s]\r\n;c=1\r\n=nokey\r\nkey=v\r\n"));
  EXPECT_FALSE(text.Find("s", ";c").has_value());
  EXPECT_FALSE(text.Find("s", "").has_value());
  EXPECT_EQ(std::vector<std::string>{"key"}, OurKeys(text, "s"));
  const std::string file = File("[s]\r\n;c=1\r\n=nokey\r\nkey=v\r\n");
  EXPECT_EQ(SystemList(file, "s", false), text.SectionLines("s"));
}

TEST(IniTextNames, KeysAndSectionsALineCanHold) {
  for (const char* key : {"veltapp.exe", "a b", "10:00:00:0001", "x[y]"}) EXPECT_TRUE(CIniText::IsKeyName(key)) << key;
  for (const char* key : {"", "a=b", ";x", "[x", " x", "x ", "a\rb", "a\nb"}) {
    EXPECT_FALSE(CIniText::IsKeyName(key)) << key;
  }
  for (const char* section : {"Program", "Program~7", "a=b", "[x"}) EXPECT_TRUE(CIniText::IsSectionName(section));
  for (const char* section : {"", "a]b", " x", "x ", "a\nb"}) EXPECT_FALSE(CIniText::IsSectionName(section));
}
