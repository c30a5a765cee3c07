// Installations that do not end as planned, one row each: the real setup
// program is killed in the middle of its copy (the test ends the process as
// soon as the destination shows a chosen file or size, or the SharedDLLs
// key a chosen count), or the run fails (a drive that fills, an archive cut
// short) and its error question is answered Continue Operation. After each
// row a reinstallation from a sound kit leaves every file whole, and the
// uninstall command leaves nothing but the running setup program (which
// goes at the next restart), with the SharedDLLs count where it was before.
#include <functional>
#include <ostream>

#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

// A drive on a small tmpfs that the suite maps into its Wine prefix
// (tools/wine/small-drive.sh); missing where the suite cannot mount one.
const char kSmallDrive[] = "Y:\\";

class InterruptedInstallTest;

struct InterruptionRow {
  const char* name;
  // Builds the kit, starts the program and interrupts it, or drives it to
  // its end.
  void (InterruptedInstallTest::*run)();
  std::optional<DWORD> code;  // the exit code of a run that ends by itself; none for a killed one
  std::vector<std::string> notInstalled;  // the [Events] lines that name files left out
  bool reinstall = true;  // else removed straight after the row, with the kit's setup program
};

void PrintTo(const InterruptionRow& row, std::ostream* out) { *out << row.name; }

std::optional<WIN32_FILE_ATTRIBUTE_DATA> FileData(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return data;
}

