// An upgrade killed at a dozen moments of its run, its log's saves among
// them. The first version (1,000 files in one group: its section in the
// profile and in the log is beyond the 32,767 characters the profile
// functions of Windows before 7 give) is installed whole; the second (the
// same files and 250 more, in the same group) is installed over it with
// /S and killed from outside. Then the log and its journal hold every
// record of the first version and of each file the second one left on the
// machine, and the uninstall command (or first a whole reinstallation)
// leaves nothing of either but the running setup program.
#include <functional>
#include <ostream>
#include <memory>
#include <set>

#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

constexpr int kFirstFiles = 1000;
constexpr int kNewFiles = 250;

std::string FileName(int n) {
  char name[32];
  std::snprintf(name, sizeof name, "veltrane-data-%05d.dat", n);
  return name;
}

// The two versions: veltapp.exe, and data files of a few bytes each.
std::vector<ProductFile> Version(int dataFiles) {
  std::vector<ProductFile> files{{"veltapp.exe", "Program", 0, "", Text(5000, "program ")}};
  for (int n = 0; n < dataFiles; ++n) files.push_back({FileName(n), "Data", 1, "", "data " + std::to_string(n)});
  return files;
}

class UpgradeKillTest;

struct KillRow {
  const char* name;
  // The moment: true once the run is to be ended.
  bool (UpgradeKillTest::*moment)() const;
  bool reinstall;  // a whole run of the second version before the removal
};

void PrintTo(const KillRow& row, std::ostream* out) { *out << row.name; }

class UpgradeKillTest : public FreshMachineSetupTest, public ::testing::WithParamInterface<KillRow> {
public:
  static void SetUpTestSuite() {
    // Each version's kit in a folder of its own, built once for the rows.
    first_ = std::make_unique<TempDir>();
    second_ = std::make_unique<TempDir>();
    firstKit_ = BuildKit(*first_, Version(kFirstFiles), "cd", 40000000) + "\\DISK01\\_setupx.exe";
    secondKit_ = BuildKit(*second_, Version(kFirstFiles + kNewFiles), "cd", 40000000) + "\\DISK01\\_setupx.exe";
  }
  static void TearDownTestSuite() {
    first_.reset();
    second_.reset();
  }

  void SetUp() override {
    FreshMachineSetupTest::SetUp();
    target = work.path() + "\\Veltrane";
    ClearTheMachine();
  }
  void TearDown() override {
    FreshMachineSetupTest::TearDown();
    ClearTheMachine();
  }

