// The install log writer: the model's sections before the first file, after
// a copy that went through and after one that stopped, the file records, the
// events, a reinstallation into other directories, and nothing at all
// without a log path.
#include <gtest/gtest.h>

#include <string>

#include "setup/log/InstallJournal.h"
#include "setup/log/InstallLogWriter.h"
#include "setup/profile/InstallModel.h"
#include "setup/profile/tests/ProfileFixture.h"

namespace {

using ProfileValues = std::vector<std::pair<std::string, std::string>>;

class InstallLogWriterTest : public ProfileFixture {
protected:
  void SetUp() override {
    model.Load(Profile(
        "[destinations]\n0=Veltrane|-1|C:\\Velt\n1=Data|0|\n6=Spare|-1|\n"
        "[groups]\nProgram=Program|Files|1|1|1\n"
        "[PMGroup]\nPMGroup=Veltrane\n"
        "[targets]\nVELTAPP.EXE=0|0|0|Veltrane|||\nmissing.exe=0|0|0|Never installed|||\n"
        "[Program]\nveltapp.exe=5|0|1|1|0|\n"));
    model.destinations.Resolve();
    model.programFolder = "Veltrane Tools";
    model.targets.Find("veltapp.exe")->programPath = CPathName("C:\\Velt\\veltapp.exe");
  }

  CInstallModel model;
};

}  // namespace

TEST_F(InstallLogWriterTest, WritesTheModelsSectionsForACopyThatWentThroughOrStopped) {
  // Destinations of id 0 and above with their paths as they are now (a
  // root without a path stays without one); the program group and only
  // the items whose program was installed, and those only after a copy
  // that went through (no shortcut is made after a stopped one).
  const std::string common =
      "[destinations]\n0=Veltrane|-1|C:\\Velt\\\n1=Data|0|C:\\Velt\\Data\\\n6=Spare|-1|\n"
      "[groups]\nProgram=Program|Files|1|1|1\n";
  const struct {
    const char* what;
    void (CInstallLogWriter::*write)(const CInstallModel&);
    std::string text;
  } rows[] = {
      {"went through", &CInstallLogWriter::WriteModel,
       common + "[PMGroup]\nPMGroup=Veltrane Tools\n[targets]\nveltapp.exe=0|0|0|Veltrane|||C:\\Velt\\veltapp.exe\n"},
      {"stopped", &CInstallLogWriter::WriteModelOfStoppedCopy, common},
  };
  for (const auto& row : rows) {
    const CPathName log = NewFile("veltapp.log");
    CInstallLog installLog(log);
    CInstallLogWriter writer(installLog);
    (writer.*row.write)(model);
    EXPECT_EQ(row.text, Text(log)) << row.what;
  }
}

TEST_F(InstallLogWriterTest, FileRecordsAreInTheLogBeforeTheSectionsAndEventsGoToTheirOwnSection) {
  const CPathName log = NewFile("veltapp.log");
  CInstallLog installLog(log);
  CInstallLogWriter writer(installLog);
  writer.AddFile("Program", CPathName("C:\\Velt\\veltapp.exe"), 0, true, false);
  writer.WriteModelOfStoppedCopy(model);
  writer.Event("Could not write %s.", "SMS status");
  const std::string text = Text(log);
  EXPECT_EQ(0u, text.find("[Program]\nveltapp.exe=0|1|0\n[destinations]\n")) << text;
  const std::size_t events = text.find("[Events]\n");
  ASSERT_NE(std::string::npos, events) << text;
  EXPECT_NE(std::string::npos, text.find("=Could not write SMS status.\n", events)) << text;
}

TEST_F(InstallLogWriterTest, WritesNothingWithoutALogPath) {
  // An empty path would have the profile functions fall back to a file of
  // the Windows directory.
  CInstallLog none{CPathName()};
  CInstallLogWriter writer(none);
  writer.BeginRun(model);
  writer.AddFile("Program", CPathName("C:\\Velt\\veltapp.exe"), 0, true, false);
  writer.WriteModel(model);
  writer.Event("nothing");
  for (const char* section : {"Program", "destinations", "groups", "targets"}) {
    char value[64] = {};
    ::GetProfileStringA(section, nullptr, "", value, sizeof value);
    EXPECT_STREQ("", value) << section << " written to win.ini";
  }
}

