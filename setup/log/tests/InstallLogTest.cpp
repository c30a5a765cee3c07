// The install log in memory: its records, read back and written as the
// system's own writes would leave them, and saved whole at intervals that
// grow with the log.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "setup/log/InstallJournal.h"
#include "setup/log/InstallLog.h"
#include "setup/log/InstallLogWriter.h"
#include "setup/log/InstalledFileRecord.h"
#include "setup/profile/IniTextFile.h"
#include "setup/profile/tests/ProfileFixture.h"

namespace {

struct Record {
  std::string group;
  std::string path;
  std::int16_t destination;
  bool placed, replaced;
};

class InstallLogTest : public ProfileFixture {
protected:
  // Writes the records into log through the run's writer, journalled or
  // not, and ends the run.
  static void Write(const CPathName& log, const std::vector<Record>& records, bool journalled = false) {
    CInstallLog installLog(log);
    CInstallLogWriter writer(installLog);
    if (journalled) installLog.StartJournal();
    for (const Record& r : records) writer.AddFile(r.group, CPathName(r.path), r.destination, r.placed, r.replaced);
    installLog.Finish();
  }

  // The same records through the system's own writes and through the run's
  // log, both from earlier (an existing log's text; none when empty), read
  // back by the system section by section.
  void ExpectAsTheSystemWrites(const std::string& earlier, const std::vector<Record>& records) {
    const CPathName system = NewFile("system.log"), ours = NewFile("ours.log");
    if (!earlier.empty()) {
      ASSERT_TRUE(WriteFileBytes(system.GetPath(), earlier));
      ASSERT_TRUE(WriteFileBytes(ours.GetPath(), earlier));
    }
    for (const Record& r : records) {
      const std::string value = CInstalledFileRecord{r.destination, r.placed, r.replaced}.Format();
      ASSERT_TRUE(::WritePrivateProfileStringA(r.group.c_str(), CPathName(r.path).GetFileName().c_str(),
                                               value.c_str(), system.c_str()));
    }
    Write(ours, records, true);
    const CIniText systemText = ReadIniTextFile(system);
    EXPECT_EQ(systemText.SectionNames(), ReadIniTextFile(ours).SectionNames());
    for (const std::string& section : systemText.SectionNames()) {
      EXPECT_EQ(ReadIniSection(system.GetPath(), section), ReadIniSection(ours.GetPath(), section)) << section;
    }
  }
};

}  // namespace

TEST_F(InstallLogTest, RecordsEachFileUnderItsGroupWithDestinationAndFlags) {
  const CPathName log = NewFile("veltapp.log");
  Write(log, {{"Program", "C:\\Velt\\veltapp.exe", 0, true, false},
              {"Program", "C:\\Velt\\Data\\README", 1, true, true},  // no extension: no trailing dot
              {"Shared", "C:\\WINDOWS\\SYSTEM32\\veltsh32.dll", -3, false, false},
              {"Shared", "C:\\WINDOWS\\velt.ini", -2, true, false},  // written with its sign
              {"Program", "C:\\Velt\\Data\\in-use.dat", 1, false, true}});
  EXPECT_EQ(
      "[Program]\nveltapp.exe=0|1|0\nREADME=1|1|1\nin-use.dat=1|0|1\n"
      "[Shared]\nveltsh32.dll=-3|0|0\nvelt.ini=-2|1|0\n",
      Text(log));
}

TEST_F(InstallLogTest, ReadsTheRecordsOfAGroupBackInFileOrder) {
  const CIniText log(std::string("[Program]\r\nveltapp.exe=0|1|0\r\nREADME=1|1|1\r\n[Shared]\r\nveltsh32.dll=-3|0|1\r\n"));
  const auto program = ReadInstalledFiles(log, "Program");
  ASSERT_EQ(2u, program.size());
  EXPECT_EQ("veltapp.exe", program[0].first);
  EXPECT_EQ(0, program[0].second.destinationId);
  EXPECT_EQ(1, program[0].second.placed);
  EXPECT_EQ(0, program[0].second.replaced);
  EXPECT_EQ("README", program[1].first);
  EXPECT_EQ("1|1|1", program[1].second.Format());
  const auto shared = ReadInstalledFiles(log, "SHARED");
  ASSERT_EQ(1u, shared.size());
  EXPECT_EQ("-3|0|1", shared[0].second.Format());
  EXPECT_TRUE(ReadInstalledFiles(log, "Missing").empty());
}

