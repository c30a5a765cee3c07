// The shipped programs attacked where they really run: started from a
// Downloads folder that holds DLLs someone planted there, and from the
// current directory of a user who has such DLLs lying about. Wine prefers
// its own built-in DLLs unless WINEDLLOVERRIDES asks for "native, then
// built-in"; with that it searches for a DLL that is not a KnownDLL as
// Windows does, so the planted copies run if the programs load them by name.
// Also: the manifests that tell today's Windows how to start the programs.
#include <algorithm>

#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

// Every DLL the programs use beyond the system's own.
const char* const kPlantedDlls[] = {"version.dll", "comctl32.dll", "winmm.dll", "ismif32.dll"};

bool UnderWine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

// Under Wine the planted DLLs are found only where the programs are started
// with "native, then built-in" for them (the test's CTest entry sets that).
bool WineSearchesAsWindowsDoes() {
  char overrides[4096] = {};
  const DWORD length = ::GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
  return length > 0 && length < sizeof overrides &&
         std::string(overrides).find("version,comctl32,winmm=n,b") != std::string::npos;
}

class PlantedDllTest : public SetupTest {
protected:
  void SetUp() override {
    SetupTest::SetUp();
    if (UnderWine()) {
      ASSERT_TRUE(WineSearchesAsWindowsDoes())
          << "WINEDLLOVERRIDES must hold version,comctl32,winmm=n,b when the test starts, or Wine never loads the "
             "planted DLLs";
    }
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathKey);
    ::SetEnvironmentVariableA("VELT_PLANTED_MARKERS", markers.c_str());
    ASSERT_TRUE(::CreateDirectoryA(downloads.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA(markers.c_str(), nullptr));
    Plant(downloads);
  }
  void TearDown() override {
    SetupTest::TearDown();
    ::SetEnvironmentVariableA("VELT_PLANTED_MARKERS", nullptr);
    if (!target.empty()) RemoveTree(target);
  }

  // Copies every planted DLL into folder.
  static void Plant(const std::string& folder) {
    for (const char* dll : kPlantedDlls) {
      ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest(std::string("planted\\") + dll).c_str(),
                              (folder + "\\" + dll).c_str(), FALSE))
          << dll << " into " << folder;
    }
  }

  // What the planted DLLs did, by their markers. Wine's own user32 imports
  // version.dll (the user32 of Windows does not), so under Wine every
  // program loads a planted version.dll and user32 calls its Unicode
  // functions: that is Wine's doing, not the program's, and left out. The
  // programs themselves use the ANSI functions only.
  std::vector<std::string> Ran() const {
    std::vector<std::string> ran;
    for (const std::string& name : ListFolder(markers)) {
      const bool wines = name.rfind("version.dll loaded by ", 0) == 0 ||
                         (name.rfind("version.dll called (", 0) == 0 && name.find("W) by ") != std::string::npos);
      if (UnderWine() && wines) continue;
      ran.push_back(name + ": " + ReadFileBytes(markers + "\\" + name));
    }
    return ran;
  }

  TempDir work;
  const std::string downloads = work / "Downloads";
  const std::string markers = work / "markers";
  std::string target;
};

}  // namespace

