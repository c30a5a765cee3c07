#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

#include "setup/profile/IniFileEditor.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TempDir.h"

namespace {

const std::string kLongLine = "; " + std::string(509, '-') + "[boot]\r\n";  // a '[' right after 511 characters

class IniFileEditorTest : public ::testing::Test {
protected:
  std::string Ini() const { return dir / "wininit.ini"; }

  std::set<std::string> FilesInDir() const {
    const std::vector<std::string> names = ListFolder(dir.path());
    return {names.begin(), names.end()};
  }

  FILETIME LastWrite() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(Ini().c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
  }

  TempDir dir;
};

TEST_F(IniFileEditorTest, AddsTheEntryAtTheEndOfItsSectionOrInANewOne) {
  struct Row {
    const char* what;
    std::optional<std::string> before;  // no file when absent
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  } const rows[] = {
      {"new file", std::nullopt, "rename", "NUL", "C:\\WINDOWS\\old.dll",
       "[rename]\r\nNUL=C:\\WINDOWS\\old.dll\r\n"},
      {"empty file", "", "rename", "NUL", "C:\\a.dll", "[rename]\r\nNUL=C:\\a.dll\r\n"},
      {"section in the middle: before the next header",
       "[boot]\r\nshell=Explorer.exe\r\n[rename]\r\nNUL=C:\\a.dll\r\n\r\n[386Enh]\r\nkey=v\r\n", "rename",
       "C:\\WINDOWS\\SYSTEM\\b.dll", "C:\\WINDOWS\\SYSTEM\\b.tmp",
       "[boot]\r\nshell=Explorer.exe\r\n[rename]\r\nNUL=C:\\a.dll\r\n\r\nC:\\WINDOWS\\SYSTEM\\b.dll=C:\\WINDOWS\\SYSTEM\\b."
       "tmp\r\n[386Enh]\r\nkey=v\r\n"},
      {"last section: appended, same key kept", "[boot]\r\n[rename]\r\nNUL=C:\\a.dll\r\n", "rename", "NUL",
       "C:\\b.dll", "[boot]\r\n[rename]\r\nNUL=C:\\a.dll\r\nNUL=C:\\b.dll\r\n"},
      {"last line without its line end", "[rename]\r\nNUL=C:\\a.dll", "rename", "NUL", "C:\\b.dll",
       "[rename]\r\nNUL=C:\\a.dll\r\nNUL=C:\\b.dll\r\n"},
      {"no such section: a new one at the end", "[boot]\r\nshell=Explorer.exe\r\n", "rename", "NUL", "C:\\a.dll",
       "[boot]\r\nshell=Explorer.exe\r\n[rename]\r\nNUL=C:\\a.dll\r\n"},
      {"section matched whatever its letter case", "[Rename]\r\nNUL=C:\\a.dll\r\n[boot]\r\n", "rename", "NUL",
       "C:\\b.dll", "[Rename]\r\nNUL=C:\\a.dll\r\nNUL=C:\\b.dll\r\n[boot]\r\n"},
      {"headers with blanks around", "  [rename]  \r\n  [boot]\r\n", "RENAME", "NUL", "C:\\a.dll",
       "  [rename]  \r\nNUL=C:\\a.dll\r\n  [boot]\r\n"},
      {"same entry in another section does not count", "[boot]\r\nNUL=C:\\a.dll\r\n", "rename", "NUL", "C:\\a.dll",
       "[boot]\r\nNUL=C:\\a.dll\r\n[rename]\r\nNUL=C:\\a.dll\r\n"},
      {"LF line ends stay LF", "[rename]\nNUL=C:\\a.dll\n[boot]\n", "rename", "NUL", "C:\\b.dll",
       "[rename]\nNUL=C:\\a.dll\nNUL=C:\\b.dll\n[boot]\n"},
      {"mixed line ends kept as they are", "[boot]\nx=1\r\n[rename]\r\nNUL=C:\\a.dll\n", "rename", "NUL", "C:\\b.dll",
       "[boot]\nx=1\r\n[rename]\r\nNUL=C:\\a.dll\nNUL=C:\\b.dll\n"},
      {"a line longer than 511 characters is one line", "[rename]\r\n" + kLongLine, "rename", "NUL", "C:\\a.dll",
       "[rename]\r\n" + kLongLine + "NUL=C:\\a.dll\r\n"},
      {"a final Ctrl-Z stays last", "[rename]\r\nNUL=C:\\a.dll\r\n\x1A", "rename", "NUL", "C:\\b.dll",
       "[rename]\r\nNUL=C:\\a.dll\r\nNUL=C:\\b.dll\r\n\x1A"},
      {"a final Ctrl-Z after another section", "[boot]\r\n\x1A", "rename", "NUL", "C:\\a.dll",
       "[boot]\r\n[rename]\r\nNUL=C:\\a.dll\r\n\x1A"},
  };
  for (const Row& row : rows) {
    ::DeleteFileA(Ini().c_str());
    if (row.before) {
      ASSERT_TRUE(WriteFileBytes(Ini(), *row.before)) << row.what;
    }
    CIniFileEditor editor{CPathName(Ini())};
    EXPECT_TRUE(editor.AddEntry(row.section, row.key, row.value)) << row.what;
    EXPECT_EQ(row.after, ReadFileBytes(Ini())) << row.what;
    EXPECT_EQ(std::set<std::string>{"wininit.ini"}, FilesInDir()) << row.what;
  }
}

TEST_F(IniFileEditorTest, AnIdenticalEntryLeavesTheFileUntouched) {
  struct Row {
    const char* what;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
  } const rows[] = {
      {"same text", "[rename]\r\nNUL=C:\\a.dll\r\n", "rename", "NUL", "C:\\a.dll"},
      {"other letter case", "[Rename]\r\nnul=c:\\WINDOWS\\A.DLL\r\n[boot]\r\n", "RENAME", "NUL",
       "C:\\windows\\a.dll"},
      {"blanks around key and value", "[rename]\n  NUL  =  C:\\a.dll  \n", "rename", "NUL", "C:\\a.dll"},
      {"among other entries", "[rename]\r\nNUL=C:\\x.dll\r\nC:\\b.dll=C:\\b.tmp\r\nNUL=C:\\y.dll\r\n", "rename",
       "C:\\b.dll", "C:\\b.tmp"},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(WriteFileBytes(Ini(), row.before)) << row.what;
    ASSERT_TRUE(SetModificationTime(Ini(), 820454400)) << row.what;
    const FILETIME stamp = LastWrite();

    CIniFileEditor editor{CPathName(Ini())};
    EXPECT_TRUE(editor.AddEntry(row.section, row.key, row.value)) << row.what;
    EXPECT_EQ(row.before, ReadFileBytes(Ini())) << row.what;
    const FILETIME after = LastWrite();
    EXPECT_EQ(0, ::CompareFileTime(&stamp, &after)) << row.what;
    EXPECT_EQ(std::set<std::string>{"wininit.ini"}, FilesInDir()) << row.what;
  }
}

TEST_F(IniFileEditorTest, OneEditorAddsSeveralEntriesInTurn) {
  CIniFileEditor editor{CPathName(Ini())};
  editor.AddEntry("rename", "NUL", "C:\\a.dll");
  editor.AddEntry("rename", "NUL", "C:\\b.dll");
  editor.AddEntry("rename", "NUL", "C:\\a.dll");
  EXPECT_EQ("[rename]\r\nNUL=C:\\a.dll\r\nNUL=C:\\b.dll\r\n", ReadFileBytes(Ini()));
}

TEST_F(IniFileEditorTest, AReadOnlyFileIsReplaced) {
  ASSERT_TRUE(WriteFileBytes(Ini(), "[rename]\r\n"));
  ASSERT_TRUE(::SetFileAttributesA(Ini().c_str(), FILE_ATTRIBUTE_READONLY));
  CIniFileEditor editor{CPathName(Ini())};
  editor.AddEntry("rename", "NUL", "C:\\a.dll");
  EXPECT_EQ("[rename]\r\nNUL=C:\\a.dll\r\n", ReadFileBytes(Ini()));
  EXPECT_EQ(std::set<std::string>{"wininit.ini"}, FilesInDir());
}

TEST_F(IniFileEditorTest, AFileThatCannotBeReplacedStaysIntactAndTheNewTextStaysBesideIt) {
  const std::string before = "[boot]\r\nshell=Explorer.exe\r\n";
  ASSERT_TRUE(WriteFileBytes(Ini(), before));
  // Another program holds the file open for reading and lets nobody delete or rename it.
  HANDLE holder = ::CreateFileA(Ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);

  CIniFileEditor editor{CPathName(Ini())};
  EXPECT_TRUE(editor.AddEntry("rename", "NUL", "C:\\a.dll"));
  ::CloseHandle(holder);

  EXPECT_EQ(before, ReadFileBytes(Ini()));
  const std::set<std::string> files = FilesInDir();
  ASSERT_EQ(2u, files.size());
  EXPECT_EQ(before + "[rename]\r\nNUL=C:\\a.dll\r\n", ReadFileBytes(editor.GetTemporaryPath().GetPath()));
}

TEST_F(IniFileEditorTest, AFileThatCannotBeReadIsNotOverwritten) {
  const std::string before = "[rename]\r\nNUL=C:\\a.dll\r\n";
  ASSERT_TRUE(WriteFileBytes(Ini(), before));
  HANDLE holder = ::CreateFileA(Ini().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);

  CIniFileEditor editor{CPathName(Ini())};
  EXPECT_THROW(editor.AddEntry("rename", "NUL", "C:\\b.dll"), CFileException);
  ::CloseHandle(holder);

  EXPECT_EQ(before, ReadFileBytes(Ini()));
  EXPECT_EQ(std::set<std::string>{"wininit.ini"}, FilesInDir());
}

TEST_F(IniFileEditorTest, AMissingDirectoryThrowsTheFileException) {
  CIniFileEditor editor{CPathName(dir / "no-such-dir\\wininit.ini")};
  try {
    editor.AddEntry("rename", "NUL", "C:\\a.dll");
    ADD_FAILURE() << "no exception";
  } catch (CFileException& e) {
    // The system's own error for the new file's name: its path is missing.
    EXPECT_EQ(CFileException::badPath, e.m_cause);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, e.m_lOsError);
  }
  EXPECT_TRUE(FilesInDir().empty());
}

// An editor that keeps the original under another name.
class CKeepingEditor : public CIniFileEditor {
public:
  using CIniFileEditor::CIniFileEditor;

protected:
  void BackupName() override {
    backupPath_ = GetFilePath();
    backupPath_.SetExtension("bak");
  }
};

TEST_F(IniFileEditorTest, ABackupNameKeepsTheOriginal) {
  ASSERT_TRUE(WriteFileBytes(Ini(), "[rename]\r\n"));
  ASSERT_TRUE(WriteFileBytes(dir / "wininit.bak", "older backup"));
  CKeepingEditor editor{CPathName(Ini())};
  editor.AddEntry("rename", "NUL", "C:\\a.dll");
  EXPECT_EQ("[rename]\r\nNUL=C:\\a.dll\r\n", ReadFileBytes(Ini()));
  EXPECT_EQ("[rename]\r\n", ReadFileBytes(dir / "wininit.bak"));
  EXPECT_EQ((std::set<std::string>{"wininit.bak", "wininit.ini"}), FilesInDir());
}

}  // namespace