  // The moments.
  bool WhileTheFirstSaveIsWritten() const { return SaveBeingWritten(); }
  bool OnceTheJournalHoldsRecords() const { return JournalRecords() > 0; }
  bool AfterThreeHundredRecords() const { return JournalRecords() >= 300; }
  bool AfterEightHundredRecords() const { return JournalRecords() >= 800; }
  bool WhileALaterSaveIsWritten() const { return SaveBeingWrittenAfterTheFirst(); }
  bool AtTheFirstNewFile() const { return NewFilesOnDisk() >= 1; }
  bool AfterTenNewFiles() const { return NewFilesOnDisk() >= 10; }
  bool AfterOneHundredNewFiles() const { return NewFilesOnDisk() >= 100; }
  bool AfterTwoHundredNewFiles() const { return NewFilesOnDisk() >= 200; }
  bool AtTheLastNewFile() const { return NewFilesOnDisk() >= kNewFiles; }
  // The shortcut as this run makes it anew (the first version made it too).
  bool WhileTheShortcutIsMade() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return ::GetFileAttributesExA(Shortcut().c_str(), GetFileExInfoStandard, &data) &&
           ::CompareFileTime(&data.ftLastWriteTime, &upgradeStarted_) > 0;
  }
  bool OnceTheUninstallEntryIsWritten() const { return ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").has_value(); }

protected:
  // A silent run of program into the target, to its end.
  void InstallSilently(const std::string& program) {
    Start("/S /T:\"" + target + "\"", program);
    ExpectExitCode(0, 300000);
  }

  // The second version, ended from outside at the row's moment. A moment
  // that passes too fast to be seen is tried again.
  void KillTheUpgrade(const KillRow& row) {
    for (int attempt = 1;; ++attempt) {
      InstallSilently(firstKit_);
      if (HasFatalFailure()) return;
      sawFirstSave_ = false;
      ::GetSystemTimeAsFileTime(&upgradeStarted_);
      Start("/S /T:\"" + target + "\"", secondKit_);
      const DWORD start = ::GetTickCount();
      bool caught = false;
      while (!(caught = (this->*row.moment)()) && setup.IsRunning() && ::GetTickCount() - start < 300000) {
        NoteSaves();
      }
      setup.Kill();
      if (caught) return;
      ASSERT_LT(attempt, 5) << "the moment passed unseen five times";
      ClearTheMachine();
    }
  }

  // Every record of the first version is in the log or its journal, and so
  // is every file of the second that is on the machine, but for the one
  // the journal names as being made (the next run deletes it).
  void ExpectNoRecordLost() const {
    std::set<std::string> recorded;
    for (const auto& [key, value] : ReadIniSection(logPath, "Data")) recorded.insert(key);
    std::string begun;
    const std::string journal = Journal();
    for (std::size_t at = 0; at < journal.size();) {
      const std::size_t end = journal.find("\r\n", at);
      if (end == std::string::npos) break;
      const std::string line = journal.substr(at, end - at);
      at = end + 2;
      const std::size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
      if (tab2 == std::string::npos) continue;
      if (line.compare(0, tab1, "+") == 0) {
        begun = line.substr(tab1 + 1, tab2 - tab1 - 1);
      } else if (line.compare(0, tab1, "Data") == 0) {
        recorded.insert(line.substr(tab1 + 1, tab2 - tab1 - 1));
        begun.clear();
      }
    }
    for (int n = 0; n < kFirstFiles; ++n) EXPECT_TRUE(recorded.count(FileName(n))) << FileName(n) << " of the first version";
    // The older copies the silent upgrade replaced are kept until it
    // commits, under names its rollback journal gives them.
    const std::string rollback = ReadSharedFile(rollbackPath);
    for (const std::string& name : ListFolder(target + "\\Data")) {
      if (recorded.count(name) || (target + "\\Data\\" + name) == begun) continue;
      if (rollback.find("\t" + target + "\\Data\\" + name + "\r\n") != std::string::npos) continue;
      ADD_FAILURE() << name << " is on the machine and in neither the log nor the journal";
    }
  }

  void RemoveWithTheUninstallCommandOrTheKit() {
    std::string command = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").value_or("");
    if (command.empty() || ::GetFileAttributesA((target + "\\_setupx.exe").c_str()) == INVALID_FILE_ATTRIBUTES) {
      command = "\"" + secondKit_ + "\" /U";
    }
    setup = ui::Process::StartCommand(command + " /S", WindowsDirectory());
    ASSERT_TRUE(setup.started()) << command;
    ExpectExitCode(0, 300000);
    ExpectOnlyTheRunningSetupProgramLeft(target);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(Shortcut().c_str())) << "the shortcut goes too";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(logPath.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(journalPath.c_str()));
  }

  // Every file of the version of dataFiles data files holds its bytes.
  void ExpectVersionWhole(int dataFiles) const {
    for (const ProductFile& file : Version(dataFiles)) {
      const std::string path = target + (file.destination == 1 ? "\\Data\\" : "\\") + file.name;
      ASSERT_EQ(file.bytes, ReadFileBytes(path)) << path;
    }
  }

  std::string target;

private:
  static std::string Shortcut() { return ProgramsFolder() + "\\" + kKitProgramGroup + "\\Veltrane Kit Test.lnk"; }

  // The journal as the running program writes it.
  std::string Journal() const { return ReadSharedFile(journalPath); }
  // The records of the data group in the journal now.
  std::size_t JournalRecords() const {
    const std::string journal = Journal();
    std::size_t count = journal.rfind("Data\t", 0) == 0 ? 1 : 0;
    for (std::size_t at = journal.find("\nData\t"); at != std::string::npos; at = journal.find("\nData\t", at + 1)) ++count;
    return count;
  }

  int NewFilesOnDisk() const {
    int count = 0;
    for (int n = kFirstFiles; n < kFirstFiles + kNewFiles; ++n) {
      if (::GetFileAttributesA((target + "\\Data\\" + FileName(n)).c_str()) != INVALID_FILE_ATTRIBUTES) ++count;
      else break;
    }
    return count;
  }

  // The new files beside the log that saves are writing: eight hex digits
  // and the log's extension.
  static std::vector<std::string> SaveFiles() {
    std::vector<std::string> names;
    for (const std::string& name : ListFolder(WindowsDirectory())) {
      if (name.size() == 12 && name.find_first_not_of("0123456789abcdefABCDEF") == 8 && name.ends_with(".log")) {
        names.push_back(name);
      }
    }
    return names;
  }
  static bool SaveBeingWritten() { return !SaveFiles().empty(); }
  void NoteSaves() {
    if (!sawFirstSave_ && JournalRecords() > 0) sawFirstSave_ = true;  // the first save is over once records come
  }
  bool SaveBeingWrittenAfterTheFirst() const { return sawFirstSave_ && SaveBeingWritten(); }

  void ClearTheMachine() {
    ClearTheInstallation(target);
    ::DeleteFileA(Shortcut().c_str());
    ::RemoveDirectoryA((ProgramsFolder() + "\\" + kKitProgramGroup).c_str());
    for (const std::string& name : SaveFiles()) ::DeleteFileA((WindowsDirectory() + "\\" + name).c_str());
  }

  bool sawFirstSave_ = false;
  FILETIME upgradeStarted_{};
  static std::unique_ptr<TempDir> first_;
  static std::unique_ptr<TempDir> second_;

