// Silent deployment as a software-distribution system runs it: the real
// setup program started with /S and a verbose log, from kits the kit
// builder makes, with nobody at the screen. Each row must end by itself
// (within a bound that only stops a hang), show no window while it runs,
// end with the code the README gives, and leave the log line that tells
// an administrator what happened.
#include <functional>
#include <ostream>

#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

class SilentTest;

struct SilentRow {
  const char* name;
  // Prepares the machine and starts the silent run.
  void (SilentTest::*run)();
  DWORD code;
  // A line of the verbose log that names what happened (a fragment).
  const char* logLine;
};

void PrintTo(const SilentRow& row, std::ostream* out) { *out << row.name; }

const char kDeployGroup[] = "Veltrane Deploy Test";

class SilentTest : public FreshMachineSetupTest, public ::testing::WithParamInterface<SilentRow> {
public:
  void TearDown() override {
    FreshMachineSetupTest::TearDown();
    held.reset();
    if (!filler.empty()) ::DeleteFileA(filler.c_str());
    ::RemoveDirectoryA("Y:\\Veltrane");
  }

  // Starts a silent run of the kit's setup program with the verbose log
  // and arguments.
  void RunSilently(const std::string& arguments, const std::string& program = {}) {
    Start("/S /L:\"" + verboseLog + "\" " + arguments, program.empty() ? setupProgram : program);
  }

