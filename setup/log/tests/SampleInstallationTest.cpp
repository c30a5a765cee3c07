// A whole installation's worth of data model and install log: a realistic
// profile (a chain of destinations, three groups, program items, two
// diskettes, an archive that goes on from one diskette to the next) is
// loaded, resolved and selected as the setup program does, the copy engine
// installs the selected files from a distribution of the test's own, the
// data model is written; and the log is read back the way a removal reads
// it.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "setup/log/InstallLog.h"
#include "setup/log/InstallLogWriter.h"
#include "setup/log/InstalledFileRecord.h"
#include "setup/profile/IniTextFile.h"
#include "setup/profile/InstallModel.h"
#include "setup/install/InstallFileEntry.h"
#include "setup/system/SharedDllCounter.h"
#include "setup/archive/SourceMedia.h"
#include "setup/archive/tests/ArchiveBytes.h"
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
    "veltsh32_sample.dll=24576|0|1|1|-3|\r\n"
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

std::string Text(const CPathName& file) {
  std::string text;
  for (char c : ReadFileBytes(file.GetPath())) {
    if (c != '\r') text += c;
  }
  return text;
}

std::string Bytes(std::size_t size, char seed) {
  std::string out(size, '\0');
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<char>(seed + i * 7 % 61);
  return out;
}

// Replaces every "<dir>" of text with dir.
std::string WithDirectory(std::string text, const std::string& dir) {
  for (std::size_t at; (at = text.find("<dir>")) != std::string::npos;) text.replace(at, 5, dir);
  return text;
}

// The copy page's part: nobody stops the copy, and an error ends it.
class Unattended : public CInstallPolicy {
public:
  bool StopRequested() override { return false; }
  bool AskContinueAfterError(const CException& e, const std::string& fileName) override {
    ADD_FAILURE() << fileName << ": " << e.GetRuntimeClassName();
    return false;
  }
};

class SampleInstallationTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(WriteFileBytes(profile.GetPath(), kProfile));
    WriteDistribution();
    // An older copy of the shared library is already in the System
    // directory, counted once by another product.
    ASSERT_TRUE(WriteFileBytes(sharedPath.GetPath(), "older shared library"));
    ASSERT_TRUE(SetModificationTime(sharedPath.GetPath(), 820454400));
    { CSharedDllCounter(sharedPath).Increment(); }

    int steps = 0;
    model.Load(profile, [&steps] { ++steps; });
    EXPECT_EQ(5, steps);
    // The Reading page selects the default setup type; the user confirms the
    // main directory.
    model.groups.SelectBySetupType(2);
    model.destinations.SetPath(0, dir / "Veltrane");
    model.destinations.Resolve();

    // The copy: every selected entry in list order, as the copy page does.
    CQuietInstallDisplay display;
    Unattended policy;
    CInstallLog installLog(log);
    CInstallLogWriter writer(installLog);
    CInstallContext context{media, model.destinations, model.targets, writer, display, policy};
    for (const auto& entry : model.files) {
      if (!entry->IsSelected()) continue;
      copied.push_back(entry->GetFileName());
      const CInstallOutcome outcome = InstallFileEntry(*entry, context);
      EXPECT_EQ(CopyStop::none, outcome.stop) << entry->GetFileName();
      EXPECT_FALSE(outcome.restartNeeded) << entry->GetFileName();
    }
    writer.WriteModel(model);
  }

  void TearDown() override {
    sharedPath.Delete(true);
    CSharedDllCounter counter(sharedPath);
    while (counter.GetCount() > 0) counter.Decrement();
  }

  void WriteDistribution() {
    const std::string source = dir.path() + "\\";
    ASSERT_TRUE(WriteFileBytes(source + "veltapp.exe", Bytes(61440, 'a')));
    ASSERT_TRUE(WriteFileBytes(source + "veltsh32_sample.dll", Bytes(24576, 'b')));
    ASSERT_TRUE(WriteFileBytes(source + "veltapp.txt", Bytes(2048, 'c')));
    ASSERT_TRUE(WriteFileBytes(source + "README", Bytes(1024, 'd')));
    ASSERT_TRUE(WriteFileBytes(source + "samples.csv", Bytes(40960, 'e')));
    // Two stored members; the first one's data goes on in the second part.
    archive_bytes::Member data{"veltdata.dat", Bytes(90000, 'f'), 2};
    data.destination = 1;
    data.continued = 1;
    archive_bytes::Member index{"veltdata.idx", Bytes(8304, 'g'), 2};
    index.destination = 1;
    const auto parts = archive_bytes::Split(archive_bytes::Archive({data, index}), {346 + 50000});
    WriteFileBytes(source + "veltdata.mf1", parts[0]);
    WriteFileBytes(source + "veltdata.mf2", parts[1]);
  }

  TempDir dir;
  CPathName profile{dir / "_setupx.ini"};
  CPathName log{dir / "veltapp.log"};
  CPathName sharedPath = [] {
    CPathName path(SpecialDirectory::system);
    path.SetFileName("veltsh32_sample.dll");
    return path;
  }();
  CSourceMedia media{CPathName(dir.path() + "\\")};
  CInstallModel model{"Veltrane"};
  std::vector<std::string> copied;
};

