// The journals beside the install log, damaged. The install journal's
// recovery on damaged journals that the journal's own writer made:
// whatever the journal holds, recovery ends, merges into the log beside
// it, and deletes no file but one lying directly in a directory of the
// log's destinations. The rollback journal's recovery on damaged journals
// of a real silent run: it ends, and touches nothing that no line names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ScopedHandle.h"
#include "setup/install/InstallTransaction.h"
#include "setup/log/InstallJournal.h"
#include "setup/log/RollbackJournal.h"
#include "setup/log/VerboseLog.h"
#include "setup/log/InstallLog.h"
#include "FuzzTarget.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestRegistry.h"

namespace {

using fuzz::Bytes;

std::vector<std::string> Names(const std::string& folder) { return ListFolder(folder); }

class JournalFuzz : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* folder : {"dest", "dest\\sub", "other"}) ::CreateDirectoryA((box / folder).c_str(), nullptr);
    logText = "[destinations]\r\n0=Product||" + (box / "dest") + "\r\n1=Sub|0|\r\n[groups]\r\nMain=Main files||1|1|1\r\n";
    PutContext();
  }

  // The log, and the files recovery may find named: one it may delete (the
  // file a run was making), and two it must never touch.
  void PutContext() {
    WriteFileBytes(log, logText);
    for (const std::string& file : {made, keep, deep}) {
      if (::GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) WriteFileBytes(file, "data");
    }
  }

  // A journal as a run writes it, read while the run still has it open.
  Bytes WrittenJournal(bool endsInAFileBegun) {
    CInstallJournal journal;
    EXPECT_TRUE(journal.Open(CPathName(log)));
    journal.Append("destinations", "0", "Product||" + (box / "dest"));
    journal.Append("Main", "app.exe", "0|1|0");
    journal.AppendFileBegun(CPathName(box / "dest\\readme.txt"));
    journal.Append("Main", "readme.txt", "0|1|1");
    journal.Append("Events", "12:00:00:0001", "Installed.");
    if (endsInAFileBegun) journal.AppendFileBegun(CPathName(made));
    return fuzz::ToBytes(ReadFileBytes(CInstallJournal::PathFor(CPathName(log)).GetPath()));
  }

  TempDir box;
  const std::string log = box / "veltapp.log";
  const std::string made = box / "dest\\made.tmp";
  const std::string keep = box / "other\\keep.txt";
  const std::string deep = box / "dest\\sub\\deep.txt";
  std::string logText;
};

TEST_F(JournalFuzz, RecoveryFromDamagedJournalsDeletesNothingOutsideTheDestinations) {
  char windows[MAX_PATH], system[MAX_PATH];
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  ::GetSystemDirectoryA(system, MAX_PATH);
  const std::vector<std::string> windowsBefore = Names(windows), systemBefore = Names(system);

  fuzz::Corpus corpus{{WrittenJournal(true), WrittenJournal(false)},
                      {"+\t", "\t", "\r\n", "\r", "\n", "Main\t", "destinations\t", "[Main]", "=", ";", " ", made, keep,
                       deep, box / "dest\\", box / "dest\\..\\other\\keep.txt", box.path(), "\\\\?\\", "CON", "..", ":"},
                      true};
  const fuzz::Options options = TargetOptions("journal", 1000);
  const std::string journal = CInstallJournal::PathFor(CPathName(log)).GetPath();
  const fuzz::Result result = fuzz::Run(
      corpus,
      [&](const Bytes& input) {
        PutContext();
        WriteFileBytes(journal, input);
        {
          // The next run reads the log, takes the journal in and saves.
          CInstallLog next{CPathName(log)};
          next.Text();
          next.Finish();
        }
        fuzz::Check(::GetFileAttributesA(keep.c_str()) != INVALID_FILE_ATTRIBUTES, "a file outside the destinations was deleted");
        fuzz::Check(::GetFileAttributesA(deep.c_str()) != INVALID_FILE_ATTRIBUTES,
                    "a file in a folder below a destination was deleted");
        const std::vector<std::string> names = Names(box.path());
        for (const std::string& name : names) {
          fuzz::Check(name == "dest" || name == "other" || name == "veltapp.log" || name == "veltapp.jnl",
                      name + " was written beside the log");
        }
        fuzz::Check(Names(box / "other") == std::vector<std::string>{"keep.txt"}, "the other folder changed");
        return fuzz::Outcome::taken;
      },
      options);
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
  EXPECT_EQ(windowsBefore, Names(windows)) << "the Windows directory changed";
  EXPECT_EQ(systemBefore, Names(system)) << "the System directory changed";
}

