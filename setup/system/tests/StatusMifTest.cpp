// The status report: which library is asked, the order in which the values
// reach it, and the event left in the install log when it cannot be sent.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"
#include "setup/log/InstallLog.h"
#include "setup/system/StatusMif.h"
#include "setup/profile/ProductIdentity.h"

namespace {

std::string BinFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\'));
}

std::vector<std::string> Lines(const std::string& file) {
  std::istringstream in(ReadFileBytes(file));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string EventsSection(const std::string& log) {
  char buffer[4096] = {};
  ::GetPrivateProfileSectionA("Events", buffer, sizeof buffer, log.c_str());
  std::string text;
  for (const char* p = buffer; *p; p += std::strlen(p) + 1) text += std::string(p) + "\n";
  return text;
}

// Which "ismif32.dll" the program can find: none, the recording one, or one
// without the entry point.
class StatusMifTest : public ::testing::Test {
protected:
  void SetUp() override {
    mifLog = dir / "mif.txt";
    installLog = CPathName(dir / "veltapp.log");
    ::SetEnvironmentVariableA("VELT_MIF_LOG", mifLog.c_str());
  }
  void TearDown() override {
    ::SetEnvironmentVariableA("VELT_MIF_LOG", nullptr);
    ::SetEnvironmentVariableA("VELT_MIF_RESULT", nullptr);
  }
  // The folders the library is looked for in: an empty one of the test's
  // own first, as the system directory would be, then the given one.
  void UseLibrary(const char* folder) { folders = {emptyFolder.path(), BinFolder() + "\\" + folder}; }

  TempDir emptyFolder;
  std::vector<std::string> folders = {emptyFolder.path()};
  TempDir dir;
  std::string mifLog;
  CPathName installLog;
};

}  // namespace

TEST_F(StatusMifTest, PassesTheValuesInTheLibrarysOrder) {
  UseLibrary("mif");
  EXPECT_TRUE(WriteStatusMif(folders, "veltapp", "Tarvo Inc.", "Veltrane", "2.0", "Successful installation.", true, "ENU",
                             nullptr));
  const std::vector<std::string> expected = {"veltapp", "Tarvo Inc.", "Veltrane", "2.0", "ENU",
                                             "(null)",  "Successful installation.", "1"};
  EXPECT_EQ(expected, Lines(mifLog));
}

TEST_F(StatusMifTest, FailsWhenTheLibraryOrItsEntryPointIsMissingOrItRefuses) {
  EXPECT_FALSE(WriteStatusMif(folders, "a", "b", "c", "d", "e", true, "f", nullptr)) << "no library";
  UseLibrary("mif-noentry");
  EXPECT_FALSE(WriteStatusMif(folders, "a", "b", "c", "d", "e", true, "f", nullptr)) << "no entry point";
  UseLibrary("mif");
  ::SetEnvironmentVariableA("VELT_MIF_RESULT", "0");
  EXPECT_FALSE(WriteStatusMif(folders, "a", "b", "c", "d", "e", true, "f", nullptr)) << "library answers FALSE";
  EXPECT_EQ(8u, Lines(mifLog).size()) << "the refusing library was still called once";
}

TEST_F(StatusMifTest, ReportsTheOutcomeUnderTheProgramsBaseName) {
  UseLibrary("mif");
  CProductIdentity korvel;
  korvel.named = true;
  korvel.name = "Korvel Atlas";
  korvel.key = "KorvelAtlas";
  korvel.program = "atlas.exe";
  korvel.version = "3.2";
  korvel.publisher = "Korvel Maps Ltd";
  struct Case {
    CProductIdentity product;
    bool succeeded;
    std::vector<std::string> expected;
  } cases[] = {
      {CProductIdentity::Builtin(), true,
       {"veltapp", "Tarvo Inc.", "Veltrane", "2.0", "ENU", "(null)", "Successful installation.", "1"}},
      {CProductIdentity::Builtin(), false,
       {"veltapp", "Tarvo Inc.", "Veltrane", "2.0", "ENU", "(null)", "Install failed.", "0"}},
      // A product the kit names is reported under its own name and maker.
      {korvel, true, {"atlas", "Korvel Maps Ltd", "Korvel Atlas", "3.2", "ENU", "(null)", "Successful installation.", "1"}},
  };
  for (const auto& c : cases) {
    ::DeleteFileA(mifLog.c_str());
    CInstallLog log(installLog);
    EXPECT_TRUE(SendStatusReport(c.product, c.succeeded, log, folders));
    EXPECT_EQ(c.expected, Lines(mifLog)) << c.product.name << ", succeeded " << c.succeeded;
  }
  EXPECT_EQ("", EventsSection(installLog.GetPath())) << "a report that was sent leaves no event";
}

TEST_F(StatusMifTest, AReportThatCannotBeSentLeavesOneEventInTheInstallLog) {
  struct Case {
    const char* library;  // null: none to be found
    const char* result;
  } cases[] = {{nullptr, nullptr}, {"mif-noentry", nullptr}, {"mif", "0"}};
  for (const auto& c : cases) {
    ::DeleteFileA(installLog.c_str());
    if (c.library) UseLibrary(c.library);
    ::SetEnvironmentVariableA("VELT_MIF_RESULT", c.result);
    CInstallLog log(installLog);
    EXPECT_FALSE(SendStatusReport(CProductIdentity::Builtin(), false, log, folders));
    const std::string events = EventsSection(installLog.GetPath());
    EXPECT_NE(std::string::npos, events.find("=Could not write SMS status.\n")) << events;
    EXPECT_EQ(1, std::count(events.begin(), events.end(), '\n')) << events;
  }
}