  // Waits for the run to end, watching that none of its windows becomes
  // visible; the exit code, nothing when it did not end within the bound.
  std::optional<DWORD> WaitUnseen(DWORD boundMs = 120000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
      if (const std::optional<DWORD> code = setup.WaitForExit(20)) return code;
      for (HWND window : setup.Windows()) {
        seenWindows.push_back("[" + ui::ClassName(window) + "] \"" + ui::WindowText(window) + "\"");
      }
      if (::GetTickCount() - start > boundMs) return std::nullopt;
    }
  }

  // A whole silent installation into the target, which must succeed.
  void InstallSilently() {
    RunSilently("/T:\"" + target + "\" /N:Deployer");
    EXPECT_EQ(std::optional<DWORD>(0), WaitUnseen()) << "the installation before the row's run";
  }

  std::string BuildSmallKit(const char* media = "cd", unsigned capacity = 2000000) {
    const std::string kitDir = BuildKit(work, product, media, capacity);
    setupProgram = kitDir + (std::string(media) == "cd" ? "\\DISK01" : "\\disk1") + "\\_setupx.exe";
    return kitDir;
  }

  void FreshInstallWithTheChoicesOnTheCommandLine() {
    BuildSmallKit();
    RunSilently("/T:\"" + target + "\" /G:\"" + kDeployGroup + "\" /N:\"Ada Lovelace\" /O:\"Engines Ltd.\"");
    afterExit = [this] {
      EXPECT_EQ("Read me.\r\n", ReadFileBytes(target + "\\readme.txt"));
      EXPECT_TRUE(ReadFileBytes(target + "\\Data\\samples.csv") == product[2].bytes);
      EXPECT_TRUE(LogHas("User name \"Ada Lovelace\", company \"Engines Ltd.\""));
      EXPECT_TRUE(LogHas("Start Menu folder \"Veltrane Deploy Test\""));
      // The uninstall entry as inventory tools read it.
      const std::string program = "\"" + target + "\\_setupx.exe\"";
      EXPECT_EQ(program + " /U", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
      EXPECT_EQ(program + " /U /S", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString"));
      EXPECT_EQ("2.0", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"));
      EXPECT_EQ("Tarvo Inc.", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher"));
      EXPECT_EQ(target, ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"));
      EXPECT_EQ(target + "\\veltapp.exe", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon"));
      EXPECT_EQ(std::optional<DWORD>(1), testreg::ReadDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify"));
      EXPECT_EQ(std::optional<DWORD>(1), testreg::ReadDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoRepair"));
      ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    };
  }

  // On a fresh machine nobody registered a name: the logged-on user's
  // stands in.
  void FreshMachineWithoutARegisteredOwner() {
    windowsOwner.emplace(HKEY_LOCAL_MACHINE, kWindowsKey, "RegisteredOwner", "");
    ntOwner.emplace(HKEY_LOCAL_MACHINE, kWindowsNtKey, "RegisteredOwner", "");
    BuildSmallKit();
    RunSilently("/T:\"" + target + "\"");
  }

  void OverAnExistingInstallation() {
    // A program the shell takes for one: the question is asked only then.
    product[0].bytes = ReadFileBytes(ui::ProgramBesideTest("veltapp.exe"));
    BuildSmallKit();
    InstallSilently();
    RunSilently("/T:\"" + target + "\"");
    afterExit = [this] { EXPECT_TRUE(LogHas("Answer: Yes")); };
  }

  // A directory that cannot be made (a file stands where its parent
  // should be): the Select Directory page refuses it.
  void ADirectoryThatCannotBeMade() {
    BuildSmallKit();
    ASSERT_TRUE(WriteFileBytes(work / "occupied", "a file"));
    RunSilently("/T:\"" + (work / "occupied\\Veltrane") + "\"");
  }

  // The small drive of the test prefix (Y:), filled up to a little room:
  // the Select Directory page finds that the files do not fit.
  void ADriveWithoutRoom() {
    ULARGE_INTEGER free{};
    if (!::GetDiskFreeSpaceExA("Y:\\", &free, nullptr, nullptr) || free.QuadPart > (64u << 20)) {
      GTEST_SKIP() << "no small drive Y: (the small_drive fixture maps one where it runs as root)";
    }
    BuildSmallKit();
    filler = "Y:\\velt-silent-filler.bin";
    ASSERT_TRUE(WriteFileBytes(filler, std::string(static_cast<std::size_t>(free.QuadPart) - (256u << 10), 'f')));
    RunSilently("/T:\"Y:\\Veltrane\"");
    afterExit = [this] { EXPECT_TRUE(LogHas("bytes required: ")) << "the figures"; };
  }

  void ADamagedArchiveMember() {
    const std::string kitDir = BuildSmallKit();
    const std::string archive = kitDir + "\\DISK01\\velt.ar1";
    DamageTheMiddleOf(archive);
    if (HasFatalFailure()) return;
    RunSilently("/T:\"" + target + "\"");
    afterExit = [this] { EXPECT_TRUE(LogHas("Cannot install files from 'velt.ar1'")); };
  }

  // Diskettes, with only the first one there: it holds the setup program
  // and the start of the archives.
  void AMissingDiskette() {
    const auto setupSize = static_cast<unsigned>(ReadFileBytes(exe).size());
    const std::string kitDir = BuildSmallKit("diskettes", setupSize + 40000);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((kitDir + "\\disk2").c_str())) << "two diskettes";
    // Beside the first one, the second would be found.
    ASSERT_TRUE(::MoveFileA((kitDir + "\\disk2").c_str(), (kitDir + "\\elsewhere").c_str()));
    RunSilently("/T:\"" + target + "\"");
  }

  // An older copy of a file held open: replaced at the restart, which a
  // silent run never starts.
  void AFileInUse() {
    BuildSmallKit();
    ASSERT_TRUE(::CreateDirectoryA(target.c_str(), nullptr));
    held = HoldOlderCopy(target + "\\readme.txt", "old");
    ASSERT_TRUE(held.valid());
    RunSilently("/T:\"" + target + "\"");
    afterExit = [this] {
      held.reset();
      CompletePendingRenames();
    };
  }

  void ARemoval() {
    BuildSmallKit();
    InstallSilently();
    ASSERT_EQ("Read me.\r\n", ReadFileBytes(target + "\\readme.txt"));
    RunSilently("/U");
    afterExit = [this] {
      EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((target + "\\readme.txt").c_str()));
      EXPECT_EQ(std::nullopt, ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString"));
    };
  }

  // /U again, when the first removal has taken the install log away (the
  // fixture has put the machine's own log aside).
  void ASecondRemovalWithoutALog() { RunSilently("/U", exe); }

  // A kit without its seal (as another writer makes them) whose profile's
  // destination 1 is given records: its parents cannot be resolved. The
  // run must fail on the Reading page, not wait on a later one.
  // The kit without its seal, one line of its profile (the first that
  // begins with line) replaced by records: nothing may be installed.
  void AnUnsealedProfileWith(const std::string& line, const std::string& records) {
    const std::string kitDir = BuildSmallKit();
    ASSERT_TRUE(::DeleteFileA((kitDir + "\\DISK01\\_kitseal.sha").c_str()));
    const std::string profile = kitDir + "\\DISK01\\_setupx.ini";
    std::string text = ReadFileBytes(profile);
    const std::size_t at = text.find("\r\n" + line);
    ASSERT_NE(std::string::npos, at) << text;
    const std::size_t end = text.find("\r\n", at + 2);
    text.replace(at + 2, end - (at + 2), records);
    ASSERT_TRUE(WriteFileBytes(profile, text));
    RunSilently("/T:\"" + target + "\"");
    afterExit = [this] { EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(target.c_str())); };
  }
  void AParentThatIsNoDestination() { AnUnsealedProfileWith("1=Data|0|", "1=Data|99|"); }
  void ADestinationItsOwnParent() { AnUnsealedProfileWith("1=Data|0|", "1=Data|1|"); }
  void TwoDestinationsEachOthersParent() { AnUnsealedProfileWith("1=Data|0|", "1=Data|2|\r\n2=More|1|"); }
  void ANegativeParentThatIsNoBuiltIn() { AnUnsealedProfileWith("1=Data|0|", "1=Data|-5|"); }
  // Damage that would pass over a group's files in silence.
  void AGroupWithoutItsSection() { AnUnsealedProfileWith("[Data]", "[Dat]"); }
  void AFileOfNoKnownKind() { AnUnsealedProfileWith("readme.txt=", "readme.txt=20|99999999|0|1|0|"); }

  bool LogHas(const std::string& text) const {
    return ReadFileBytes(verboseLog).find(text) != std::string::npos;
  }

  std::function<void()> afterExit;

protected:
  TempDir work;
  const std::string target = work / "Velt Rane";
  const std::string verboseLog = work / "deploy log.txt";
  std::vector<ProductFile> product = SmallProduct();
  std::string setupProgram;
  std::vector<std::string> seenWindows;
  CHandle held;
  std::string filler;
  std::optional<testreg::ScopedStringValue> windowsOwner;
  std::optional<testreg::ScopedStringValue> ntOwner;
  ShortcutGuard kitShortcut{kKitProgramGroup, "Veltrane Kit Test.lnk"};
  ShortcutGuard deployShortcut{kDeployGroup, "Veltrane Kit Test.lnk"};
};

TEST_P(SilentTest, EndsByItselfUnseenWithItsCodeAndLogLine) {
  (this->*GetParam().run)();
  if (HasFatalFailure() || IsSkipped()) return;
  const std::optional<DWORD> code = WaitUnseen();
  ASSERT_TRUE(code.has_value()) << "the silent run did not end; its log:\n" << ReadFileBytes(verboseLog);
  EXPECT_EQ(GetParam().code, *code) << ReadFileBytes(verboseLog);
  EXPECT_TRUE(seenWindows.empty()) << "a window came up: " << seenWindows.front();
  EXPECT_TRUE(LogHas(GetParam().logLine)) << "no line with \"" << GetParam().logLine << "\" in:\n"
                                          << ReadFileBytes(verboseLog);
  EXPECT_TRUE(LogHas("exit code " + std::to_string(GetParam().code)));
  if (afterExit) afterExit();
}

// Every window of the process, top-level or child, shown or hidden, by
// its class.
std::vector<std::string> AllWindows(const ui::Process& process) {
  std::vector<std::string> windows;
  for (HWND window : process.Windows(true)) {
    const std::string name = "[" + ui::ClassName(window) + "] \"" + ui::WindowText(window) + "\"";
    windows.push_back(name);
    for (HWND child : ui::Children(window)) windows.push_back(name + " > [" + ui::ClassName(child) + "]");
  }
  return windows;
}

// The windows are counted all through the run, to its end; a batch run,
// which walks its pages out of sight, shows that the count sees hidden
// windows.
TEST_F(SilentTest, ASilentRunMakesNoWindowAtAllWhereABatchRunHidesItsPages) {
  BuildSmallKit();
  const struct {
    const char* arguments;
    bool windows;
    const char* underWay;  // a line of the verbose log once the walk has begun
  } rows[] = {
      {"/B", true, "Page 102 entered"},
      {"/S", false, "Page 102 entered"},
      {"/U /S", false, "Page 1545 entered"},
  };
  int n = 0;
  for (const auto& row : rows) {
    const std::string log = work / ("windows" + std::to_string(++n) + ".log");
    Start(std::string(row.arguments) + " /L:\"" + log + "\" /T:\"" + target + "\" /N:Deployer", setupProgram);
    std::vector<std::string> windows;
    bool countedUnderWay = false;
    std::optional<DWORD> code;
    for (const DWORD start = ::GetTickCount(); !(code = setup.WaitForExit(0)) && ::GetTickCount() - start < 120000;) {
      const std::vector<std::string> now = AllWindows(setup);
      windows.insert(windows.end(), now.begin(), now.end());
      if (!countedUnderWay) countedUnderWay = ReadFileBytes(log).find(row.underWay) != std::string::npos;
    }
    ASSERT_EQ(std::optional<DWORD>(0), code) << row.arguments << ":\n" << ReadFileBytes(log);
    EXPECT_TRUE(countedUnderWay) << row.arguments << ": the windows were counted while the run was under way";
    if (row.windows) {
      EXPECT_FALSE(windows.empty()) << row.arguments;
    } else {
      EXPECT_TRUE(windows.empty()) << row.arguments << ": " << windows.size() << " windows, the first "
                                   << windows.front();
    }
  }
}

const SilentRow kRows[] = {
    {"FreshInstallWithTheChoicesOnTheCommandLine", &SilentTest::FreshInstallWithTheChoicesOnTheCommandLine, 0,
     "Written new: "},
    {"FreshMachineWithoutARegisteredOwner", &SilentTest::FreshMachineWithoutARegisteredOwner, 0,
     "the logged-on user's name"},
    {"OverAnExistingInstallation", &SilentTest::OverAnExistingInstallation, 0,
     "Question not shown (silent run): \"Veltrane appears to be already installed"},
    {"ADirectoryThatCannotBeMade", &SilentTest::ADirectoryThatCannotBeMade, 1603,
     "refused its input: the installation directory"},
    {"ADriveWithoutRoom", &SilentTest::ADriveWithoutRoom, 1603,
     "refused its input: the files do not fit on the drive of \"Y:\\Veltrane\""},
    {"ADamagedArchiveMember", &SilentTest::ADamagedArchiveMember, 1603, "Answer: Cancel Operation"},
    {"AMissingDiskette", &SilentTest::AMissingDiskette, 1603,
     "Insert Diskette: Please insert the diskette labelled 'Kit Test Disk 2'"},
    {"AFileInUse", &SilentTest::AFileInUse, 3010, "Replaced at the next restart, because the existing copy is in use"},
    {"ARemoval", &SilentTest::ARemoval, 0, "Deleted: "},
    {"AParentThatIsNoDestination", &SilentTest::AParentThatIsNoDestination, 1603,
     "[destinations] 1: its parent 99 is not a destination"},
    {"ADestinationItsOwnParent", &SilentTest::ADestinationItsOwnParent, 1603,
     "[destinations] 1: its parents go round in a circle"},
    {"TwoDestinationsEachOthersParent", &SilentTest::TwoDestinationsEachOthersParent, 1603,
     "[destinations] 1: its parents go round in a circle"},
    {"ANegativeParentThatIsNoBuiltIn", &SilentTest::ANegativeParentThatIsNoBuiltIn, 1603,
     "[destinations] 1: its parent -5 is not a destination"},
    {"AGroupWithoutItsSection", &SilentTest::AGroupWithoutItsSection, 1603, "[groups] Data: its section [Data] is missing"},
    {"AFileOfNoKnownKind", &SilentTest::AFileOfNoKnownKind, 1603,
     "readme.txt: its kind -7937 is neither a plain file (0) nor an archive (1)"},
    {"ASecondRemovalWithoutALog", &SilentTest::ASecondRemovalWithoutALog, 1603,
     "veltapp.log (the file does not exist)"},
};

INSTANTIATE_TEST_SUITE_P(Runs, SilentTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<SilentRow>& row) { return std::string(row.param.name); });

}  // namespace