protected:
  TempDir work;
  static std::string firstKit_;
  static std::string secondKit_;
};

std::unique_ptr<TempDir> UpgradeKillTest::first_;
std::unique_ptr<TempDir> UpgradeKillTest::second_;
std::string UpgradeKillTest::firstKit_;
std::string UpgradeKillTest::secondKit_;

TEST_P(UpgradeKillTest, LosesNoRecordAndIsRemovedWhole) {
  const KillRow& row = GetParam();
  KillTheUpgrade(row);
  if (HasFatalFailure()) return;
  ExpectNoRecordLost();
  if (row.reinstall) {
    InstallSilently(secondKit_);
    if (HasFatalFailure()) return;
    ExpectVersionWhole(kFirstFiles + kNewFiles);
  }
  RemoveWithTheUninstallCommandOrTheKit();
}

const KillRow kKillRows[] = {
    {"WhileTheFirstSaveIsWritten", &UpgradeKillTest::WhileTheFirstSaveIsWritten, false},
    {"OnceTheJournalHoldsRecords", &UpgradeKillTest::OnceTheJournalHoldsRecords, true},
    {"AfterThreeHundredRecords", &UpgradeKillTest::AfterThreeHundredRecords, false},
    {"AfterEightHundredRecords", &UpgradeKillTest::AfterEightHundredRecords, false},
    {"WhileALaterSaveIsWritten", &UpgradeKillTest::WhileALaterSaveIsWritten, true},
    {"AtTheFirstNewFile", &UpgradeKillTest::AtTheFirstNewFile, false},
    {"AfterTenNewFiles", &UpgradeKillTest::AfterTenNewFiles, false},
    {"AfterOneHundredNewFiles", &UpgradeKillTest::AfterOneHundredNewFiles, true},
    {"AfterTwoHundredNewFiles", &UpgradeKillTest::AfterTwoHundredNewFiles, false},
    {"AtTheLastNewFile", &UpgradeKillTest::AtTheLastNewFile, false},
    {"WhileTheShortcutIsMade", &UpgradeKillTest::WhileTheShortcutIsMade, true},
    {"OnceTheUninstallEntryIsWritten", &UpgradeKillTest::OnceTheUninstallEntryIsWritten, false},
};

INSTANTIATE_TEST_SUITE_P(Moments, UpgradeKillTest, ::testing::ValuesIn(kKillRows),
                         [](const ::testing::TestParamInfo<KillRow>& row) { return std::string(row.param.name); });

// A group of 3,000 files, installed and removed: its section of the
// profile is three times what the profile functions of Windows before 7
// give, and the log is beyond the 64 KB those of Windows 95 handle.
TEST_F(UpgradeKillTest, AGroupOfThreeThousandFilesIsInstalledAndRemovedWhole) {
  constexpr int kFiles = 3000;
  const std::string kitProgram = BuildKit(work, Version(kFiles), "cd", 40000000) + "\\DISK01\\_setupx.exe";
  const std::string profile = ReadFileBytes(kitProgram.substr(0, kitProgram.rfind('\\')) + "\\_setupx.ini");
  EXPECT_GT(profile.size() - profile.find("[Data]"), 3u * 32767) << "the group's section";
  InstallSilently(kitProgram);
  if (HasFatalFailure()) return;
  EXPECT_EQ(static_cast<std::size_t>(kFiles), ListFolder(target + "\\Data").size());
  EXPECT_GT(ReadFileBytes(logPath).size(), 64u * 1024) << "beyond what the profile functions of Windows 95 handle";
  ExpectVersionWhole(kFiles);
  RemoveWithTheUninstallCommandOrTheKit();
}

}  // namespace
