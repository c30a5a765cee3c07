// Installations for real: a product of the test's own is packed by the kit
// builder for diskettes (one folder per diskette, spanning several) and for
// a CD (numbered folders), and the real setup program installs it, walked
// as a user walks it or in batch mode. Every installed file is compared
// byte for byte with its source, and the install log must hold one record
// per file.
#include <algorithm>

#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

class InstallTest : public SetupTest {
protected:
  void SetUp() override {
    SetupTest::SetUp();
    files = {
        {"veltapp.exe", "Program", 0, "velt.ar1", Text(150000, "program code ")},
        {"readme.txt", "Program", 0, "", "Read me first.\r\n"},
        {"empty.txt", "Program", 0, "", ""},
        {"big1.bin", "Data", 1, "data.ar1", Noise(1500000, 1)},
        {"big2.bin", "Data", 1, "data.ar1", Noise(1500000, 2)},
        {"samples.csv", "Data", 1, "data.ar1", Text(300000, "1,2,3,4\r\n")},
        {"plain.bin", "Data", 1, "", Noise(700000, 3)},
    };
  }

  // Builds the kit of files for media with the kit builder; returns the
  // kit's folder.
  std::string BuildKit(const std::string& media, unsigned capacity) {
    return setup_e2e::BuildKit(work, files, media, capacity);
  }

  // Every file of the product in its destination under target, byte for
  // byte, with its record in the install log.
  void ExpectInstalled(const std::string& target) {
    for (const ProductFile& file : files) {
      const std::string path = target + (file.destination == 1 ? "\\Data\\" : "\\") + file.name;
      EXPECT_TRUE(ReadFileBytes(path) == file.bytes) << path << " differs from its source";
      EXPECT_EQ(std::to_string(file.destination) + "|1|0", ReadString(logPath, file.group.c_str(), file.name.c_str()))
          << file.name;
    }
    // The kit installs its setup program too, for the product's removal.
    EXPECT_TRUE(ReadFileBytes(target + "\\_setupx.exe") == ReadFileBytes(ui::ProgramBesideTest("_setupx.exe")));
    EXPECT_EQ("0|1|0", ReadString(logPath, "Program", "_setupx.exe"));
    const std::string item = ReadString(logPath, "targets", "veltapp.exe").value_or("");
    const std::string program = target + "\\veltapp.exe";
    EXPECT_TRUE(item.size() > program.size() && item.compare(item.size() - program.size(), program.size(), program) == 0)
        << "the program item points at the installed program: " << item;
  }

  TempDir work;
  std::vector<ProductFile> files;
  ShortcutGuard shortcutGuard{kKitProgramGroup, "Veltrane Kit Test.lnk"};
};

}  // namespace

TEST_F(InstallTest, FromDiskettesAskingForEachFurtherDiskette) {
  const std::vector<std::string> diskettes = DiskettesOneAtATime(BuildKit("diskettes", 2000000));
  ASSERT_GE(diskettes.size(), 3u) << "the kit spans at least three diskettes";

  const std::string target = work / "Veltrane";
  Start({}, diskettes[0] + "\\_setupx.exe");
  HWND ready = WalkToReadyToCopy(target);
  ASSERT_NE(nullptr, ready);
  Press(ready, "&Copy");
  for (std::size_t n = 1; n < diskettes.size(); ++n) {
    if (n == 1) {
      // The copy is under way: gauge, file names and a billboard show.
      ui::WaitUntil([&] { return WaitFor({"Insert Diskette", ""}, 100) != nullptr; }, 30000);
      Picture(::GetDesktopWindow(), "108");
    }
    ASSERT_TRUE(InsertDiskette(diskettes[n])) << "diskette " << n + 1 << "; windows shown: " << DescribeWindows();
  }
  HWND finished = Expect(kFinished, 60000);
  ASSERT_NE(nullptr, finished);
  Press(finished, "Finished");
  ExpectEndsWithin();
  ExpectInstalled(target);
}

