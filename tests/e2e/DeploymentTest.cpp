// Deployment as software-distribution tools run it: the real setup program
// started silently from kits the kit builder makes, several runs on one
// machine, the product in use while it is removed, the uninstall entry's
// figures as inventory tools read them, and the verbose logs an
// administrator reads afterwards.
#include <algorithm>

#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

// The product's lock, as the setup program names it on Windows 2000 and
// later.
const char kRunLock[] = "Global\\Veltrane Setup";

class DeploymentTest : public FreshMachineSetupTest {
protected:
  void TearDown() override {
    other.Kill();
    FreshMachineSetupTest::TearDown();
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
  }

  // A product of many files (as the deployments that ran into each other
  // had), so that a run lasts long enough for another to start meanwhile.
  static std::vector<ProductFile> ManyFiles(int count) {
    std::vector<ProductFile> files = SmallProduct();
    for (int n = 0; n < count; ++n) {
      files.push_back({"part" + std::to_string(n) + ".dat", "Data", 1, "many.ar1", Noise(3000 + 37 * n, n)});
    }
    return files;
  }

  // Builds the kit of files for a CD; setupProgram is its setup program.
  void BuildCdKit(const std::vector<ProductFile>& files) {
    setupProgram = BuildKit(work, files, "cd", 50000000) + "\\DISK01\\_setupx.exe";
  }

  // The command line of a silent installation into target, with its own
  // verbose log (name: a file of work).
  std::string SilentInstall(const std::string& logName) const {
    return "/S /L:\"" + (work / logName) + "\" /T:\"" + target + "\" /N:Deployer";
  }

  static std::optional<DWORD> ExitOf(const ui::Process& process, DWORD timeoutMs = 120000) {
    return process.WaitForExit(timeoutMs);
  }

  // The file records of the install log, in every group.
  std::size_t RecordsInTheLog() const {
    return ReadIniSection(logPath, "Program").size() + ReadIniSection(logPath, "Data").size();
  }

  bool FileHas(const std::string& path, const std::string& text) const {
    return ReadFileBytes(path).find(text) != std::string::npos;
  }

  TempDir work;
  const std::string target = work / "Velt Rane";
  std::string setupProgram;
  ui::Process other;
  ShortcutGuard kitShortcut{kKitProgramGroup, "Veltrane Kit Test.lnk"};
};

// Another run holds the lock (the test holds it, as a run would): every
// kind of run ends at once with 1618, the interactive and batch ones after
// the message box, having made no other window and written nothing but
// their own verbose log.
TEST_F(DeploymentTest, ARunThatFindsTheLockHeldEndsAtOnceWith1618) {
  const CHandle lock(::CreateMutexA(nullptr, TRUE, kRunLock));
  ASSERT_TRUE(lock.valid());
  ASSERT_NE(ERROR_ALREADY_EXISTS, ::GetLastError()) << "no run of the setup program may be left running";
  const struct {
    const char* switches;
    bool messageBox;
  } rows[] = {{"", true}, {"/B", true}, {"/U", true}, {"/S", false}, {"/U /S", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.switches);
    const std::string verboseLog = work / "busy.log";
    ::DeleteFileA(verboseLog.c_str());
    Start(std::string(row.switches) + " /L:\"" + verboseLog + "\"");
    if (row.messageBox) {
      const std::optional<ui::MessageBoxInfo> box =
          ui::WaitForMessageBox(setup, ui::kDefaultTimeout, "Another Veltrane setup is running");
      ASSERT_TRUE(box.has_value()) << DescribeWindows();
      EXPECT_EQ(kAppTitle, box->caption);
      EXPECT_EQ(1u, setup.Windows().size()) << "only the message box: " << DescribeWindows();
      ui::AnswerDialog(box->box, IDOK);
    }
    ExpectExitCode(1618);
    EXPECT_TRUE(FileHas(verboseLog, "Another run of Setup holds the lock \"" + std::string(kRunLock) + "\""))
        << ReadFileBytes(verboseLog);
    EXPECT_TRUE(FileHas(verboseLog, "exit code 1618 (another run of Setup is in progress)"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(logPath.c_str())) << "the install log is not touched";
  }
}

// Two runs started at the same moment, as a deployment tool that retries
// too soon starts them: one does the work, the other ends at once with
// 1618 and leaves the first one's log whole.
TEST_F(DeploymentTest, OfTwoInstallationsStartedAtOnceOneEndsWith1618AndTheLogStaysWhole) {
  const std::vector<ProductFile> files = ManyFiles(150);
  BuildCdKit(files);
  Start(SilentInstall("first.log"), setupProgram);
  other = ui::Process::Start(setupProgram, SilentInstall("second.log"), WindowsDirectory());
  ASSERT_TRUE(other.started());
  const DWORD otherStarted = ::GetTickCount();
  const std::optional<DWORD> first = ExitOf(setup);
  const std::optional<DWORD> second = ExitOf(other);
  ASSERT_TRUE(first && second);
  EXPECT_EQ((std::vector<DWORD>{0, 1618}), (std::vector<DWORD>{std::min(*first, *second), std::max(*first, *second)}));
  if (*second == 1618) {
    EXPECT_LT(::GetTickCount() - otherStarted, ui::Stretched(10000)) << "the second run ends at once";
  }
  // The kit's files and the setup program that the kit builder adds.
  EXPECT_EQ(files.size() + 1, RecordsInTheLog()) << "every file recorded once";

  Start("/U /S", setupProgram);
  ExpectExitCode(0, 120000);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(target.c_str()))
      << "the removal took everything; left: " << ::testing::PrintToString(ListFolder(target));
}

TEST_F(DeploymentTest, AnInstallationStartedDuringARemovalEndsWith1618) {
  BuildCdKit(SmallProduct());
  Start(SilentInstall("install.log"), setupProgram);
  ExpectExitCode(0, 120000);

  // The removal holds the lock from its start: while it waits for the
  // user on its first page, too.
  Start("/U", setupProgram);
  HWND confirm = Expect(kRemoveConfirm);
  ASSERT_NE(nullptr, confirm);
  other = ui::Process::Start(setupProgram, SilentInstall("install-again.log"), WindowsDirectory());
  ASSERT_TRUE(other.started());
  EXPECT_EQ(std::optional<DWORD>(1618), ExitOf(other));
  Press(confirm, "&Next >");
  ASSERT_TRUE(PressOn(kRemoved, "&OK", 60000));
  ExpectExitCode(0);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(target.c_str()))
      << "the removal took everything; left: " << ::testing::PrintToString(ListFolder(target));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(logPath.c_str())) << "and its log";
}

}  // namespace
