// A whole installation's worth of data model and install log: a realistic
// profile (a chain of destinations, three groups, program items, two
// diskettes) is loaded, resolved and selected as the setup program does,
// the copy's records are written as the copy engine writes them, then the
// data model; and the log is read back the way a removal reads it.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "setup/log/InstallLog.h"
#include "setup/profile/InstallModel.h"
#include "setup/transfer/SourceMedia.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TempDir.h"

namespace {

const char kProfile[] =
    "[destinations]\r\n"
    "2=Samples|1|\r\n"  // stands before its parent
    "1=Data|0|\r\n"
    "0=Veltrane|-1|C:\\Program Files\\Veltrane\r\n"
    "3=Help|0|\r\n"
    "4=Tarvo|-1|C:\\Program Files\\Tarvo\r\n"
    "[groups]\r\n"
    "Program=Program files|Veltrane and its shared library|1|1|1\r\n"
    "Help=Help|Help text and read-me|0|1|1\r\n"
    "Samples=Samples|Sample data sets|0|0|1\r\n"
    "[Program]\r\n"
    "veltapp.exe=61440|0|1|1|0|\r\n"
    "veltsh32.dll=24576|0|1|1|-3|\r\n"
    "veltdata.mf1=98304|1|2|-1|1|continues on diskette 2\r\n"
    "[Help]\r\n"
    "veltapp.txt=2048|0|1|2|3|\r\n"
    "README=1024|0|1|1|3|\r\n"
    "[Samples]\r\n"
    "samples.csv=40960|0|1|2|2|\r\n"
    "[targets]\r\n"
    "VELTAPP.EXE=0|0|0|Veltrane|||\r\n"
    "veltapp.txt=0|0|0|Veltrane Help|||\r\n"
    "samples.csv=0|0|0|Veltrane Samples|/open||\r\n"
    "[PMGroup]\r\n"
    "PMGroup=Veltrane 2.0\r\n"
    "[diskettes]\r\n"
    "1=Veltrane Disk 1|\r\n"
    "2=Veltrane Disk 2|\r\n";

// What the copy engine does with one file: log the outcome and give the
// program item of the file its program path.
void Install(CInstallModel& model, const CPathName& log, const CFileEntry& entry, const std::string& name,
             std::int16_t destinationId, bool placed, bool replaced) {
  CPathName finalPath = model.destinations.GetPath(destinationId);
  finalPath.SetFileName(name);
  LogInstalledFile(log, entry.group->key, finalPath, destinationId, placed, replaced);
  if (CTarget* target = model.targets.Find(name)) target->programPath = finalPath;
}

std::string Text(const CPathName& file) {
  std::string text;
  for (char c : ReadFileBytes(file.GetPath())) {
    if (c != '\r') text += c;
  }
  return text;
}

class SampleInstallationTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(WriteFileBytes(profile.GetPath(), kProfile));
    int steps = 0;
    model.Load(profile, media, [&steps] { ++steps; });
    EXPECT_EQ(5, steps);
    // The Reading page selects the default setup type; the user confirms the
    // main directory.
    model.groups.SelectBySetupType(2);
    model.destinations.SetPath(0, "C:\\Program Files\\Veltrane");
    model.destinations.Resolve();

    // The copy: every selected entry in list order; the archive's two
    // members go to destination 1; the shared library replaces an older copy.
    for (const auto& entry : model.files) {
      if (!entry->IsSelected()) continue;
      copied.push_back(entry->GetFileName());
      if (entry->kind == CFileEntry::archive) {
        Install(model, log, *entry, "veltdata.dat", 1, true, false);
        Install(model, log, *entry, "veltdata.idx", 1, true, false);
      } else {
        Install(model, log, *entry, entry->GetFileName(), entry->destinationId, true,
                entry->destinationId == -3);
      }
    }
    model.SaveToLog(log);
  }

  TempDir dir;
  CPathName profile{dir / "_setupx.ini"};
  CPathName log{dir / "veltapp.log"};
  CSourceMedia media{CPathName(dir.path() + "\\")};
  CInstallModel model{"Veltrane"};
  std::vector<std::string> copied;
};

