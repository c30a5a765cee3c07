// The shipped 32-bit programs as most users run them: on 64-bit Windows,
// where the system gives a 32-bit program the 32-bit Program Files folder,
// SysWOW64 for its System directory and the 32-bit view of the registry.
// The test program is itself 32-bit, so that it sees what the programs see;
// it also looks past that view, at the 64-bit places, which must stay
// untouched. In a 32-bit prefix the two views are one and the checks of the
// 64-bit places fall away.
//
// The sample kit is built with the kit builder and installed silently, each
// installed file compared with its source, and removed again; a damaged
// archive member is answered Continue Operation and, in a second run, Cancel
// Operation, which takes the error through the program's dialogs and back.
#include <ostream>

#include "SampleCd.h"
#include "SetupFixture.h"

using namespace setup_e2e;

#ifndef KEY_WOW64_64KEY
#define KEY_WOW64_64KEY 0x0100
#endif
#ifndef KEY_WOW64_32KEY
#define KEY_WOW64_32KEY 0x0200
#endif

namespace {

// True when this 32-bit program runs on 64-bit Windows.
bool UnderWow64() {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

// A key and a string of one view of the registry: view is KEY_WOW64_32KEY
// or KEY_WOW64_64KEY.
bool KeyInView(const std::string& path, REGSAM view) { return testreg::KeyExists(HKEY_LOCAL_MACHINE, path, view); }

std::optional<std::string> StringInView(const std::string& path, const char* name, REGSAM view) {
  return testreg::ReadString(HKEY_LOCAL_MACHINE, path, name, view);
}

bool ValueInView(const std::string& path, const std::string& name, REGSAM view) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return false;
  const CRegistryKeyHandle key(opened);
  return ::RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Where the 64-bit view holds a key of the 32-bit one ("Software\\..." below
// "Software\\WOW6432Node").
std::string BelowWow6432Node(const std::string& key) {
  const std::string software = "Software\\";
  return software + "WOW6432Node\\" + key.substr(software.size());
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Where the machine keeps what a 32-bit program installs, and the 64-bit
// places beside them (empty in a 32-bit prefix).
struct Places {
  std::string programFiles;        // the 32-bit Program Files folder
  std::string systemFolder;        // the System directory as the program names it
  std::string systemFiles;         // the folder its files really land in
  std::string nativeProgramFiles;  // the 64-bit Program Files folder
  std::string nativeSystemFiles;   // the 64-bit System directory, seen past the redirection
};

Places ThePlaces() {
  const char kWindowsKey32[] = "Software\\Microsoft\\Windows\\CurrentVersion";
  Places places;
  places.systemFolder = WindowsSystemDirectory();
  places.programFiles = StringInView(kWindowsKey32, "ProgramFilesDir", KEY_WOW64_32KEY).value_or("");
  places.systemFiles = places.systemFolder;
  if (UnderWow64()) {
    places.programFiles = StringInView(kWindowsKey32, "ProgramFilesDir (x86)", KEY_WOW64_64KEY).value_or("");
    places.nativeProgramFiles = StringInView(kWindowsKey32, "ProgramFilesDir", KEY_WOW64_64KEY).value_or("");
    places.systemFiles = WindowsDirectory() + "\\SysWOW64";
    places.nativeSystemFiles = WindowsDirectory() + "\\Sysnative";
  }
  return places;
}

// The keys the installation writes, below HKLM.
const std::string kUninstall = kUninstallKey;
const std::string kAppPaths = kAppPathKey;
const std::string kShared = kSharedDlls;

class ShippedTest : public FreshMachineSetupTest {
protected:
  void SetUp() override {
    FreshMachineSetupTest::SetUp();
    places = ThePlaces();
    ASSERT_FALSE(places.programFiles.empty());
    if (UnderWow64()) {
      ASSERT_FALSE(places.nativeProgramFiles.empty());
      ASSERT_NE(places.nativeProgramFiles, places.programFiles);
      // The 64-bit System directory is there to be looked at.
      ASSERT_TRUE(Exists(places.nativeSystemFiles + "\\kernel32.dll")) << places.nativeSystemFiles;
    }
  }
  void TearDown() override {
    FreshMachineSetupTest::TearDown();
    if (!target.empty()) RemoveTree(target);
    ::DeleteFileA((places.systemFiles + "\\veltsh32.dll").c_str());
    HKEY shared = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_SET_VALUE, &shared) == ERROR_SUCCESS) {
      ::RegDeleteValueA(shared, (places.systemFolder + "\\veltsh32.dll").c_str());
      ::RegCloseKey(shared);
    }
  }

  // Each key of the installation is in the 32-bit view of the registry
  // (present) or not. The uninstall entry lies there alone, below
  // WOW6432Node; App Paths is one of the keys that the system shares
  // between the two views, so the 64-bit programs that start veltapp.exe
  // by name find it too.
  void ExpectKeysInThe32BitView(bool present) {
    const struct {
      const std::string& key;
      bool shared;
    } keys[] = {{kUninstall, false}, {kAppPaths, true}};
    for (const auto& [key, shared] : keys) {
      EXPECT_EQ(present, KeyInView(key, KEY_WOW64_32KEY)) << key;
      if (UnderWow64()) {
        EXPECT_EQ(present && shared, KeyInView(key, KEY_WOW64_64KEY)) << key << " in the 64-bit view";
        if (!shared) {
          EXPECT_EQ(present, KeyInView(BelowWow6432Node(key), KEY_WOW64_64KEY)) << key << " below WOW6432Node";
        }
      }
    }
  }

  Places places;
  TempDir work;
  std::string target;
  const std::string verboseLog = work / "deploy.log";
  ShortcutGuard programGuard{"Veltrane", "Veltrane.lnk"};
  ShortcutGuard readmeGuard{"Veltrane", "Veltrane Read Me.lnk"};
  ShortcutGuard kitGuard{kKitProgramGroup, "Veltrane Kit Test.lnk"};
};

TEST_F(ShippedTest, TheSampleKitInstallsSilentlyIntoThe32BitPlacesAndIsRemovedFromThem) {
  const std::string disk1 = BuildSampleCd(work) + "\\DISK01";
  target = places.programFiles + "\\Veltrane";
  RemoveTree(target);
  const std::string product = std::string(VELT_SAMPLE_KIT).substr(0, std::string(VELT_SAMPLE_KIT).rfind('\\'));

  // A deployment as a distribution system starts it: no directory given,
  // so the Select Directory page's proposal is taken.
  Start("/S /L:\"" + verboseLog + "\" /N:Deployer", disk1 + "\\_setupx.exe");
  ExpectExitCode(0, 300000);
  if (HasFailure()) ADD_FAILURE() << "the verbose log:\n" << ReadFileBytes(verboseLog);

  struct Installed {
    std::string path;
    std::string source;
  };
  const Installed files[] = {
      {target + "\\veltapp.exe", ui::ProgramBesideTest("veltapp.exe")},
      {target + "\\veltapp.txt", product + "\\files\\veltapp.txt"},
      {target + "\\_setupx.exe", disk1 + "\\_setupx.exe"},
      {target + "\\Data\\veltdata.dat", product + "\\files\\veltdata.dat"},
      {target + "\\Data\\samples.csv", product + "\\files\\samples.csv"},
      {places.systemFiles + "\\veltsh32.dll", ui::ProgramBesideTest("veltsh32.dll")},
  };
  for (const Installed& file : files) {
    const std::string bytes = ReadFileBytes(file.path);
    EXPECT_FALSE(bytes.empty()) << file.path << " installed";
    EXPECT_TRUE(bytes == ReadFileBytes(file.source)) << file.path << " is " << file.source;
  }
  if (UnderWow64()) {
    EXPECT_FALSE(Exists(places.nativeProgramFiles + "\\Veltrane")) << "nothing in the 64-bit Program Files";
    EXPECT_FALSE(Exists(places.nativeSystemFiles + "\\veltsh32.dll")) << "nothing in the 64-bit System directory";
  }

  // The registry entries, in the 32-bit view, naming the 32-bit places.
  ExpectKeysInThe32BitView(true);
  EXPECT_EQ(target + "\\veltapp.exe", StringInView(kAppPaths, nullptr, KEY_WOW64_32KEY));
  const std::string program = "\"" + target + "\\_setupx.exe\"";
  EXPECT_EQ(program + " /U", StringInView(kUninstall, "UninstallString", KEY_WOW64_32KEY));
  EXPECT_EQ(target, StringInView(kUninstall, "InstallLocation", KEY_WOW64_32KEY));
  const std::string sharedName = places.systemFolder + "\\veltsh32.dll";
  EXPECT_EQ(std::optional<DWORD>(1), SharedCount(sharedName)) << sharedName;
  if (UnderWow64()) {
    EXPECT_FALSE(ValueInView(kShared, sharedName, KEY_WOW64_64KEY)) << "counted in the 64-bit view";
  }

  // Taken off again with the command inventory tools run.
  const std::optional<std::string> quiet = StringInView(kUninstall, "QuietUninstallString", KEY_WOW64_32KEY);
  ASSERT_TRUE(quiet.has_value());
  setup = ui::Process::StartCommand(*quiet, WindowsDirectory());
  ASSERT_TRUE(setup.started());
  ExpectExitCode(0, 300000);
  for (const Installed& file : files) {
    if (file.path.rfind(places.systemFiles, 0) == 0) {
      EXPECT_TRUE(Exists(file.path)) << "a shared component stays: " << file.path;
    } else if (file.path != target + "\\_setupx.exe") {
      EXPECT_FALSE(Exists(file.path)) << file.path << " removed";
    }
  }
  EXPECT_EQ(std::nullopt, SharedCount(sharedName)) << "the count goes at 0";
  ExpectKeysInThe32BitView(false);
  CompletePendingRenames();
  EXPECT_FALSE(Exists(target + "\\_setupx.exe")) << "the setup program goes at the restart";
}

// A member of an archive damaged on the media, in a kit without a seal so
// that the archive's own checks find it, installed with /B; the error
// question answered each way.
struct AnswerRow {
  const char* name;
  const char* button;
  DWORD code;
  // Whether the run goes on: every other file is installed.
  bool goesOn;
};

void PrintTo(const AnswerRow& row, std::ostream* out) { *out << row.name; }

class ShippedDamagedArchiveTest : public ShippedTest, public ::testing::WithParamInterface<AnswerRow> {};

TEST_P(ShippedDamagedArchiveTest, TheErrorQuestionIsAnsweredAndTheRunEndsAsTheAnswerSays) {
  const AnswerRow& row = GetParam();
  const std::vector<ProductFile> product = SmallProduct();
  const std::string disk1 = BuildKit(work, product, "cd", 2000000) + "\\DISK01";
  ASSERT_TRUE(::DeleteFileA((disk1 + "\\_kitseal.sha").c_str()));
  DamageTheMiddleOf(disk1 + "\\velt.ar1");
  if (HasFatalFailure()) return;
  target = work / "Veltrane";

  Start("/B /T:\"" + target + "\" /N:Tester", disk1 + "\\_setupx.exe");
  HWND error = setup.WaitForWindow({"Warning", "#32770", "Cannot install files from"}, 120000);
  ASSERT_NE(nullptr, error) << DescribeWindows();
  Press(error, row.button);
  if (!setup.WaitForExit(20000)) {
    // The last page waits for its button where the run failed.
    HWND last = WaitFor(row.goesOn ? kFinished : kFailed, 1000);
    if (last) Press(last, row.goesOn ? "Finished" : "&OK");
  }
  ExpectExitCode(row.code, 60000);

  EXPECT_FALSE(Exists(target + "\\veltapp.exe")) << "nothing of the damaged member";
  if (row.goesOn) {
    EXPECT_TRUE(ReadFileBytes(target + "\\readme.txt") == product[1].bytes);
    EXPECT_TRUE(ReadFileBytes(target + "\\Data\\samples.csv") == product[2].bytes);
  }
  bool named = false;
  for (const std::string& event : Events()) named = named || event.find("veltapp.exe") != std::string::npos;
  EXPECT_TRUE(named) << "[Events] name the file left out: " << ::testing::PrintToString(Events());
  for (const std::string& folder : {target, target + "\\Data"}) {
    for (const std::string& name : ListFolder(folder)) {
      EXPECT_TRUE(name == "readme.txt" || name == "samples.csv" || name == "Data" || name == "_setupx.exe")
          << folder << "\\" << name << " was left";
    }
  }
}

const AnswerRow kAnswers[] = {
    {"ContinueOperationInstallsTheRest", "Continue Operation", 0, true},
    {"CancelOperationEndsTheRunAsFailed", "Cancel Operation", 1603, false},
};

INSTANTIATE_TEST_SUITE_P(Answers, ShippedDamagedArchiveTest, ::testing::ValuesIn(kAnswers),
                         [](const ::testing::TestParamInfo<AnswerRow>& row) { return std::string(row.param.name); });

}  // namespace