TEST_F(InstallTest, FromACdFindingTheNumberedFoldersByItself) {
  const std::string kitDir = BuildKit("cd", 2000000);
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((kitDir + "\\DISK03").c_str()));

  const std::string target = work / "Veltrane";
  Start({}, kitDir + "\\DISK01\\_setupx.exe");
  HWND ready = WalkToReadyToCopy(target);
  ASSERT_NE(nullptr, ready);
  Press(ready, "&Copy");
  HWND finished = Expect(kFinished, 60000);
  ASSERT_NE(nullptr, finished);
  EXPECT_TRUE(setup.NoWindowFor({"Insert Diskette", "#32770", ""}, 0)) << "no diskette was asked for";
  Press(finished, "Finished");
  ExpectEndsWithin();
  ExpectInstalled(target);
}

TEST_F(InstallTest, InBatchModeWithoutAnyAnswer) {
  const std::string kitDir = BuildKit("cd", 2000000);
  // The default installation directory, made beforehand: the installation
  // goes into a directory that exists. (Into a missing one the batch walk
  // creates it without asking; the exit code tests run that.)
  const std::string programFiles =
      ReadString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir").value_or("");
  ASSERT_FALSE(programFiles.empty());
  const std::string target = programFiles + "\\Veltrane";
  if (::GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << target << " exists already";
  }
  ASSERT_TRUE(::CreateDirectoryA(target.c_str(), nullptr));
  struct RemoveTarget {
    std::string path;
    ~RemoveTarget() { RemoveTree(path); }
  } removeTarget{target};

  // The user name that the User Information page needs to go on, under
  // both keys it may read it from.
  const testreg::ScopedStringValue windowsOwner(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                                                "RegisteredOwner", "Batch User");
  const testreg::ScopedStringValue ntOwner(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion",
                                           "RegisteredOwner", "Batch User");

  Start("/B", kitDir + "\\DISK01\\_setupx.exe");
  const std::optional<DWORD> code = setup.WaitForExit(60000);
  ASSERT_TRUE(code.has_value()) << "the batch run did not end by itself; windows shown: " << DescribeWindows();
  ExpectInstalled(target);
}

TEST_F(InstallTest, AFileInUseIsReplacedAtTheRestart) {
  files = {{"busy.dll", "Program", 0, "", "new version of the library"},
           {"veltapp.exe", "Program", 0, "", "program"},
           {"samples.csv", "Data", 1, "", "1,2,3\r\n"}};
  const std::string kitDir = BuildKit("cd", 2000000);
  const std::string target = work / "Veltrane";
  ASSERT_TRUE(::CreateDirectoryA(target.c_str(), nullptr));
  const std::string busy = target + "\\busy.dll";
  CHandle held = HoldOlderCopy(busy, "old version");
  ASSERT_TRUE(held.valid());

  Start({}, kitDir + "\\DISK01\\_setupx.exe");
  HWND ready = WalkToReadyToCopy(target, false, true);
  ASSERT_NE(nullptr, ready);
  Press(ready, "&Copy");
  ASSERT_TRUE(PressOn(kRestart, "&Don't Restart", 60000));
  ExpectEndsWithin();
  held.reset();

  EXPECT_EQ("0|0|1", ReadString(logPath, "Program", "busy.dll"));
  EXPECT_EQ("old version", ReadFileBytes(busy)) << "replaced only at the restart";

  // The restart: Wine's boot carries out the pending renames.
  ui::Process boot = ui::Process::Start(WindowsSystemDirectory() + "\\wineboot.exe", "-r");
  ASSERT_TRUE(boot.started());
  ASSERT_TRUE(boot.WaitForExit(60000).has_value());
  EXPECT_EQ("new version of the library", ReadFileBytes(busy));
  // Nothing is left of the new data's temporary name.
  EXPECT_EQ((std::vector<std::string>{"Data", "_setupx.exe", "busy.dll", "veltapp.exe"}), ListFolder(target));
}
