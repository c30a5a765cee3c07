// Kits damaged after mkkit sealed them, each installed with /B as a
// deployment script would: the setup program notices every damage before
// it installs anything of the damaged file, says which file in its error
// dialog and its log, and ends with 1603; the dialogs are answered as a
// user would (Cancel Operation for a file, OK for the profile). A kit
// whose seal was taken away installs as kits without one always did, and
// its log says that nothing was checked.
#include <ostream>

#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

enum class StopsOn {
  reading,  // the Reading page: the profile or the seal itself
  file,     // the copy: the file's Continue/Cancel question
  nothing,  // installs
};

struct DamageRow {
  const char* name;
  // Damages the kit, given its first folder.
  void (*damage)(const std::string& disk1);
  StopsOn stopsOn;
  // The error dialog's short text (a fragment); none for a kit that
  // installs.
  const char* message;
  // What the install log's [Events] say (a fragment of a line).
  const char* event;
  // The product file that must not be installed, relative to the target.
  const char* notInstalled;
};

void PrintTo(const DamageRow& row, std::ostream* out) { *out << row.name; }

void FlipAByte(const std::string& path, std::size_t at) {
  std::string bytes = ReadFileBytes(path);
  ASSERT_LT(at, bytes.size()) << path;
  bytes[at] = static_cast<char>(~bytes[at]);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
}

void CutTo(const std::string& path, std::size_t size) {
  std::string bytes = ReadFileBytes(path);
  ASSERT_LT(size, bytes.size()) << path;
  bytes.resize(size);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
}

// The first member's header follows the archive's 8-byte part header; its
// destination is a 16-bit field at 300.
void MoveFirstMemberToTheSystemDirectory(const std::string& disk1) {
  std::string bytes = ReadFileBytes(disk1 + "\\velt.ar1");
  ASSERT_GT(bytes.size(), 8u + 346u);
  bytes[8 + 300] = static_cast<char>(0xFE);  // -2, little-endian
  bytes[8 + 301] = static_cast<char>(0xFF);
  ASSERT_TRUE(WriteFileBytes(disk1 + "\\velt.ar1", bytes));
}

void AppendToTheSeal(const std::string& disk1, const std::string& line) {
  ASSERT_TRUE(WriteFileBytes(disk1 + "\\_kitseal.sha", ReadFileBytes(disk1 + "\\_kitseal.sha") + line));
}

const DamageRow kRows[] = {
    {"OneByteFlippedInAPlainFile", [](const std::string& d) { FlipAByte(d + "\\readme.txt", 3); }, StopsOn::file,
     "differs from the kit's seal", "File not installed: readme.txt", "readme.txt"},
    {"AMemberHeaderDestinationChangedToTheSystemDirectory", &MoveFirstMemberToTheSystemDirectory, StopsOn::file,
     "entry headers differ from the kit's seal", "more files of velt.ar1", "veltapp.exe"},
    {"AnArchivePartCutInsideAMemberHeader", [](const std::string& d) { CutTo(d + "\\data.ar1", 8 + 200); },
     StopsOn::file, "differs from the kit's seal", "more files of data.ar1", "Data\\samples.csv"},
    {"APlainFileSwappedForAnotherOfTheSameSize",
     [](const std::string& d) { ASSERT_TRUE(WriteFileBytes(d + "\\readme.txt", "Run me!!\r\n")); }, StopsOn::file,
     "differs from the kit's seal", "File not installed: readme.txt", "readme.txt"},
    {"ATruncatedPlainFile", [](const std::string& d) { CutTo(d + "\\readme.txt", 4); }, StopsOn::file,
     "differs from the kit's seal", "File not installed: readme.txt", "readme.txt"},
    {"TheProfileEditedAfterSealing",
     [](const std::string& d) {
       ASSERT_TRUE(WriteFileBytes(d + "\\_setupx.ini", ReadFileBytes(d + "\\_setupx.ini") + "; edited\r\n"));
     },
     StopsOn::reading, "differs from the kit's seal", nullptr, nullptr},
    {"ASealLinePointingOutsideTheKit",
     [](const std::string& d) { AppendToTheSeal(d, std::string(64, '0') + " 10 1 ..\\..\\Windows\\win.ini\r\n"); },
     StopsOn::reading, "Kit seal damaged", nullptr, nullptr},
    {"TheSealRemoved", [](const std::string& d) { ASSERT_TRUE(::DeleteFileA((d + "\\_kitseal.sha").c_str())); },
     StopsOn::nothing, nullptr, "Kit not checked: it has no seal", nullptr},
};