std::uint64_t SizeOf(const WIN32_FILE_ATTRIBUTE_DATA& data) {
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// The texts of a dialog's controls, one a line.
std::string TextsOf(HWND dialog) {
  std::string texts;
  for (HWND child : ui::Children(dialog)) texts += ui::WindowText(child) + "\n";
  return texts;
}

class InterruptedInstallTest : public SetupTest, public ::testing::WithParamInterface<InterruptionRow> {
public:
  void SetUp() override {
    SetupTest::SetUp();
    // No earlier installation to ask about (the guard puts back what was).
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathKey);
    shared = WindowsSystemDirectory() + "\\" + sharedName;
    countBefore = SharedCount(shared);
    target = work / "Veltrane";
  }
  void TearDown() override {
    SetupTest::TearDown();
    if (!filler.empty()) ::DeleteFileA(filler.c_str());
    ClearTheMachine();
  }

  void KilledInTheMiddleOfAFreshFile() {
    const std::string big = target + "\\Data\\big1.bin";
    const std::uint64_t whole = Bytes("big1.bin").size();
    std::optional<WIN32_FILE_ATTRIBUTE_DATA> data;
    for (int attempt = 1;; ++attempt) {
      StartCopy();
      if (HasFatalFailure()) return;
      // Killed once it has any bytes: a machine that misses the instant
      // between the first bytes and the last would otherwise wait for a
      // moment that never comes, the run at its last page.
      KillWhen([&] {
        const auto seen = FileData(big);
        return seen && SizeOf(*seen) > 0;
      });
      if (HasFatalFailure()) return;
      data = FileData(big);
      ASSERT_TRUE(data.has_value());
      if (SizeOf(*data) < whole) break;
      // A machine too busy to end the program before it finished the file:
      // the moment is tried again, on a machine cleared of the first try.
      ASSERT_LT(attempt, 5) << "the kill came after the file was complete, five times";
      ClearTheMachine();
    }
    // The journal beside the log names it as the file being made.
    const std::string journal = ReadFileBytes(journalPath);
    const std::string line = "\\big1.bin\t\r\n";
    EXPECT_TRUE(journal.size() > line.size() && journal.compare(journal.size() - line.size(), line.size(), line) == 0)
        << journal;
    ExpectRemovableLog();
  }

  void KilledBetweenTwoFiles() {
    StartCopy();
    // plain.bin is complete once its record is written.
    KillWhen([&] { return Recorded("Data", "plain.bin"); });
    ExpectRemovableLog();
  }

  void KilledAfterTheCountsWentUp() {
    StartCopy();
    KillWhen([&] { return SharedCount(shared) != countBefore; });
    // The count went up after the file's record was written.
    EXPECT_TRUE(Recorded("Program", sharedName)) << sharedName;
    ExpectRemovableLog();
  }

  void ADriveThatFills() {
    ULARGE_INTEGER total{};
    if (::GetDiskFreeSpaceExA(kSmallDrive, nullptr, &total, nullptr) == 0 || total.QuadPart > (64u << 20)) {
      GTEST_SKIP() << "no small drive at " << kSmallDrive
                   << " (tools/wine/small-drive.sh maps a tmpfs there when the suite runs as root)";
    }
    target = std::string(kSmallDrive) + "Veltrane " + std::to_string(::GetCurrentProcessId());
    kitDir = BuildKit(work, files, "cd", 40000000);
    Start({}, kitDir + "\\DISK01\\_setupx.exe");
    HWND ready = WalkToReadyToCopy(target);
    ASSERT_NE(nullptr, ready);
    // Once the directory page has found room for everything, another
    // program takes all of it but what the small files need.
    ULARGE_INTEGER free{};
    ASSERT_TRUE(::GetDiskFreeSpaceExA(kSmallDrive, &free, nullptr, nullptr));
    constexpr std::uint64_t kLeft = 5u << 20;
    ASSERT_GT(free.QuadPart, kLeft + Bytes("big1.bin").size());
    filler = std::string(kSmallDrive) + "filler " + std::to_string(::GetCurrentProcessId()) + ".bin";
    ASSERT_TRUE(WriteFileBytes(filler, std::string(free.QuadPart - kLeft, 'f')));
    Press(ready, "&Copy");
    HWND error = setup.WaitForWindow({"Warning", "#32770", "Cannot install files from"}, 120000);
    ASSERT_NE(nullptr, error) << DescribeWindows();
    const std::string texts = TextsOf(error);
    EXPECT_NE(std::string::npos, texts.find("Disk full")) << "reported as what it is: " << texts;
    EXPECT_NE(std::string::npos, texts.find(".13 (CXFileException)")) << texts;
    Press(error, "Continue Operation");
    ASSERT_TRUE(PressOn(kFinished, "Finished", 120000));
    ExpectExitCode(0);
    // Nothing of the file that did not fit stays.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((target + "\\Data\\big1.bin").c_str()));
    ::DeleteFileA(filler.c_str());
  }

  void AnArchiveCutBeforeAHeader() { ArchiveCutShort(0); }
  void AnArchiveCutInsideAHeader() { ArchiveCutShort(100); }

  // After the row: a run from a sound kit over what the row left.
  void Reinstall() {
    if (!soundArchive.empty()) {
      ASSERT_TRUE(WriteFileBytes(kitDir + "\\DISK01\\data.ar1", soundArchive));
    }
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathKey);
    Start({}, kitDir + "\\DISK01\\_setupx.exe");
    HWND ready = WalkToReadyToCopy(target, false, ::GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES);
    ASSERT_NE(nullptr, ready);
    Press(ready, "&Copy");
    ASSERT_TRUE(PressOn(kFinished, "Finished", 120000));
    ExpectExitCode(0, 60000);

    for (const ProductFile& file : files) {
      const std::string path = file.destination == -3 ? shared
                               : file.destination == 1 ? target + "\\Data\\" + file.name
                                                       : target + "\\" + file.name;
      EXPECT_TRUE(ReadFileBytes(path) == file.bytes) << path << " is not whole";
    }
    EXPECT_EQ((std::vector<std::string>{"Data", "_setupx.exe", "veltapp.exe"}), ListFolder(target));
    EXPECT_EQ((std::vector<std::string>{"big1.bin", "big2.bin", "plain.bin", "samples.csv"}),
              ListFolder(target + "\\Data"));
    EXPECT_EQ(std::optional<DWORD>(countBefore.value_or(0) + 1), SharedCount(shared)) << "counted once";
  }

  // The uninstall command of the entry the reinstallation made; without a
  // reinstallation, the kit's setup program with /U.
  void Remove(bool withUninstallCommand) {
    const std::string command =
        withUninstallCommand ? ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").value_or("")
                             : "\"" + kitDir + "\\DISK01\\_setupx.exe\" /U";
    ASSERT_FALSE(command.empty());
    setup = ui::Process::StartCommand(command, WindowsDirectory());
    ASSERT_TRUE(setup.started()) << command;
    ASSERT_TRUE(PressOn(kRemoveConfirm, "&Next >"));
    ASSERT_TRUE(PressOn(kRemoved, "&OK", 60000));
    ExpectExitCode(0);

    // The setup program goes at the restart when it runs (the copy in the
    // installation directory, which is the one running when the uninstall
    // command runs); nothing else stays.
    EXPECT_EQ(withUninstallCommand ? std::vector<std::string>{"_setupx.exe"} : std::vector<std::string>{},
              ListFolder(target));
    EXPECT_EQ(countBefore, SharedCount(shared)) << "the count is where it was before the product came";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(logPath.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(journalPath.c_str()));
  }

  // The lines of [Events] that name files left out.
  std::vector<std::string> NotInstalledEvents() const {
    std::vector<std::string> lines;
    for (const std::string& event : Events()) {
      if (event.find("not installed") != std::string::npos) lines.push_back(event);
    }
    return lines;
  }

