// The journal of a run: what the log on disk does not hold yet. What a run
// that was ended (killed, switched off) left in it reaches the log with the
// next run, and what is not a value does not; a save of the log that was
// cut short is completed or undone.
#include <gtest/gtest.h>

#include <string>

#include "setup/log/InstallJournal.h"
#include "setup/log/InstallLog.h"
#include "setup/log/InstallLogWriter.h"
#include "setup/profile/tests/ProfileFixture.h"

namespace {

class InstallJournalTest : public ProfileFixture {
protected:
  bool JournalExists() const { return CInstallJournal::PathFor(log).Exists(); }
  std::string Journal() const { return Text(CInstallJournal::PathFor(log)); }
  // The log as the next run reads it, then saved and its journal gone.
  std::string NextRunsLog() {
    CInstallLog next(log);
    next.Text();
    next.Finish();
    return Text(log);
  }

  const CPathName log = NewFile("veltapp.log");
};

}  // namespace

TEST_F(InstallJournalTest, ChangesAreJournalledAtOnceUntilASaveAndTheJournalGoesWithTheRun) {
  {
    CInstallLog installLog(log);
    CInstallLogWriter writer(installLog);
    ASSERT_TRUE(installLog.StartJournal());
    writer.BeginFile(CPathName("C:\\Velt\\veltapp.exe"));
    writer.AddFile("Program", CPathName("C:\\Velt\\veltapp.exe"), 0, true, false);
    writer.AddFile("Data", CPathName("C:\\Velt\\Data\\samples.csv"), 1, true, true);
    // Nothing new in the log yet; everything in the journal.
    EXPECT_EQ("", Text(log));
    EXPECT_EQ("+\tC:\\Velt\\veltapp.exe\t\nProgram\tveltapp.exe\t0|1|0\nData\tsamples.csv\t1|1|1\n", Journal());
    // A save while a file is being made keeps that file named.
    writer.BeginFile(CPathName("C:\\Velt\\readme.txt"));
    ASSERT_TRUE(installLog.Save());
    EXPECT_EQ("[Program]\nveltapp.exe=0|1|0\n[Data]\nsamples.csv=1|1|1\n", Text(log));
    EXPECT_EQ("+\tC:\\Velt\\readme.txt\t\n", Journal());
    writer.AddFile("Program", CPathName("C:\\Velt\\readme.txt"), 0, true, false);
    // Once its record is in, a save names it no more: the next run would
    // take it for a file cut short and delete it.
    ASSERT_TRUE(installLog.Save());
    EXPECT_EQ("", Journal());
  }
  EXPECT_EQ("[Program]\nveltapp.exe=0|1|0\nreadme.txt=0|1|0\n[Data]\nsamples.csv=1|1|1\n", Text(log));
  EXPECT_FALSE(JournalExists());
}

TEST_F(InstallJournalTest, WhatAnEndedRunLeftIsTakenInByTheNextRun) {
  const struct {
    const char* what;
    std::string journal;
    std::string log;
  } rows[] = {
      {"records of two sections",
       "Program\tveltapp.exe\t0|1|0\r\nData\tsamples.csv\t1|1|0\r\nProgram\tshared.dll\t-3|1|0\r\n",
       "[Program]\nold.txt=0|1|0\nveltapp.exe=0|1|0\nshared.dll=-3|1|0\n[Data]\nsamples.csv=1|1|0\n"},
      {"a last line cut short", "Program\tveltapp.exe\t0|1|0\r\nProgram\tsha", "[Program]\nold.txt=0|1|0\nveltapp.exe=0|1|0\n"},
      {"lines that are no records",
       "Program\ta=b.exe\t0|1|0\r\nPro]gram\tx.exe\t0|1|0\r\nProgram\t;x.exe\t0|1|0\r\nProgram\t[x.exe\t0|1|0\r\n"
       "Program\t x.exe\t0|1|0\r\n\tx.exe\t0|1|0\r\nProgram\t\t0|1|0\r\nonly\ttwo\r\nfour\tfields\tin\tall\r\n"
       "\tsave\t\r\nProgram\told.txt\t0|0|0\r\n",
       "[Program]\nold.txt=0|0|0\n"},
      {"the journal of an earlier program, which kept the records already in the log too",
       "Program\told.txt\t0|1|0\r\nProgram\tnew.txt\t0|1|0\r\n+\tC:\\Nowhere\\file.tmp\t\r\n",
       "[Program]\nold.txt=0|1|0\nnew.txt=0|1|0\n"},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(WriteFileBytes(log.GetPath(), std::string("[Program]\r\nold.txt=0|1|0\r\n")));
    ASSERT_TRUE(WriteFileBytes(CInstallJournal::PathFor(log).GetPath(), row.journal));
    EXPECT_EQ(row.log, NextRunsLog()) << row.what;
    EXPECT_FALSE(JournalExists()) << row.what;
  }
  // No journal: nothing happens.
  EXPECT_EQ("[Program]\nold.txt=0|1|0\nnew.txt=0|1|0\n", NextRunsLog());
}