TEST_F(PlantedDllTest, NeitherProgramLoadsADllPlantedBesideItOrInTheCurrentDirectory) {
  const std::string programFiles =
      ReadString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir").value_or("");
  ASSERT_FALSE(programFiles.empty());
  target = programFiles + "\\Veltrane";
  RemoveTree(target);
  const testreg::ScopedStringValue windowsOwner(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                                                "RegisteredOwner", "Batch User");
  const testreg::ScopedStringValue ntOwner(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion",
                                           "RegisteredOwner", "Batch User");
  const std::vector<ProductFile> files = {{"veltapp.exe", "Program", 0, "velt.ar1", "the program"},
                                          {"readme.txt", "Program", 0, "", "Read me.\r\n"},
                                          {"samples.csv", "Data", 1, "data.ar1", "1,2,3\r\n"}};
  const std::string kitDir = BuildKit(work, files, "cd", 2000000) + "\\DISK01";
  Plant(kitDir);
  // An older copy of the read-me: the copy engine compares versions.
  ASSERT_TRUE(::CreateDirectoryA(target.c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(target + "\\readme.txt", "old"));
  ASSERT_TRUE(SetModificationTime(target + "\\readme.txt", 820454400));

  // An unattended installation, started in the Downloads folder.
  setup = ui::Process::Start(kitDir + "\\_setupx.exe", "/B", downloads);
  ASSERT_TRUE(setup.started()) << "CreateProcess error " << setup.startError();
  ExpectExitCode(0, 60000);
  ASSERT_EQ("Read me.\r\n", ReadFileBytes(target + "\\readme.txt")) << "installed";
  const std::vector<std::string> events = Events();
  EXPECT_NE(events.end(), std::find(events.begin(), events.end(), std::string(kSmsEvent)))
      << "no status library in the system or Windows directory";

  // The unattended removal, with the DLLs planted beside the installed copy too.
  Plant(target);
  const std::string command = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").value_or("");
  ASSERT_FALSE(command.empty());
  setup = ui::Process::StartCommand(command + " /B", downloads);
  ASSERT_TRUE(setup.started()) << command;
  ExpectExitCode(0, 60000);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((target + "\\readme.txt").c_str())) << "removed";

  // The CD menu, started and closed, with a sound to play.
  const std::string cd = work / "cd";
  ASSERT_TRUE(::CreateDirectoryA(cd.c_str(), nullptr));
  Plant(cd);
  ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("cdlaunch.exe").c_str(), (cd + "\\cdlaunch.exe").c_str(), FALSE));
  WriteFileBytes(cd + "\\autorun.inf",
                 "[Application Info]\r\nCaption=Planted\r\nPlaySound=start.wav\r\n"
                 "[Commands]\r\n1=Exit\r\n[Exit]\r\nCommand=QuitProgram\r\n");
  ui::Process menu = ui::Process::Start(cd + "\\cdlaunch.exe", {}, downloads);
  ASSERT_TRUE(menu.started());
  ui::WindowMatch match;
  match.caption = "Planted";
  HWND window = menu.WaitForWindow(match);
  ASSERT_NE(nullptr, window) << "the menu did not open";
  ::PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(menu.WaitForExit().has_value()) << "the menu did not close";

  EXPECT_EQ(std::vector<std::string>{}, Ran()) << "planted DLLs that ran";
}

namespace {

// The application manifest (resource type 24, id 1) of a program beside the
// test; empty when it has none.
std::string Manifest(const std::string& program) {
  const HMODULE module = ::LoadLibraryExA(ui::ProgramBesideTest(program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return {};
  std::string text;
  if (const HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    const HGLOBAL loaded = ::LoadResource(module, found);
    const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (bytes) text.assign(bytes, ::SizeofResource(module, found));
  }
  ::FreeLibrary(module);
  return text;
}

}  // namespace

TEST(ManifestTest, BothProgramsTellTodaysWindowsTheirRightsAndTheSystemsTheyKnow) {
  const struct {
    const char* program;
    const char* level;
  } rows[] = {{"_setupx.exe", "requireAdministrator"}, {"cdlaunch.exe", "asInvoker"}};
  // Vista, 7, 8, 8.1, 10 and 11.
  const char* const systems[] = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                                 "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                                 "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"};
  for (const auto& row : rows) {
    const std::string manifest = Manifest(row.program);
    ASSERT_FALSE(manifest.empty()) << row.program << " has no manifest";
    EXPECT_NE(std::string::npos, manifest.find(std::string("level=\"") + row.level + "\" uiAccess=\"false\""))
        << row.program << ":\n" << manifest;
    for (const char* id : systems) {
      EXPECT_NE(std::string::npos, manifest.find(std::string("<supportedOS Id=\"") + id + "\"/>"))
          << row.program << " lacks " << id;
    }
    // The classic look: no version 6 of the common controls, no DPI awareness.
    EXPECT_EQ(std::string::npos, manifest.find("Common-Controls")) << row.program;
    EXPECT_EQ(std::string::npos, manifest.find("dpiAware")) << row.program;
  }
}