private:
  const std::string& Bytes(const std::string& name) const {
    for (const ProductFile& file : files) {
      if (file.name == name) return file.bytes;
    }
    static const std::string none;
    return none;
  }

  // A value of the log, or of the journal beside it: a killed run may
  // leave its last records there, and everything it wrote when it was
  // killed while the log was being rewritten.
  std::optional<std::string> Logged(const char* section, const std::string& key) const {
    if (auto value = ReadString(logPath, section, key.c_str())) return value;
    const std::string journal = ReadFileBytes(journalPath), line = std::string(section) + "\t" + key + "\t";
    for (std::size_t at = journal.find(line); at != std::string::npos; at = journal.find(line, at + 1)) {
      if (at == 0 || journal[at - 1] == '\n') {
        const std::size_t from = at + line.size();
        return journal.substr(from, journal.find("\r\n", from) - from);
      }
    }
    return std::nullopt;
  }

  bool Recorded(const char* group, const std::string& name) const { return Logged(group, name).has_value(); }

  // Takes away what a run left: the files, the log and its journal, the
  // shared file and its count.
  void ClearTheMachine() {
    RemoveTree(target);
    ::DeleteFileA(logPath.c_str());
    ::DeleteFileA(journalPath.c_str());
    ::DeleteFileA(shared.c_str());
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_ALL_ACCESS, &opened) == ERROR_SUCCESS) {
      const CRegistryKeyHandle key(opened);
      ::RegDeleteValueA(key.get(), shared.c_str());
    }
  }

  void StartCopy() {
    // Built once: a moment tried again starts the same kit again (mkkit
    // builds into no folder that holds a kit).
    if (kitDir.empty()) kitDir = BuildKit(work, files, "cd", 40000000);
    Start({}, kitDir + "\\DISK01\\_setupx.exe");
    HWND ready = WalkToReadyToCopy(target);
    ASSERT_NE(nullptr, ready);
    Press(ready, "&Copy");
  }

  // Ends the program (as TerminateProcess does, nothing of it runs on) as
  // soon as condition holds, polled as fast as the machine allows.
  void KillWhen(const std::function<bool()>& condition) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
      ASSERT_TRUE(setup.IsRunning()) << "the program ended before the moment came";
      ASSERT_LT(::GetTickCount() - start, 120000u) << "the moment never came; windows: " << DescribeWindows();
      ::Sleep(1);
    }
    setup.Kill();
  }

  // What a removal needs is in the log (or its journal) before the first
  // file.
  void ExpectRemovableLog() const {
    const std::string destination = Logged("destinations", "0").value_or("");
    EXPECT_EQ(target + "\\", destination.substr(destination.find_last_of('|') + 1)) << destination;
    EXPECT_TRUE(Logged("groups", "Program").has_value());
    EXPECT_TRUE(Logged("groups", "Data").has_value());
    EXPECT_EQ(std::string(kKitProgramGroup), Logged("PMGroup", "PMGroup").value_or(""));
    EXPECT_TRUE(Recorded("Program", "veltapp.exe")) << "a file placed before the kill is recorded";
  }

  // data.ar1 ends after its first member, and intoHeader bytes of the
  // next header.
  void ArchiveCutShort(std::size_t intoHeader) {
    kitDir = BuildKit(work, files, "cd", 40000000);
    const std::string archive = kitDir + "\\DISK01\\data.ar1";
    soundArchive = ReadFileBytes(archive);
    ASSERT_GT(soundArchive.size(), 8u + 346u);
    const auto* header = reinterpret_cast<const unsigned char*>(soundArchive.data() + 8);
    const std::size_t stored = header[280] | header[281] << 8 | header[282] << 16 | std::size_t{header[283]} << 24;
    const std::size_t end = 8 + 346 + stored;
    ASSERT_LT(end + intoHeader, soundArchive.size());
    ASSERT_TRUE(WriteFileBytes(archive, soundArchive.substr(0, end + intoHeader)));
    // The seal would refuse the part before its first member; without it,
    // the members the profile counts are what tells the archive is short.
    ASSERT_TRUE(::DeleteFileA((kitDir + "\\DISK01\\_kitseal.sha").c_str()));

    Start({}, kitDir + "\\DISK01\\_setupx.exe");
    HWND ready = WalkToReadyToCopy(target);
    ASSERT_NE(nullptr, ready);
    Press(ready, "&Copy");
    HWND error = setup.WaitForWindow({"Warning", "#32770", "Cannot install files from"}, 120000);
    ASSERT_NE(nullptr, error) << "the missing members are reported; windows: " << DescribeWindows();
    EXPECT_NE(std::string::npos, TextsOf(error).find("(CMultiFileException)")) << TextsOf(error);
    Press(error, "Continue Operation");
    ASSERT_TRUE(PressOn(kFinished, "Finished", 120000));
  }

