// The journal of a run's file records: what a run that was ended (killed,
// switched off) left in it reaches the log with the next run, and what is
// not a record does not.
#include <gtest/gtest.h>

#include <string>

#include "setup/log/InstallJournal.h"
#include "setup/log/InstalledFileBatch.h"
#include "setup/profile/tests/ProfileFixture.h"

namespace {

class InstallJournalTest : public ProfileFixture {
protected:
  bool JournalExists() const {
    return ::GetFileAttributesA(CInstallJournal::PathFor(log).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  const CPathName log = NewFile("veltapp.log");
};

}  // namespace

TEST_F(InstallJournalTest, RecordsAreJournalledAtOnceAndTheJournalGoesWithTheRun) {
  {
    CInstalledFileBatch batch(log);
    ASSERT_TRUE(batch.StartJournal());
    batch.Add("Program", CPathName("C:\\Velt\\veltapp.exe"), 0, true, false);
    batch.Add("Data", CPathName("C:\\Velt\\Data\\samples.csv"), 1, true, true);
    // Nothing in the log yet; everything in the journal.
    EXPECT_EQ("", Text(log));
    EXPECT_EQ("Program\tveltapp.exe\t0|1|0\nData\tsamples.csv\t1|1|1\n", Text(CInstallJournal::PathFor(log)));
    batch.Flush();
    EXPECT_EQ("Program\tveltapp.exe\t0|1|0\nData\tsamples.csv\t1|1|1\n", Text(CInstallJournal::PathFor(log)))
        << "kept while the run goes on: a write of the log that is cut short loses the log";
    batch.Add("Program", CPathName("C:\\Velt\\readme.txt"), 0, true, false);
  }
  EXPECT_EQ("[Program]\nveltapp.exe=0|1|0\nreadme.txt=0|1|0\n[Data]\nsamples.csv=1|1|1\n", Text(log));
  EXPECT_FALSE(JournalExists());
}

TEST_F(InstallJournalTest, WhatAnEndedRunLeftIsMergedIntoTheLogByTheNextRun) {
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
       "Program\told.txt\t0|0|0\r\n",
       "[Program]\nold.txt=0|0|0\n"},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(WriteFileBytes(log.GetPath(), std::string("[Program]\r\nold.txt=0|1|0\r\n")));
    ASSERT_TRUE(WriteFileBytes(CInstallJournal::PathFor(log).GetPath(), row.journal));
    RecoverInstallJournal(log);
    EXPECT_EQ(row.log, Text(log)) << row.what;
    EXPECT_FALSE(JournalExists()) << row.what;
  }
  // No journal: nothing happens.
  RecoverInstallJournal(log);
  EXPECT_EQ("[Program]\nold.txt=0|0|0\n", Text(log));
}

TEST_F(InstallJournalTest, ANewJournalIsMadeOnlyAfterTheOldOneIsMerged) {
  ASSERT_TRUE(WriteFileBytes(CInstallJournal::PathFor(log).GetPath(), std::string("Program\tleft.exe\t0|1|0\r\n")));
  CInstallJournal journal;
  ASSERT_TRUE(journal.Open(log));
  EXPECT_EQ("[Program]\nleft.exe=0|1|0\n", Text(log));
  EXPECT_EQ("", Text(CInstallJournal::PathFor(log)));
  journal.Append("Program", "tab\there.exe", "0|1|0");  // a line could not hold it
  EXPECT_EQ("", Text(CInstallJournal::PathFor(log)));
}
