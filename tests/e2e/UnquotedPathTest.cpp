// The uninstall command against a planted program: the product is installed
// into a directory whose path has a blank, and a program that leaves a
// marker is put where an unquoted command line would find it first (the
// path up to its first blank, plus ".exe": C:\Program.exe for
// C:\Program Files\...). Started the way the list of removable programs
// starts it, the registered command must run the setup program, which
// removes the product, and never the planted one.
#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

class UnquotedPathTest : public SetupTest {
protected:
  void SetUp() override {
    SetupTest::SetUp();
    const std::string programFiles =
        ReadString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir").value_or("");
    ASSERT_FALSE(programFiles.empty());
    folderName = "Veltrane Quoted " + std::to_string(::GetCurrentProcessId());
    target = programFiles + "\\" + folderName;
    ASSERT_NE(std::string::npos, target.find(' '));
    planted = target.substr(0, target.find(' ')) + ".exe";
    plantedGuard.emplace(planted);
    ::SetEnvironmentVariableA("VELT_PROBE_LOG", marker.c_str());
  }
  void TearDown() override {
    SetupTest::TearDown();
    ::SetEnvironmentVariableA("VELT_PROBE_LOG", nullptr);
    plantedGuard.reset();
    RemoveTree(target);
  }

  TempDir work;
  std::string folderName;  // of the installation directory, proposed in Program Files
  std::string target;
  std::string planted;
  std::optional<FileGuard> plantedGuard;  // takes the planted program away again
  const std::string marker = work / "planted-program-ran.txt";
  ShortcutGuard shortcutGuard{kKitProgramGroup, "Veltrane Kit Test.lnk"};
  // The user name that the User Information page needs in batch mode.
  const testreg::ScopedStringValue windowsOwner{HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                                                "RegisteredOwner", "Batch User"};
  const testreg::ScopedStringValue ntOwner{HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion",
                                           "RegisteredOwner", "Batch User"};
};

}  // namespace

TEST_F(UnquotedPathTest, TheUninstallCommandRunsTheSetupProgramAndNotAProgramPlantedAtTheFirstBlank) {
  const std::vector<ProductFile> files = {
      {"veltapp.exe", "Program", 0, "velt.ar1", Text(20000, "program code ")},
      {"readme.txt", "Program", 0, "", "Read me first.\r\n"},
  };
  const std::string kitDir = BuildKit(work, files, "cd", 2000000, folderName);
  Start("/B", kitDir + "\\DISK01\\_setupx.exe");
  ExpectExitCode(0, 60000);
  ASSERT_EQ("Read me first.\r\n", ReadFileBytes(target + "\\readme.txt")) << "installed";

  ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("velt_probe.exe").c_str(), planted.c_str(), FALSE)) << planted;
  const std::string command = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").value_or("");
  EXPECT_EQ("\"" + target + "\\_setupx.exe\" /U", command);
  setup = ui::Process::StartCommand(command, WindowsDirectory());
  ASSERT_TRUE(setup.started()) << command;
  if (PressOn(kRemoveConfirm, "&Next >") && PressOn(kRemoved, "&OK", 60000)) ExpectExitCode(0);

  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(marker.c_str()))
      << planted << " ran: " << ReadFileBytes(marker);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((target + "\\readme.txt").c_str())) << "removed";
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((target + "\\veltapp.exe").c_str())) << "removed";
  EXPECT_FALSE(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").has_value()) << "unregistered";
}
