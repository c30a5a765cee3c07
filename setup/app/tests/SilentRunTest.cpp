// A silent run with nobody at the screen: every message box and modal
// dialog gets its fixed answer without a window coming up, and the verbose
// log tells what would have been asked or shown and what was answered.
#include <gtest/gtest.h>

#include <string>

#include "SetupAppFixture.h"
#include "framework/Exception.h"
#include "framework/WinApp.h"
#include "setup/app/CommandLineArgs.h"
#include "setup/errors/ErrorReport.h"
#include "setup/wizard/InsufficientDiskSpaceDialog.h"
#include "setup/resources/ResourceIds.h"
#include "setup/wizard/InsertDisketteDialog.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

class SilentRunTest : public SetupAppFixture {
protected:
  void SetUp() override {
    app.silentMode = app.batchMode = true;
    ASSERT_TRUE(app.verboseLog.Open(logFile));
  }
  bool LogHas(const std::string& text) const { return ReadFileBytes(logFile).find(text) != std::string::npos; }

  TempDir dir;
  const std::string logFile = dir / "setup log.txt";
};

TEST_F(SilentRunTest, MessageBoxesGetTheirFixedAnswersUnseen) {
  const struct {
    UINT type;
    int answer;
    const char* logged;
  } rows[] = {
      {MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, IDYES, "Answer: Yes"},
      {MB_YESNOCANCEL, IDYES, "Answer: Yes"},
      {MB_OKCANCEL, IDCANCEL, "Answer: Cancel"},
      {MB_RETRYCANCEL, IDCANCEL, "Answer: Cancel"},
      {MB_ABORTRETRYIGNORE, IDABORT, "Answer: Abort"},
      {MB_OK | MB_ICONSTOP, IDOK, "Message not shown (silent run)"},
  };
  int n = 0;
  for (const auto& row : rows) {
    const std::string text = "Box " + std::to_string(++n);
    EXPECT_EQ(row.answer, AfxMessageBox(text, row.type)) << text;
    EXPECT_TRUE(LogHas("\"" + text + "\"" + (row.answer == IDOK ? "" : std::string(" ") + row.logged))) << text;
  }
}

TEST_F(SilentRunTest, ErrorsAndPromptsAreAnsweredAndLoggedWithWhatTheyWouldShow) {
  const CFileException full(CFileException::diskFull, ERROR_DISK_FULL, "C:\\Velt\\big.bin");
  EXPECT_FALSE(AskContinueAfterError(IDS_CANNOT_INSTALL_FILES, full, "data.ar1")) << "Cancel Operation";
  EXPECT_TRUE(LogHas("Error: Cannot install files from 'data.ar1':"));
  EXPECT_TRUE(LogHas("Concerns: C:\\Velt\\big.bin"));
  EXPECT_TRUE(LogHas(std::to_string(IDS_CANNOT_INSTALL_FILES) + ".13 (CXFileException) Answer: Cancel Operation"));

  CInsertDisketteDialog diskette(CPathName("A:\\data.ar2"), 2, "Veltrane Disk 2");
  EXPECT_EQ(IDCANCEL, diskette.DoModal());
  EXPECT_TRUE(LogHas("'Veltrane Disk 2'"));
  EXPECT_TRUE(LogHas("A:\\data.ar2"));

  CInsufficientDiskSpaceDialog space(CPathName("C:\\Velt\\"), 5000000, 1234);
  EXPECT_EQ(IDOK, space.DoModal());
  EXPECT_TRUE(LogHas("bytes required: 5000000, bytes available: 1234"));
}

TEST_F(SetupAppFixture, WithoutAVerboseLogNothingIsWrittenAndABadLogPathEndsTheRun) {
  TempDir dir;
  app.silentMode = app.batchMode = true;
  app.logPath = CPathName(dir / "veltapp.log");
  EXPECT_TRUE(app.OpenVerboseLog(CCommandLineArgs("/S")));
  EXPECT_FALSE(app.verboseLog.IsOpen());
  // A folder that does not exist cannot hold the log: the run must not go
  // on without the record it was asked for, and the install log says why.
  EXPECT_FALSE(app.OpenVerboseLog(CCommandLineArgs("/S /L:\"" + (dir / "missing\\setup.log") + "\"")));
  EXPECT_FALSE(app.verboseLog.IsOpen());
  const auto events = ReadIniSection(dir / "veltapp.log", "Events");
  ASSERT_EQ(1u, events.size());
  EXPECT_EQ("Could not make the verbose log " + (dir / "missing\\setup.log") +
                ": the folder does not exist (error 3)",
            events[0].second);
  EXPECT_TRUE(app.OpenVerboseLog(CCommandLineArgs("/S /L:\"" + (dir / "setup.log") + "\"")));
  const std::string text = ReadFileBytes(dir / "setup.log");
  EXPECT_NE(std::string::npos, text.find("Mode: install, silent (/S)")) << text;
}

}  // namespace