TEST_F(InstallLogTest, WritesAsTheSystemsOwnWritesWouldIntoANewOrAnEarlierLog) {
  ExpectAsTheSystemWrites("", {{"Program", "C:\\Velt\\veltapp.exe", 0, true, false},
                               {"Shared", "C:\\WINDOWS\\SYSTEM\\veltsh32.dll", -3, false, false},
                               {"Program", "C:\\Velt\\Data\\README", 1, true, true}});
  ExpectAsTheSystemWrites(
      "[destinations]\r\n0=Veltrane|-1|C:\\Velt\\\r\n"
      "[Program]\r\nVELTAPP.EXE=0|1|0\r\nold.dll=0|1|0\r\nOld.DLL=9|9|9\r\nnovalue\r\n"
      "[Events]\r\n10:00:00:0001=Successful installation.\r\n",
      {{"Program", "C:\\Velt\\veltapp.exe", 0, false, false},  // another letter case
       {"Program", "C:\\Velt\\new.txt", 0, true, false},
       {"Program", "C:\\Velt\\Data\\old.dll", 1, true, false},  // same name, other folder: replaces the record
       {"Data", "C:\\Velt\\Data\\new.txt", 1, true, false},     // a new section at the end
       {"Program", "C:\\Velt\\new.txt", 1, true, true}});       // twice in one run
}

TEST_F(InstallLogTest, WithoutALogPathNothingIsWrittenAnywhere) {
  char module[MAX_PATH];
  ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  CPathName besideProgram(module);
  besideProgram.SetExtension("ini");
  const bool existed = besideProgram.Exists();
  Write(CPathName(), {{"Program", "C:\\Velt\\veltapp.exe", 0, true, false}}, true);
  EXPECT_EQ(existed, besideProgram.Exists());
  CInstallLog none{CPathName()};
  EXPECT_FALSE(none.Save());
  EXPECT_EQ(0u, none.Text().LineCount());
}

// The log is saved before the first file, then whenever as many records
// have come as the log had lines at its last save (kFirstSaveInterval at
// least): a run's saves cost time in proportion to its records, and the
// journal holds only what came since the last save.
TEST_F(InstallLogTest, IsSavedAtIntervalsThatGrowWithTheLog) {
  const CPathName log = NewFile("veltapp.log");
  const CPathName journal = CInstallJournal::PathFor(log);
  CInstallLog installLog(log);
  CInstallLogWriter writer(installLog);
  ASSERT_TRUE(installLog.StartJournal());
  EXPECT_TRUE(log.Exists()) << "saved before the first file";
  std::vector<std::size_t> savedAfter;
  for (std::size_t i = 1; i <= 6000; ++i) {
    writer.AddFile("Data", CPathName("C:\\Velt\\f" + std::to_string(i)), 0, true, false);
    if (ReadFileBytes(journal.GetPath()).empty()) savedAfter.push_back(i);
  }
  const std::size_t first = CInstallLog::kFirstSaveInterval;
  ASSERT_GE(savedAfter.size(), 3u);
  EXPECT_EQ(first, savedAfter[0]);  // the log had fewer lines than the first interval
  for (std::size_t s = 1; s < savedAfter.size(); ++s) {
    // After as many records as the log had lines (the records and the header).
    EXPECT_EQ(2 * savedAfter[s - 1] + 1, savedAfter[s]) << s;
  }
  EXPECT_EQ(savedAfter.back(), ReadInstalledFiles(ReadIniTextFile(log), "Data").size());
  installLog.Finish();
  EXPECT_EQ(6000u, ReadInstalledFiles(ReadIniTextFile(log), "Data").size());
  EXPECT_FALSE(journal.Exists());
}

TEST(InstalledFileRecord, ParsesWhatItFormats) {
  struct Row {
    const char* value;
    const char* normalised;
  } const rows[] = {
      {"0|1|0", "0|1|0"}, {"-2|1|0", "-2|1|0"}, {"-3|0|1", "-3|0|1"}, {"4|7|-1", "4|1|1"}, {"5", "5|0|0"}, {"", "0|0|0"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.normalised, CInstalledFileRecord::Parse(row.value).Format()) << row.value;
}