class DamagedKitTest : public FreshMachineSetupTest, public ::testing::WithParamInterface<DamageRow> {
public:
  void TearDown() override {
    FreshMachineSetupTest::TearDown();
    for (const std::string& stray : StraysInTheSystemFolders()) ::DeleteFileA(stray.c_str());
  }

  // The product's program where only a damaged header could have put it.
  static std::vector<std::string> StraysInTheSystemFolders() {
    std::vector<std::string> found;
    char system[MAX_PATH];
    ::GetSystemDirectoryA(system, MAX_PATH);
    for (const std::string& folder : {WindowsDirectory(), std::string(system)}) {
      const std::string path = folder + "\\veltapp.exe";
      if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) found.push_back(path);
    }
    return found;
  }

protected:
  TempDir work;
  ShortcutGuard kitShortcut{kKitProgramGroup, "Veltrane Kit Test.lnk"};
};

TEST_P(DamagedKitTest, InstallsNothingOfADamagedFileAndSaysWhich) {
  const DamageRow& row = GetParam();
  const std::string kitDir = BuildKit(work, SmallProduct(), "cd", 2000000);
  const std::string disk1 = kitDir + "\\DISK01";
  row.damage(disk1);
  if (HasFatalFailure()) return;
  const std::string target = work / "Veltrane";

  Start("/B /T:\"" + target + "\" /N:Tester", disk1 + "\\_setupx.exe");
  if (row.stopsOn != StopsOn::nothing) {
    HWND error = setup.WaitForWindow({"Warning", "#32770", row.message}, 60000);
    ASSERT_NE(nullptr, error) << "no error dialog saying \"" << row.message << "\"; windows: " << DescribeWindows();
    if (row.stopsOn == StopsOn::file) {
      Press(error, "Cancel Operation");
    } else {
      ui::AnswerDialog(error, IDOK);
    }
    if (!setup.WaitForExit(10000)) {
      ASSERT_TRUE(PressOn(kFailed, "&OK"));
    }
  }
  ExpectExitCode(row.stopsOn == StopsOn::nothing ? 0 : 1603, 60000);

  const std::vector<std::string> events = Events();
  const auto logged = [&](const std::string& fragment) {
    for (const std::string& e : events) {
      if (e.find(fragment) != std::string::npos) return true;
    }
    return false;
  };
  if (row.event) {
    EXPECT_TRUE(logged(row.event)) << ::testing::PrintToString(events);
  }
  if (row.notInstalled) {
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((target + "\\" + row.notInstalled).c_str()));
  }
  if (row.stopsOn == StopsOn::reading) {
    // The run never got to the copy.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(target.c_str()));
  } else if (row.stopsOn == StopsOn::nothing) {
    EXPECT_EQ("Read me.\r\n", ReadFileBytes(target + "\\readme.txt"));
  }
  // Nothing of a damaged file stays anywhere: no temporary file beside
  // what was installed, no program where a damaged header pointed.
  for (const std::string& folder : {target, target + "\\Data"}) {
    for (const std::string& name : ListFolder(folder)) {
      EXPECT_TRUE(name == "readme.txt" || name == "veltapp.exe" || name == "samples.csv" || name == "Data" ||
                  name == "_setupx.exe")
          << folder << "\\" << name << " was left";
    }
  }
  EXPECT_TRUE(StraysInTheSystemFolders().empty());
}

INSTANTIATE_TEST_SUITE_P(Kits, DamagedKitTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<DamageRow>& row) { return std::string(row.param.name); });

}  // namespace