// A run ended while it saved the log leaves the new file it was writing.
// Where the system replaces a file in one step, the log is the old one or
// the new one; where it deletes the log first (Windows 95, 98 and Me), the
// new file, complete by then, becomes the log.
TEST_F(InstallJournalTest, ASaveCutShortIsUndoneOrCompleted) {
  const std::string directory = log.GetDirectory() + "\\";
  const std::string newFile = directory + "0123abcd.log";
  const struct {
    const char* what;
    bool logThere;
    std::string journalNames;  // the file the journal names as the save's
    bool newFileStays;
    std::string log;           // the log the next run reads; "" none
  } rows[] = {
      {"cut while the new file was written", true, newFile, false, "[Program]\nold.txt=0|1|0\n"},
      {"cut between deleting the log and renaming the new file", false, newFile, false, "[Program]\nnew.txt=0|1|0\n"},
      {"a name that no save makes: another folder", false, "C:\\0123abcd.log", true, ""},
      {"a name that no save makes: not a temporary name", false, directory + "notours.log", true, ""},
      {"a name that no save makes: the log itself", true, log.GetPath(), true, "[Program]\nold.txt=0|1|0\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ::DeleteFileA(log.c_str());
    if (row.logThere) {
      ASSERT_TRUE(WriteFileBytes(log.GetPath(), std::string("[Program]\r\nold.txt=0|1|0\r\n")));
    }
    const CPathName named(row.journalNames);
    const bool ours = named.GetPath() != log.GetPath();
    if (ours) {
      ASSERT_TRUE(WriteFileBytes(named.GetPath(), std::string("[Program]\r\nnew.txt=0|1|0\r\n")));
    }
    ASSERT_TRUE(WriteFileBytes(CInstallJournal::PathFor(log).GetPath(), "\tsave\t" + row.journalNames + "\r\n"));
    CInstallLog next(log);
    std::string read = next.Text().ToString();
    std::erase(read, '\r');
    EXPECT_EQ(row.log, read);
    if (ours) {
      EXPECT_EQ(row.newFileStays, named.Exists());
      named.Delete();
    }
  }
}

TEST_F(InstallJournalTest, ALogThatCannotBeSavedKeepsWhatTheEndedRunLeftForTheNextRun) {
  ASSERT_TRUE(WriteFileBytes(log.GetPath(), std::string("[Program]\r\nold.txt=0|1|0\r\n")));
  ASSERT_TRUE(WriteFileBytes(CInstallJournal::PathFor(log).GetPath(), std::string("Program\tleft.exe\t0|1|0\r\n")));
  {
    // Held open by another program that shares it with nobody.
    const CHandle held(::CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());
    CInstallLog installLog(log);
    EXPECT_FALSE(installLog.StartJournal());
    EXPECT_NE(std::string::npos, Journal().find("Program\tleft.exe\t0|1|0\n")) << Journal();
  }
  EXPECT_EQ("[Program]\nold.txt=0|1|0\nleft.exe=0|1|0\n", NextRunsLog());
  EXPECT_FALSE(JournalExists());

  CInstallJournal journal;
  ASSERT_TRUE(journal.Open(log));
  journal.Append("Program", "tab\there.exe", "0|1|0");  // a line could not hold it
  EXPECT_EQ("", Journal());
}