TEST_F(InstallLogWriterTest, BeginRunWritesWhatARemovalNeedsBeforeTheFirstFile) {
  const CPathName log = NewFile("veltapp.log");
  CInstallLog installLog(log);
  CInstallLogWriter writer(installLog);
  writer.BeginRun(model);
  EXPECT_EQ(
      "[destinations]\n0=Veltrane|-1|C:\\Velt\\\n1=Data|0|C:\\Velt\\Data\\\n6=Spare|-1|\n"
      "[groups]\nProgram=Program|Files|1|1|1\n[PMGroup]\nPMGroup=Veltrane Tools\n",
      Text(log));
}

TEST_F(InstallLogWriterTest, BeginRunKnowsTheSharedFilesTheLogRecordsAlready) {
  const CPathName log = Profile(
      "[groups]\nProgram=Program|Files|1|1|1\nOld=Old|Files|1|1|1\n"
      "[Program]\nshared.dll=-3|1|0\nlocal.dll=0|1|0\n[Old]\nolder.dll=-3|0|0\n");
  ASSERT_TRUE(WriteFileBytes(CInstallJournal::PathFor(log).GetPath(), std::string("Program\tkilled.dll\t-3|1|0\r\n")));
  CInstallLog installLog(log);
  CInstallLogWriter writer(installLog);
  writer.BeginRun(model);
  for (const char* name : {"shared.dll", "SHARED.DLL", "older.dll", "killed.dll"}) {
    EXPECT_TRUE(writer.WasRecordedShared(name)) << name;
  }
  for (const char* name : {"local.dll", "new.dll"}) EXPECT_FALSE(writer.WasRecordedShared(name)) << name;
  // Only what stood in the log before the run counts.
  writer.AddFile("Program", CPathName("C:\\Windows\\System\\new.dll"), -3, true, false);
  EXPECT_FALSE(writer.WasRecordedShared("new.dll"));
}

TEST_F(InstallLogWriterTest, FilesOfADirectoryTheReinstallationMovesStayFindable) {
  const struct {
    const char* what;
    const char* earlierRoot;
    ProfileValues destinations;
    ProfileValues groups;
    ProfileValues program;
    ProfileValues kept;  // the section of the files left in the earlier directories
  } rows[] = {
      {"moved", "C:\\Old",
       {{"0", "Veltrane|-1|C:\\Velt\\"}, {"1", "Data|0|C:\\Velt\\Data\\"}, {"7", "Veltrane|-1|C:\\Old\\"},
        {"8", "Data|-1|C:\\Old\\Data\\"}, {"6", "Spare|-1|"}},
       {{"Program", "Program|Files|1|1|1"}, {"Program~7", "Program|Files|1|1|1"}},
       {{"shared.dll", "-3|1|0"}},
       {{"veltapp.exe", "7|1|0"}, {"samples.csv", "8|1|0"}}},
      {"the same directory in other letters", "c:\\velt",
       {{"0", "Veltrane|-1|C:\\Velt\\"}, {"1", "Data|0|C:\\Velt\\Data\\"}, {"6", "Spare|-1|"}},
       {{"Program", "Program|Files|1|1|1"}},
       {{"veltapp.exe", "0|1|0"}, {"shared.dll", "-3|1|0"}, {"samples.csv", "1|1|0"}},
       {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const CPathName log = Profile(std::string("[destinations]\n0=Veltrane|-1|") + row.earlierRoot +
                                  "\n1=Data|0|\n[groups]\nProgram=Program|Files|1|1|1\n"
                                  "[Program]\nveltapp.exe=0|1|0\nshared.dll=-3|1|0\nsamples.csv=1|1|0\n");
    CInstallLog installLog(log);
    CInstallLogWriter writer(installLog);
    writer.BeginRun(model);
    // The new run's record of a name does not overwrite the earlier one.
    writer.AddFile("Program", CPathName("C:\\Velt\\veltapp.exe"), 0, true, false);
    installLog.Save();
    EXPECT_EQ(row.destinations, ReadIniSection(log.GetPath(), "destinations"));
    EXPECT_EQ(row.groups, ReadIniSection(log.GetPath(), "groups"));
    ProfileValues program = row.program;
    if (row.kept.empty()) {
      program[0].second = "0|1|0";
    } else {
      program.emplace_back("veltapp.exe", "0|1|0");
    }
    EXPECT_EQ(program, ReadIniSection(log.GetPath(), "Program"));
    EXPECT_EQ(row.kept, ReadIniSection(log.GetPath(), "Program~7"));
  }
}
