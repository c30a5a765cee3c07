// The install journal's recovery on damaged journals that the journal's own
// writer made: whatever the journal holds, recovery ends, merges into the
// log beside it, and deletes no file but one lying directly in a directory
// of the log's destinations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ScopedHandle.h"
#include "setup/log/InstallJournal.h"
#include "setup/log/InstallLog.h"
#include "FuzzTarget.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

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

}  // namespace