const char kExpectedLog[] =
    "[Program]\n"
    "veltapp.exe=0|1|0\n"
    "veltsh32_sample.dll=-3|1|1\n"
    "veltdata.dat=1|1|0\n"
    "veltdata.idx=1|1|0\n"
    "[Help]\n"
    "README=3|1|0\n"
    "veltapp.txt=3|1|0\n"
    "[destinations]\n"
    "2=Samples|1|<dir>\\Veltrane\\Data\\Samples\\\n"
    "1=Data|0|<dir>\\Veltrane\\Data\\\n"
    "0=Veltrane|-1|<dir>\\Veltrane\\\n"
    "3=Help|0|<dir>\\Veltrane\\Help\\\n"
    "4=Tarvo|-1|C:\\Program Files\\Tarvo\\\n"
    "[groups]\n"
    "Program=Program files|Veltrane and its shared library|1|1|1\n"
    "Help=Help|Help text and read-me|0|1|1\n"
    "Samples=Samples|Sample data sets|0|0|1\n"
    "[PMGroup]\n"
    "PMGroup=Veltrane 2.0\n"
    "[targets]\n"
    "veltapp.exe=0|0|0|Veltrane|||<dir>\\Veltrane\\veltapp.exe\n"
    "veltapp.txt=0|0|0|Veltrane Help|||<dir>\\Veltrane\\Help\\veltapp.txt\n";

}  // namespace

TEST_F(SampleInstallationTest, CopiesInDisketteOrderAndWritesTheLog) {
  // Diskette 1 unmarked, diskette 1 marked (the archive that goes on to
  // diskette 2), then diskette 2; the Samples group is not selected.
  EXPECT_EQ((std::vector<std::string>{"veltapp.exe", "veltsh32_sample.dll", "README", "veltdata.mf1", "veltapp.txt"}),
            copied);
  EXPECT_EQ("Veltrane Disk 2", model.diskettes.GetLabel(2));
  EXPECT_EQ(61440 + 24576 + 2048 + 1024 + 98304, model.files.RequiredSpace(0, false));

  const std::string text = Text(log);
  EXPECT_EQ(WithDirectory(kExpectedLog, dir.path()), text);

  // Every installed file holds what the distribution gave; the archive's
  // first member was read across both parts.
  EXPECT_EQ(Bytes(61440, 'a'), ReadFileBytes(dir / "Veltrane\\veltapp.exe"));
  EXPECT_EQ(Bytes(24576, 'b'), ReadFileBytes(sharedPath.GetPath()));
  EXPECT_EQ(Bytes(90000, 'f'), ReadFileBytes(dir / "Veltrane\\Data\\veltdata.dat"));
  EXPECT_EQ(Bytes(8304, 'g'), ReadFileBytes(dir / "Veltrane\\Data\\veltdata.idx"));
  EXPECT_EQ(Bytes(1024, 'd'), ReadFileBytes(dir / "Veltrane\\Help\\README"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((dir / "Veltrane\\Data\\Samples").c_str()))
      << "the Samples group was not selected";
  EXPECT_EQ(2u, CSharedDllCounter(sharedPath).GetCount()) << "counted by this installation too";
  std::cout << "---- veltapp.log ----\n" << text << "---------------------\n";
}

TEST_F(SampleInstallationTest, TheLogLoadsBackIntoTheSameModel) {
  // Remove mode: the same loaders read the log.
  CInstallModel back{"Veltrane"};
  back.Load(log);

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
  CInstallLog firstLog(first), secondLog(second);
  CInstallLogWriter(firstLog).WriteModel(model);
  CInstallLogWriter(secondLog).WriteModel(back);
  EXPECT_EQ(Text(first), Text(second));

  // The removal finds every installed file through the groups of the log.
  std::vector<std::string> files;
  for (const auto& g : back.groups) {
    for (const auto& [name, record] : ReadInstalledFiles(ReadIniTextFile(log), g->key)) {
      files.push_back(g->key + ":" + name + "=" + record.Format());
    }
  }
  EXPECT_EQ((std::vector<std::string>{"Program:veltapp.exe=0|1|0", "Program:veltsh32_sample.dll=-3|1|1",
                                      "Program:veltdata.dat=1|1|0", "Program:veltdata.idx=1|1|0",
                                      "Help:README=3|1|0", "Help:veltapp.txt=3|1|0"}),
            files);
}