// A silent run's rollback journal as the transaction writes it (a folder
// and files made, a file kept and replaced, a value of the test's own
// registry key), then damaged. Each mutant is recovered from as the next
// run recovers; recovery must end, and may only act inside the run's own
// folder: the folder beside it, the Windows and the System directory stay
// as they were.
TEST(RollbackJournalFuzz, RecoveryFromDamagedJournalsActsOnlyOnWhatTheyName) {
  TempDir box;
  const std::string run = box / "run";
  const std::string beside = box / "beside";
  const std::string log = run + "\\veltapp.log";
  const char kKey[] = "Software\\Veltrane Tests\\Rollback Fuzz";
  const auto putContext = [&] {
    ::CreateDirectoryA(run.c_str(), nullptr);
    ::CreateDirectoryA(beside.c_str(), nullptr);
    WriteFileBytes(run + "\\app.exe", "program");
    WriteFileBytes(beside + "\\untouched.txt", "stays");
    WriteFileBytes(log, "[Program]\r\napp.exe=1\r\n");
  };
  putContext();
  Bytes seed;
  {
    CInstallTransaction transaction;
    ASSERT_TRUE(transaction.Begin(CPathName(log)));
    transaction.MakeDirectory(CPathName(run + "\\Data\\"));
    transaction.FileToBeMade(CPathName(run + "\\Data\\new.dat"));
    WriteFileBytes(run + "\\Data\\new.dat", "new");
    transaction.FileToBeMade(CPathName(run + "\\1234abcd.exe"));
    WriteFileBytes(run + "\\1234abcd.exe", "new program");
    ASSERT_TRUE(transaction.KeepExisting(CPathName(run + "\\app.exe")));
    transaction.Moving(CPathName(run + "\\1234abcd.exe"), CPathName(run + "\\app.exe"));
    ::MoveFileA((run + "\\1234abcd.exe").c_str(), (run + "\\app.exe").c_str());
    transaction.ReplacementAtRestart(CPathName(run + "\\5678abcd.dll"), CPathName(run + "\\lib.dll"));
    transaction.RegistryValueChanging(HKEY_CURRENT_USER, kKey, "Count");
    transaction.RegistryKeyChanging(HKEY_CURRENT_USER, std::string(kKey) + "\\Entry");
    seed = fuzz::ToBytes(ReadFileBytes(CRollbackJournal::PathFor(CPathName(log)).GetPath()));
  }
  char windows[MAX_PATH], system[MAX_PATH];
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  ::GetSystemDirectoryA(system, MAX_PATH);
  const std::vector<std::string> windowsBefore = Names(windows), systemBefore = Names(system);

  fuzz::Corpus corpus{{seed, fuzz::ToBytes("begin\r\ncommit\r\n")},
                      {"begin", "new\t", "dir\t", "keep\t", "file\t", "moved\t", "restart\t", "key\t", "value\t",
                       "void", "commit", "\t", "\r\n", "-", "+", "HKCU", "HKLM", "00", run, run + "\\", "..",
                       "\\\\?\\", "\\\\.\\", "C:", "CON", ".old", "0000abcd"},
                      true};
  const std::string journal = CRollbackJournal::PathFor(CPathName(log)).GetPath();
  const fuzz::Result result = fuzz::Run(
      corpus,
      [&](const Bytes& input) {
        putContext();
        WriteFileBytes(journal, input);
        CInstallTransaction::Recover(CPathName(log), NoVerboseLog());
        fuzz::Check(::GetFileAttributesA(journal.c_str()) == INVALID_FILE_ATTRIBUTES, "the journal stayed");
        fuzz::Check(Names(beside) == std::vector<std::string>{"untouched.txt"} &&
                        ReadFileBytes(beside + "\\untouched.txt") == "stays",
                    "the folder beside the run's changed");
        return fuzz::Outcome::taken;
      },
      TargetOptions("rollback", 1000));
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
  EXPECT_EQ(windowsBefore, Names(windows)) << "the Windows directory changed";
  EXPECT_EQ(systemBefore, Names(system)) << "the System directory changed";
  testreg::RemoveTree(HKEY_CURRENT_USER, "Software\\Veltrane Tests\\Rollback Fuzz");
}

}  // namespace
