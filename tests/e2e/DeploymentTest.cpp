// Deployment as software-distribution tools run it: the real setup program
// started silently from kits the kit builder makes, several runs on one
// machine, the product in use while it is removed, the uninstall entry's
// figures as inventory tools read them, and the verbose logs an
// administrator reads afterwards.
#include <algorithm>
#include <cstdio>

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

// The program of the product runs (with its library loaded) while the
// product is removed: both are deleted at the restart, the directory after
// them, and the removal says so with 3010.
TEST_F(DeploymentTest, ARemovalWhileTheProductRunsEndsWith3010AndTheRestartTakesTheRest) {
  std::vector<ProductFile> files = SmallProduct();
  files[0].bytes = ReadFileBytes(ui::ProgramBesideTest("veltapp.exe"));
  files.push_back({"veltsh32.dll", "Program", 0, "", ReadFileBytes(ui::ProgramBesideTest("veltsh32.dll"))});
  BuildCdKit(files);
  Start(SilentInstall("install.log"), setupProgram);
  ExpectExitCode(0, 120000);
  const std::string program = target + "\\veltapp.exe";
  ui::Process product = ui::Process::Start(program, {}, target);
  ASSERT_TRUE(product.started());
  ASSERT_TRUE(ui::WaitUntil([&] { return !product.Windows().empty(); })) << "the product's window";

  const std::string removalLog = work / "removal.log";
  const std::string quiet = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString").value_or("");
  setup = ui::Process::StartCommand(quiet + " /L:\"" + removalLog + "\"", WindowsDirectory());
  ASSERT_TRUE(setup.started()) << quiet;
  ExpectExitCode(3010, 120000);
  const std::string removal = ReadFileBytes(removalLog);
  EXPECT_TRUE(FileHas(removalLog, "Deleted at the next restart, because it is in use: " + program + " (held by "))
      << removal;
  EXPECT_TRUE(FileHas(removalLog, "The run ended on page 1547 with exit code 3010")) << removal;
  EXPECT_TRUE(FileHas(removalLog, "Deleted: " + target + "\\readme.txt")) << removal;
  // The system's list of what the restart deletes names the program.
  const std::optional<std::string> pending = testreg::ReadMultiString(
      HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", "PendingFileRenameOperations");
  ASSERT_TRUE(pending.has_value());
  EXPECT_NE(std::string::npos, pending->find(program)) << *pending;
  EXPECT_EQ(std::nullopt, ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString")) << "the product is gone";
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(logPath.c_str())) << "its log too";

  product.Kill();
  CompletePendingRenames();
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(target.c_str()))
      << "left after the restart: " << ::testing::PrintToString(ListFolder(target));
}