const char kExpectedLog[] =
    "[Program]\n"
    "veltapp.exe=0|1|0\n"
    "veltsh32.dll=-3|1|1\n"
    "veltdata.dat=1|1|0\n"
    "veltdata.idx=1|1|0\n"
    "[Help]\n"
    "README=3|1|0\n"
    "veltapp.txt=3|1|0\n"
    "[destinations]\n"
    "2=Samples|1|C:\\Program Files\\Veltrane\\Data\\Samples\\\n"
    "1=Data|0|C:\\Program Files\\Veltrane\\Data\\\n"
    "0=Veltrane|-1|C:\\Program Files\\Veltrane\\\n"
    "3=Help|0|C:\\Program Files\\Veltrane\\Help\\\n"
    "4=Tarvo|-1|C:\\Program Files\\Tarvo\\\n"
    "[groups]\n"
    "Program=Program files|Veltrane and its shared library|1|1|1\n"
    "Help=Help|Help text and read-me|0|1|1\n"
    "Samples=Samples|Sample data sets|0|0|1\n"
    "[PMGroup]\n"
    "PMGroup=Veltrane 2.0\n"
    "[targets]\n"
    "veltapp.exe=0|0|0|Veltrane|||C:\\Program Files\\Veltrane\\veltapp.exe\n"
    "veltapp.txt=0|0|0|Veltrane Help|||C:\\Program Files\\Veltrane\\Help\\veltapp.txt\n";

}  // namespace

TEST_F(SampleInstallationTest, CopiesInDisketteOrderAndWritesTheLog) {
  // Diskette 1 unmarked, diskette 1 marked (the archive that goes on to
  // diskette 2), then diskette 2; the Samples group is not selected.
  EXPECT_EQ((std::vector<std::string>{"veltapp.exe", "veltsh32.dll", "README", "veltdata.mf1", "veltapp.txt"}),
            copied);
  EXPECT_EQ("Veltrane Disk 2", model.diskettes.GetLabel(2));
  EXPECT_EQ(61440 + 24576 + 2048 + 1024 + 98304, model.files.RequiredSpace(0, false));

  const std::string text = Text(log);
  EXPECT_EQ(kExpectedLog, text);
  std::cout << "---- veltapp.log ----\n" << text << "---------------------\n";
}

TEST_F(SampleInstallationTest, TheLogLoadsBackIntoTheSameModel) {
  // Remove mode: the same loaders read the log.
  CInstallModel back{"Veltrane"};
  back.Load(log, media);

  std::vector<std::string> before, after;
  for (const auto& d : model.destinations) {
    if (d->id >= 0) before.push_back(std::to_string(d->id) + "=" + d->FormatRecord());
  }
  for (const auto& d : back.destinations) {
    if (d->id >= 0) after.push_back(std::to_string(d->id) + "=" + d->FormatRecord());
  }
  EXPECT_EQ(before, after);

  before.clear();
  after.clear();
  for (const auto& g : model.groups) before.push_back(g->key + "=" + g->FormatRecord());
  for (const auto& g : back.groups) after.push_back(g->key + "=" + g->FormatRecord());
  EXPECT_EQ(before, after);

  EXPECT_EQ("Veltrane 2.0", back.programFolder);
  before.clear();
  after.clear();
  for (const auto& t : model.targets) {
    if (!t.target->programPath.IsEmpty()) before.push_back(t.tableKey + "=" + t.target->FormatRecord());
  }
  for (const auto& t : back.targets) after.push_back(t.tableKey + "=" + t.target->FormatRecord());
  EXPECT_EQ(before, after);
  EXPECT_NE(nullptr, back.targets.Find("VELTAPP.EXE"));

  // Written again, the model gives the same sections.
  const CPathName first(dir / "first.log"), second(dir / "second.log");
  model.SaveToLog(first);
  back.SaveToLog(second);
  EXPECT_EQ(Text(first), Text(second));

  // The removal finds every installed file through the groups of the log.
  std::vector<std::string> files;
  for (const auto& g : back.groups) {
    for (const auto& [name, record] : ReadInstalledFiles(log, g->key)) {
      files.push_back(g->key + ":" + name + "=" + record.Format());
    }
  }
  EXPECT_EQ((std::vector<std::string>{"Program:veltapp.exe=0|1|0", "Program:veltsh32.dll=-3|1|1",
                                      "Program:veltdata.dat=1|1|0", "Program:veltdata.idx=1|1|0",
                                      "Help:README=3|1|0", "Help:veltapp.txt=3|1|0"}),
            files);
}