protected:
  TempDir work;
  const std::string sharedName = "velt" + std::to_string(::GetCurrentProcessId()) + ".dll";
  // big1.bin is large enough for the test to see it half written.
  const std::vector<ProductFile> files = {
      {"veltapp.exe", "Program", 0, "velt.ar1", Text(150000, "program code ")},
      {sharedName, "Program", -3, "velt.ar1", Noise(40000, 9)},
      {"big1.bin", "Data", 1, "data.ar1", Noise(12u << 20, 1)},
      {"big2.bin", "Data", 1, "data.ar1", Noise(1u << 20, 2)},
      {"samples.csv", "Data", 1, "data.ar1", Text(300000, "1,2,3,4\r\n")},
      {"plain.bin", "Data", 1, "", Noise(700000, 3)},
  };
  std::string shared;
  std::optional<DWORD> countBefore;
  std::string target;
  std::string kitDir;
  std::string filler;
  std::string soundArchive;
  ShortcutGuard kitShortcut{kKitProgramGroup, "Veltrane Kit Test.lnk"};
};

TEST_P(InterruptedInstallTest, LeavesNoBrokenFileAndCanBeRemoved) {
  const InterruptionRow& row = GetParam();
  (this->*row.run)();
  if (HasFatalFailure() || IsSkipped()) return;
  if (row.code) ExpectExitCode(*row.code, 60000);
  EXPECT_EQ(row.notInstalled, NotInstalledEvents());
  if (row.reinstall) {
    Reinstall();
    if (HasFatalFailure()) return;
  }
  Remove(row.reinstall);
}

const InterruptionRow kRows[] = {
    {"KilledInTheMiddleOfAFreshFile", &InterruptedInstallTest::KilledInTheMiddleOfAFreshFile, std::nullopt, {}},
    {"KilledInTheMiddleOfAFreshFileAndRemoved", &InterruptedInstallTest::KilledInTheMiddleOfAFreshFile, std::nullopt,
     {}, false},
    {"KilledBetweenTwoFiles", &InterruptedInstallTest::KilledBetweenTwoFiles, std::nullopt, {}},
    {"KilledAfterTheCountsWentUp", &InterruptedInstallTest::KilledAfterTheCountsWentUp, std::nullopt, {}},
    {"ADriveThatFills", &InterruptedInstallTest::ADriveThatFills, std::nullopt,
     {"File not installed: big1.bin (from data.ar1)", "Files not installed: 2 more files of data.ar1"}},
    {"AnArchiveCutBeforeAHeader", &InterruptedInstallTest::AnArchiveCutBeforeAHeader, 0,
     {"Files not installed: 2 more files of data.ar1"}},
    {"AnArchiveCutInsideAHeader", &InterruptedInstallTest::AnArchiveCutInsideAHeader, 0,
     {"Files not installed: 2 more files of data.ar1"}},
};

INSTANTIATE_TEST_SUITE_P(Rows, InterruptedInstallTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<InterruptionRow>& row) { return std::string(row.param.name); });

}  // namespace