// Add/Remove Programs' size and date: the installed files' sizes in KiB,
// today; written again by a reinstallation, gone with the removal.
TEST_F(DeploymentTest, TheUninstallEntryGivesTheInstalledSizeAndToday) {
  std::vector<ProductFile> files = SmallProduct();
  files.push_back({"big.bin", "Data", 1, "data.ar1", Noise(300000, 3)});
  BuildCdKit(files);
  // An earlier installation's values, which the new one replaces.
  testreg::WriteString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallDate", "19990101");
  const DWORD one = 1;
  testreg::WriteRaw(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize", REG_DWORD,
                    std::string(reinterpret_cast<const char*>(&one), sizeof one));
  Start(SilentInstall("install.log"), setupProgram);
  ExpectExitCode(0, 120000);

  std::uint64_t bytes = 0;
  std::size_t count = 0;
  for (const std::string& folder : {target, target + "\\Data"}) {
    for (const std::string& name : ListFolder(folder)) {
      const std::string path = folder + "\\" + name;
      if (::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) continue;
      bytes += ReadFileBytes(path).size();
      ++count;
    }
  }
  ASSERT_EQ(files.size() + 1, count) << "the kit's files and the setup program";
  const std::optional<DWORD> size = testreg::ReadDword(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize");
  ASSERT_TRUE(size.has_value());
  EXPECT_LE(static_cast<double>(bytes) / 1024 - static_cast<double>(count), *size);
  EXPECT_GE(static_cast<double>(bytes) / 1024 + static_cast<double>(count), *size);
  SYSTEMTIME today;
  ::GetLocalTime(&today);
  char date[16];
  std::snprintf(date, sizeof date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
  EXPECT_EQ(std::optional<std::string>(date), ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallDate"));

  Start("/U /S", setupProgram);
  ExpectExitCode(0, 120000);
  EXPECT_FALSE(testreg::KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << "the entry goes with both values";
}

// A bare /L gives each run a log of its own in the temporary folder, and
// the install log names it.
TEST_F(DeploymentTest, TwoRunsWithABareLogSwitchWriteTwoLogsNamedForTheirRuns) {
  BuildCdKit(SmallProduct());
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const auto runLogs = [&temp] {
    std::vector<std::string> logs;
    for (const std::string& name : ListFolder(temp)) {
      if (name.rfind("Veltrane-", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".log") {
        logs.push_back(std::string(temp) + name);
      }
    }
    return logs;
  };
  const std::vector<std::string> before = runLogs();
  for (int run = 0; run < 2; ++run) {
    Start("/S /L /T:\"" + target + "\" /N:Deployer", setupProgram);
    ExpectExitCode(0, 120000);
  }
  std::vector<std::string> made;
  for (const std::string& log : runLogs()) {
    if (std::find(before.begin(), before.end(), log) == before.end()) made.push_back(log);
  }
  for (const std::string& log : made) std::remove(log.c_str());
  ASSERT_EQ(2u, made.size()) << ::testing::PrintToString(made);
  const std::vector<std::string> events = Events();
  for (const std::string& log : made) {
    // Veltrane-YYYYMMDD-HHMMSS.log, or with a counter after a clash.
    const std::string name = log.substr(log.find_last_of('\\') + 1);
    EXPECT_TRUE(name.size() == 28 || (name.size() > 29 && name[24] == '-')) << name;
    EXPECT_NE(events.end(), std::find(events.begin(), events.end(), "Verbose log of this run: " + log))
        << ::testing::PrintToString(events);
  }
}

// A verbose log that cannot be made still fails the run, but says where
// it was to be and why: in the install log, or where that cannot be
// written either, in the Windows directory's Temp folder.
TEST_F(DeploymentTest, ALogThatCannotBeMadeLeavesALineSayingWhy) {
  BuildCdKit(SmallProduct());
  const std::string missing = work / "missing";
  {
    // The temporary folder of a bare /L is gone.
    char temp[MAX_PATH] = {};
    ::GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
    char tmp[MAX_PATH] = {};
    ::GetEnvironmentVariableA("TMP", tmp, MAX_PATH);
    ::SetEnvironmentVariableA("TEMP", missing.c_str());
    ::SetEnvironmentVariableA("TMP", missing.c_str());
    Start("/S /L /T:\"" + target + "\"", setupProgram);
    ::SetEnvironmentVariableA("TEMP", temp);
    ::SetEnvironmentVariableA("TMP", tmp);
    ExpectExitCode(1603);
    // The line comes first, before the run's end.
    const std::vector<std::string> events = Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(0u, events[0].find("Could not make the verbose log " + missing + "\\Veltrane-")) << events[0];
    EXPECT_NE(std::string::npos, events[0].find(".log: the folder does not exist (error 3)")) << events[0];
  }
  {
    // Neither can the install log be written: a folder has its name.
    ::DeleteFileA(logPath.c_str());
    ASSERT_TRUE(::CreateDirectoryA(logPath.c_str(), nullptr));
    const std::string windowsTemp = WindowsDirectory() + "\\Temp";
    const std::vector<std::string> before = ListFolder(windowsTemp);
    Start("/S /L:\"" + (missing + "\\setup.log") + "\"", setupProgram);
    ExpectExitCode(1603);
    ::RemoveDirectoryA(logPath.c_str());
    std::vector<std::string> made;
    for (const std::string& name : ListFolder(windowsTemp)) {
      if (std::find(before.begin(), before.end(), name) == before.end()) made.push_back(windowsTemp + "\\" + name);
    }
    ASSERT_EQ(1u, made.size()) << ::testing::PrintToString(made);
    const std::string text = ReadFileBytes(made[0]);
    std::remove(made[0].c_str());
    EXPECT_NE(std::string::npos,
              text.find("could not make the verbose log " + missing + "\\setup.log: the folder does not exist"))
        << text;
  }
}

// An upgrade whose kit no longer ships a file: the file stays and is
// named, and the removal afterwards still deletes it.
TEST_F(DeploymentTest, AnUpgradeNamesTheFileItsKitDroppedAndTheRemovalDeletesIt) {
  BuildCdKit(SmallProduct());
  Start(SilentInstall("install.log"), setupProgram);
  ExpectExitCode(0, 120000);

  TempDir upgradeWork;
  std::vector<ProductFile> upgrade = SmallProduct();
  upgrade.erase(upgrade.begin() + 1);  // readme.txt
  const std::string upgradeProgram = BuildKit(upgradeWork, upgrade, "cd", 50000000) + "\\DISK01\\_setupx.exe";
  Start(SilentInstall("upgrade.log"), upgradeProgram);
  ExpectExitCode(0, 120000);
  const std::string readme = target + "\\readme.txt";
  const std::string line = "Not in this kit, left in place: " + readme;
  const std::vector<std::string> events = Events();
  EXPECT_EQ(1, std::count(events.begin(), events.end(), line)) << ::testing::PrintToString(events);
  EXPECT_TRUE(FileHas(work / "upgrade.log", line)) << ReadFileBytes(work / "upgrade.log");
  EXPECT_EQ("Read me.\r\n", ReadFileBytes(readme)) << "left in place";

  Start("/U /S", upgradeProgram);
  ExpectExitCode(0, 120000);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(target.c_str()))
      << "the removal took everything; left: " << ::testing::PrintToString(ListFolder(target));
}

// A kit for diskettes, copied onto a share as its diskettes are named
// (disk1, disk2, ... side by side), installs silently: every further
// diskette is found beside the first.
TEST_F(DeploymentTest, ADisketteKitCopiedToAShareInstallsSilently) {
  const auto setupSize = static_cast<unsigned>(ReadFileBytes(exe).size());
  const std::string kitDir = BuildKit(work, SmallProduct(), "diskettes", setupSize + 40000);
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((kitDir + "\\disk2").c_str())) << "two diskettes";
  Start(SilentInstall("share.log"), kitDir + "\\disk1\\_setupx.exe");
  ExpectExitCode(0, 120000);
  EXPECT_TRUE(FileHas(work / "share.log", "in the diskette's numbered folder: " + kitDir + "\\disk2\\"))
      << ReadFileBytes(work / "share.log");
  EXPECT_TRUE(ReadFileBytes(target + "\\Data\\samples.csv") == SmallProduct()[2].bytes);
}

}  // namespace
