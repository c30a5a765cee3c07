// The transaction of a silent installation, in process: a run's changes
// to a folder and a registry key of the test's own, then ended by a
// rollback, a commit, or a kill that the next run's recovery completes or
// undoes. After a rollback the folder and the key are as they were, times
// and attributes included; after a commit they hold the run's changes and
// nothing of what was kept.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <ostream>

#include "setup/install/InstallTransaction.h"
#include "setup/log/RollbackJournal.h"
#include "setup/log/VerboseLog.h"
#include "setup/system/RegistrySnapshot.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestRegistry.h"

using namespace testreg;

namespace {

const char kTestKey[] = "Software\\Veltrane Tests\\Transaction";

// Every file and directory below folder with its attributes, time and
// bytes; and every value below the test key.
std::map<std::string, std::string> State(const std::string& folder) {
  std::map<std::string, std::string> state;
  for (const FolderEntry& entry : ListTree(folder)) {
    state[entry.path] = entry.directory ? "dir"
                                        : std::to_string(entry.attributes & ~FILE_ATTRIBUTE_ARCHIVE) + " " +
                                              std::to_string(entry.written) + " " + ReadFileBytes(entry.path);
  }
  state["registry"] = SnapshotKeyTree(HKEY_CURRENT_USER, kTestKey);
  return state;
}

// A new file made as the copy engine makes it: named first, then created.
void MakeFile(CInstallTransaction& transaction, const std::string& path, const std::string& bytes) {
  transaction.FileToBeMade(CPathName(path));
  ASSERT_TRUE(WriteFileBytes(path, bytes));
}

class InstallTransactionTest;

struct EndRow {
  const char* name;
  // How the run ends: rolled back, committed, or killed and recovered.
  enum class End { rollBack, commit, killedThenRecovered, killedAfterCommitThenRecovered } end;
  bool undone;  // the machine is as it was afterwards
};

void PrintTo(const EndRow& row, std::ostream* out) { *out << row.name; }

class InstallTransactionTest : public ::testing::TestWithParam<EndRow> {
protected:
  void SetUp() override {
    testreg::RemoveTree(HKEY_CURRENT_USER, kTestKey);
    root = dir / "machine";
    ::CreateDirectoryA(root.c_str(), nullptr);
    // What an earlier installation left: a program, a read-only file of
    // 1996, its log, and a registry key with a value and a sub-key.
    ASSERT_TRUE(WriteFileBytes(root + "\\app.exe", "old program"));
    ASSERT_TRUE(WriteFileBytes(root + "\\old.dll", "old library"));
    ASSERT_TRUE(SetModificationTime(root + "\\old.dll", 820454400));
    ::SetFileAttributesA((root + "\\old.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(WriteFileBytes(log, "[Program]\r\napp.exe=1\r\n"));
    WriteString(HKEY_CURRENT_USER, kTestKey, "Version", "1.0");
    WriteString(HKEY_CURRENT_USER, std::string(kTestKey) + "\\Sub", "", "below");
  }
  void TearDown() override {
    ::SetFileAttributesA((root + "\\old.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
    testreg::RemoveTree(HKEY_CURRENT_USER, kTestKey);
  }

  // A run's changes of every kind.
  void Run(CInstallTransaction& transaction) {
    transaction.MakeDirectory(CPathName(root + "\\New\\Deeper\\"));
    MakeFile(transaction, root + "\\New\\Deeper\\data.dat", "new data");
    // The program replaced: the new file under a temporary name, the old
    // one kept, the new one put in place.
    MakeFile(transaction, root + "\\1234abcd.exe", "new program");
    ASSERT_TRUE(transaction.KeepExisting(CPathName(root + "\\app.exe")));
    transaction.Moving(CPathName(root + "\\1234abcd.exe"), CPathName(root + "\\app.exe"));
    ASSERT_TRUE(::MoveFileA((root + "\\1234abcd.exe").c_str(), (root + "\\app.exe").c_str()));
    // The read-only library replaced in place by another writer.
    transaction.FileToBeWritten(CPathName(root + "\\old.dll"));
    ASSERT_TRUE(WriteFileBytes(root + "\\old.dll", "new library"));
    // A file that could not be made is named off again.
    transaction.FileToBeMade(CPathName(root + "\\taken.txt"));
    transaction.FileNotMade();
    ASSERT_TRUE(WriteFileBytes(root + "\\taken.txt", "someone else's"));
    ::DeleteFileA((root + "\\taken.txt").c_str());
    // The registry: the key rewritten, one value of another key added.
    transaction.RegistryKeyChanging(HKEY_CURRENT_USER, kTestKey);
    WriteString(HKEY_CURRENT_USER, kTestKey, "Version", "2.0");
    WriteString(HKEY_CURRENT_USER, kTestKey, "Added", "yes");
    testreg::RemoveTree(HKEY_CURRENT_USER, std::string(kTestKey) + "\\Sub");
    transaction.RegistryValueChanging(HKEY_CURRENT_USER, std::string(kTestKey) + "\\Counts", "C:\\x.dll");
    WriteString(HKEY_CURRENT_USER, std::string(kTestKey) + "\\Counts", "C:\\x.dll", "1");
    // The log rewritten.
    ASSERT_TRUE(WriteFileBytes(log, "[Program]\r\napp.exe=2\r\n"));
  }

  TempDir dir;
  std::string root;
  const std::string log = dir / "veltapp.log";
};

TEST_P(InstallTransactionTest, UndoesOrKeepsEveryChange) {
  const EndRow& row = GetParam();
  const auto before = State(dir.path());
  CVerboseLog& none = NoVerboseLog();
  {
    CInstallTransaction transaction;
    ASSERT_TRUE(transaction.Begin(CPathName(log)));
    Run(transaction);
    if (HasFatalFailure()) return;
    switch (row.end) {
      case EndRow::End::rollBack:
        transaction.RollBack(none);
        break;
      case EndRow::End::commit:
        EXPECT_TRUE(transaction.Commit(none));
        break;
      case EndRow::End::killedAfterCommitThenRecovered:
      case EndRow::End::killedThenRecovered:
        break;  // the process ends: the journal stays
    }
  }
  if (row.end == EndRow::End::killedAfterCommitThenRecovered) {
    // The commit's line is there; the kept copies are not deleted yet.
    const std::string path = CRollbackJournal::PathFor(CPathName(log)).GetPath();
    ASSERT_TRUE(WriteFileBytes(path, ReadFileBytes(path) + "commit\r\n"));
  }
  const bool recovered = CInstallTransaction::Recover(CPathName(log), none);
  EXPECT_EQ(row.end == EndRow::End::killedThenRecovered || row.end == EndRow::End::killedAfterCommitThenRecovered,
            recovered);
  EXPECT_FALSE(CPathName(CRollbackJournal::PathFor(CPathName(log))).Exists()) << "the journal is gone";

  const auto after = State(dir.path());
  if (row.undone) {
    EXPECT_EQ(before, after);
    return;
  }
  EXPECT_EQ("new program", ReadFileBytes(root + "\\app.exe"));
  EXPECT_EQ("new library", ReadFileBytes(root + "\\old.dll"));
  EXPECT_EQ("new data", ReadFileBytes(root + "\\New\\Deeper\\data.dat"));
  EXPECT_EQ("[Program]\r\napp.exe=2\r\n", ReadFileBytes(log));
  for (const auto& [path, what] : after) {
    EXPECT_EQ(std::string::npos, path.find(".old")) << path << ": a kept copy outlived the commit";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ends, InstallTransactionTest,
    ::testing::Values(EndRow{"RolledBack", EndRow::End::rollBack, true}, EndRow{"Committed", EndRow::End::commit, false},
                      EndRow{"KilledThenRecovered", EndRow::End::killedThenRecovered, true},
                      EndRow{"KilledAfterTheCommitThenRecovered", EndRow::End::killedAfterCommitThenRecovered, false}),
    [](const ::testing::TestParamInfo<EndRow>& param) { return std::string(param.param.name); });

// A shortcut the run writes over is kept until the commit; when the shell
// could not save the new one, the commit puts the old one back rather than
// leaving none.
TEST(InstallTransactionCommitTest, PutsBackAFileThatNothingTookThePlaceOf) {
  TempDir dir;
  const std::string written = dir / "written.lnk", failed = dir / "failed.lnk";
  ASSERT_TRUE(WriteFileBytes(written, "old link"));
  ASSERT_TRUE(WriteFileBytes(failed, "old link"));
  CInstallTransaction transaction;
  ASSERT_TRUE(transaction.Begin(CPathName(dir / "veltapp.log")));
  transaction.FileToBeWritten(CPathName(written));
  transaction.FileToBeWritten(CPathName(failed));
  ASSERT_TRUE(WriteFileBytes(written, "new link"));
  EXPECT_TRUE(transaction.Commit(NoVerboseLog()));
  EXPECT_EQ("new link", ReadFileBytes(written));
  EXPECT_EQ("old link", ReadFileBytes(failed));
  EXPECT_EQ((std::vector<std::string>{"failed.lnk", "written.lnk"}), ListFolder(dir.path()));
}

// A journal is trusted no more than the log beside it: a line cut short,
// one that a "void" takes back, and names that are no full paths, or a
// kept copy that is not beside its file, are never acted on.
TEST(RollbackJournalTest, ActsOnlyOnWholeLinesThatNameWhatARunCanHaveMade) {
  TempDir dir;
  const std::string log = dir / "veltapp.log";
  const std::string victim = dir / "victim.txt";
  const std::string elsewhere = dir / "sub";
  ::CreateDirectoryA(elsewhere.c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(victim, "stays"));
  ASSERT_TRUE(WriteFileBytes(elsewhere + "\\0000abcd.old", "kept elsewhere"));
  const std::string journal = "begin\r\n"
                              "new\t" + victim + "\r\nvoid\r\n"
                              "new\tvictim.txt\r\n"
                              "new\t" + dir.path() + "\\sub\\..\\victim.txt\r\n"
                              "keep\t" + victim + "\t" + elsewhere + "\\0000abcd.old\r\n"
                              "file\t" + victim + "\t-\r\n"
                              "new\t" + victim;  // cut short by a kill
  ASSERT_TRUE(WriteFileBytes(CRollbackJournal::PathFor(CPathName(log)).GetPath(), journal));

  const CRollbackRecord record = ParseRollbackJournal(journal);
  EXPECT_FALSE(record.committed);
  EXPECT_EQ(4u, record.steps.size()) << "the voided line and the cut one are passed over";

  EXPECT_TRUE(CInstallTransaction::Recover(CPathName(log), NoVerboseLog()));
  EXPECT_EQ("stays", ReadFileBytes(victim));
  EXPECT_EQ("kept elsewhere", ReadFileBytes(elsewhere + "\\0000abcd.old"));
}

// Registry snapshots come back whole: values of every type, the default
// value, sub-keys; a key that was not there goes, with what came since.
TEST(RegistrySnapshotTest, PutsBackAKeyTreeAndAValueAsTheyWere) {
  const std::string key = std::string(kTestKey) + "\\Snapshot";
  testreg::RemoveTree(HKEY_CURRENT_USER, kTestKey);
  const std::string absent = SnapshotKeyTree(HKEY_CURRENT_USER, key);
  EXPECT_EQ("-", absent);
  WriteString(HKEY_CURRENT_USER, key, "", "default");
  WriteRaw(HKEY_CURRENT_USER, key, "Binary", REG_BINARY, std::string("\0\1\2", 3));
  WriteRaw(HKEY_CURRENT_USER, key + "\\A\\B", "Multi", REG_MULTI_SZ, std::string("x\0y\0\0", 5));
  const std::string whole = SnapshotKeyTree(HKEY_CURRENT_USER, key);
  const std::string value = SnapshotValue(HKEY_CURRENT_USER, key, "Binary");

  WriteString(HKEY_CURRENT_USER, key, "", "changed");
  WriteString(HKEY_CURRENT_USER, key + "\\New", "Extra", "x");
  WriteRaw(HKEY_CURRENT_USER, key, "Binary", REG_DWORD, std::string("\7\0\0\0", 4));
  ASSERT_TRUE(RestoreKeyTree(HKEY_CURRENT_USER, key, whole));
  EXPECT_EQ(whole, SnapshotKeyTree(HKEY_CURRENT_USER, key));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key + "\\New"));

  WriteRaw(HKEY_CURRENT_USER, key, "Binary", REG_SZ, "text");
  ASSERT_TRUE(RestoreValue(HKEY_CURRENT_USER, key, "Binary", value));
  EXPECT_EQ(value, SnapshotValue(HKEY_CURRENT_USER, key, "Binary"));
  ASSERT_TRUE(RestoreValue(HKEY_CURRENT_USER, key, "Binary", "-"));
  EXPECT_EQ("-", SnapshotValue(HKEY_CURRENT_USER, key, "Binary"));

  ASSERT_TRUE(RestoreKeyTree(HKEY_CURRENT_USER, key, absent));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key));
  EXPECT_FALSE(RestoreKeyTree(HKEY_CURRENT_USER, key, "+0g")) << "no snapshot";
  testreg::RemoveTree(HKEY_CURRENT_USER, kTestKey);
}

}  // namespace
