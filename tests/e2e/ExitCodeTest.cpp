// The exit code of the setup program as a deployment script reads it: one
// row per way a run ends, installing from kits the kit builder makes or
// removing, in batch mode or walked as a user walks it. Batch runs still
// show their questions and error dialogs; the rows answer them as a user
// would.
#include <functional>
#include <ostream>

#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

class ExitCodeTest;

struct ExitCodeRow {
  const char* name;
  // Starts the program and drives it until it should end by itself.
  void (ExitCodeTest::*run)();
  DWORD code;
};

void PrintTo(const ExitCodeRow& row, std::ostream* out) { *out << row.name; }


class ExitCodeTest : public FreshMachineSetupTest, public ::testing::WithParamInterface<ExitCodeRow> {
public:
  void TearDown() override {
    FreshMachineSetupTest::TearDown();
    held.reset();
    if (!createdDefaultDirectory.empty()) RemoveTree(createdDefaultDirectory);
  }

  // /B on a machine where the proposed directory does not exist yet: the
  // walk creates it and goes to the end by itself.
  void BatchInstallIntoAMissingDefaultDirectory() {
    const std::string programFiles = ReadString(HKEY_LOCAL_MACHINE, kWindowsKey, "ProgramFilesDir").value_or("");
    ASSERT_FALSE(programFiles.empty());
    const std::string target = programFiles + "\\Veltrane";
    if (::GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << target << " exists already";
    // The User Information page needs a name to go on.
    windowsOwner.emplace(HKEY_LOCAL_MACHINE, kWindowsKey, "RegisteredOwner", "Batch User");
    ntOwner.emplace(HKEY_LOCAL_MACHINE, kWindowsNtKey, "RegisteredOwner", "Batch User");
    const std::string kitDir = BuildKit(work, SmallProduct(), "cd", 2000000);
    createdDefaultDirectory = target;
    Start("/B", kitDir + "\\DISK01\\_setupx.exe");
    afterExit = [this, target] {
      EXPECT_EQ("Read me.\r\n", ReadFileBytes(target + "\\readme.txt"));
      EXPECT_EQ("1|1|0", ReadString(logPath, "Data", "samples.csv"));
    };
  }

  // An older copy of a file held open: the new one replaces it at the
  // restart, and the user chooses Don't Restart.
  void AFileInUseWaitsForTheRestart() {
    const std::string kitDir = BuildKit(work, SmallProduct(), "cd", 2000000);
    const std::string target = work / "Veltrane";
    ASSERT_TRUE(::CreateDirectoryA(target.c_str(), nullptr));
    held = HoldOlderCopy(target + "\\readme.txt", "old");
    ASSERT_TRUE(held.valid());

    Start({}, kitDir + "\\DISK01\\_setupx.exe");
    HWND ready = WalkToReadyToCopy(target, false, true);
    ASSERT_NE(nullptr, ready);
    Press(ready, "&Copy");
    ASSERT_TRUE(PressOn(kRestart, "&Don't Restart", 60000));
    afterExit = [this] {
      held.reset();
      // The restart that the replacement waits for: it leaves no rename
      // pending for later runs.
      CompletePendingRenames();
    };
  }

  // A member of an archive is damaged on the media; the error dialog is
  // answered Cancel Operation.
  void ADamagedArchiveMemberAndCancelOperation() {
    const std::string kitDir = BuildKit(work, SmallProduct(), "cd", 2000000);
    const std::string archive = kitDir + "\\DISK01\\velt.ar1";
    DamageTheMiddleOf(archive);
    if (HasFatalFailure()) return;

    Start({}, kitDir + "\\DISK01\\_setupx.exe");
    HWND ready = WalkToReadyToCopy(work / "Veltrane");
    ASSERT_NE(nullptr, ready);
    Press(ready, "&Copy");
    HWND error = setup.WaitForWindow({"Warning", "#32770", "Cannot install files from"}, 60000);
    ASSERT_NE(nullptr, error) << DescribeWindows();
    Press(error, "Cancel Operation");
    ASSERT_TRUE(PressOn(kFailed, "&OK"));
  }

  void CancelOnTheWelcomePage() {
    HWND failed = CancelToTheFailurePage();
    ASSERT_NE(nullptr, failed);
    Press(failed, "&OK");
  }

  void NoToTheAlreadyInstalledQuestion() {
    WriteString(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr, exe);
    Start();
    Answer("Veltrane appears to be already installed", IDNO);
  }

  // The small kit installed, then removed again with /U.
  void RemovalThatSucceeds() {
    Start();
    HWND ready = WalkToReadyToCopy(kit / "Veltrane");
    ASSERT_NE(nullptr, ready);
    Press(ready, "&Copy");
    ASSERT_TRUE(PressOn(kFinished, "Finished"));
    ExpectExitCode(0);

    Start("/U");
    ASSERT_TRUE(PressOn(kRemoveConfirm, "&Next >"));
    ASSERT_TRUE(PressOn(kRemoved, "&OK", 60000));
  }

  // /U where no install log is (the fixture has put it aside).
  void RemovalWithoutALog() {
    Start("/U");
    ASSERT_TRUE(PressOn(kRemoveConfirm, "&Next >"));
    HWND error = Expect(kErrorDialog);
    ASSERT_NE(nullptr, error);
    ui::AnswerDialog(error, IDOK);
    ASSERT_TRUE(PressOn(kNotRemoved, "&OK"));
  }

  // Run after the exit code was read.
  std::function<void()> afterExit;

protected:
  TempDir work;
  CHandle held;
  std::string createdDefaultDirectory;
  std::optional<testreg::ScopedStringValue> windowsOwner;
  std::optional<testreg::ScopedStringValue> ntOwner;
  ShortcutGuard kitShortcut{kKitProgramGroup, "Veltrane Kit Test.lnk"};
};

TEST_P(ExitCodeTest, TellsTheScriptHowTheRunEnded) {
  (this->*GetParam().run)();
  if (HasFatalFailure() || IsSkipped()) return;
  ExpectExitCode(GetParam().code, 60000);
  if (afterExit) afterExit();
}

const ExitCodeRow kRows[] = {
    {"BatchInstallIntoAMissingDefaultDirectory", &ExitCodeTest::BatchInstallIntoAMissingDefaultDirectory, 0},
    {"AFileInUseWaitsForTheRestart", &ExitCodeTest::AFileInUseWaitsForTheRestart, 3010},
    {"ADamagedArchiveMemberAndCancelOperation", &ExitCodeTest::ADamagedArchiveMemberAndCancelOperation, 1603},
    {"CancelOnTheWelcomePage", &ExitCodeTest::CancelOnTheWelcomePage, 1602},
    {"NoToTheAlreadyInstalledQuestion", &ExitCodeTest::NoToTheAlreadyInstalledQuestion, 1602},
    {"RemovalThatSucceeds", &ExitCodeTest::RemovalThatSucceeds, 0},
    {"RemovalWithoutALog", &ExitCodeTest::RemovalWithoutALog, 1603},
};

INSTANTIATE_TEST_SUITE_P(Runs, ExitCodeTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<ExitCodeRow>& row) { return std::string(row.param.name); });

}  // namespace
