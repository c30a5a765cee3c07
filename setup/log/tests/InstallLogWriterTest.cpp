// The install log writer: the model's sections after a copy that went
// through and after one that stopped, the file records, the events, and
// nothing at all without a log path.
#include <gtest/gtest.h>

#include <string>

#include "setup/log/InstallLogWriter.h"
#include "setup/profile/InstallModel.h"
#include "setup/profile/tests/ProfileFixture.h"

namespace {

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
    CInstallLogWriter writer(log);
    (writer.*row.write)(model);
    EXPECT_EQ(row.text, Text(log)) << row.what;
  }
}

TEST_F(InstallLogWriterTest, FileRecordsAreInTheLogBeforeTheSectionsAndEventsGoToTheirOwnSection) {
  const CPathName log = NewFile("veltapp.log");
  CInstallLogWriter writer(log);
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
  CInstallLogWriter writer{CPathName()};
  writer.AddFile("Program", CPathName("C:\\Velt\\veltapp.exe"), 0, true, false);
  writer.FlushFiles();
  writer.WriteModel(model);
  writer.Event("nothing");
  for (const char* section : {"Program", "destinations", "groups", "targets"}) {
    char value[64] = {};
    ::GetProfileStringA(section, nullptr, "", value, sizeof value);
    EXPECT_STREQ("", value) << section << " written to win.ini";
  }
}
