// Silent installations that do not complete leave the machine as it was.
// The first version is installed whole (some of its files then made newer
// than the second's, some older, a shared file counted once); the second
// version is installed over it with /S and fails (a damaged file at the
// start, in the middle or at the end of the copy, a missing file, a file
// in use and then a failure, a close from outside), or is killed from
// outside at a moment of its run. A killed run is undone by the next run,
// whatever it is. Afterwards the product's folder, the System and the
// Windows directory, the shortcut, the product's registry entries, the
// shared file's count and the pending renames are as they were before the
// second run, times and attributes included; a run killed after its commit
// is installed whole instead.
#include <functional>
#include <map>
#include <ostream>

#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

constexpr int kDataFiles = 150;

std::string DataName(int n) { return "data" + std::to_string(n) + ".dat"; }

// What a snapshot records of each file and folder in folder: attributes,
// time and size, and for the product's own files a digest of their bytes.
void Snapshot(const std::string& folder, bool recursive, bool withBytes, std::map<std::string, std::string>& into) {
  for (const FolderEntry& entry : ListTree(folder, recursive)) {
    if (entry.directory) {
      into[entry.path] = "directory";
      continue;
    }
    std::string text = std::to_string(entry.attributes & ~FILE_ATTRIBUTE_ARCHIVE) + " " + std::to_string(entry.written) +
                       " " + std::to_string(entry.size);
    if (withBytes) {
      std::uint64_t hash = 1469598103934665603ull;
      for (const char c : ReadFileBytes(entry.path)) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
      text += " " + std::to_string(hash);
    }
    into[entry.path] = text;
  }
}

// Every value below root\path, as text.
void SnapshotKey(HKEY root, const std::string& path, std::map<std::string, std::string>& into) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
  const CRegistryKeyHandle key(opened);
  into["key " + path] = "";
  char name[512];
  BYTE data[8192];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (::RegEnumValueA(key.get(), i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    into["value " + path + "\\" + std::string(name, nameSize)] =
        std::to_string(type) + ":" + std::string(reinterpret_cast<const char*>(data), dataSize);
  }
  for (DWORD i = 0; ::RegEnumKeyA(key.get(), i, name, sizeof name) == ERROR_SUCCESS; ++i) {
    SnapshotKey(root, path + "\\" + name, into);
  }
}

class RollbackTest;

struct RollbackRow {
  const char* name;
  // Makes the second version's run fail, or ends it from outside.
  void (RollbackTest::*run)();
  // What follows a killed run: the next run, which undoes it first.
  enum class Next { failingRun, secondRun, removal } next = Next::failingRun;
  bool committed = false;  // killed after the commit: installed whole
};

void PrintTo(const RollbackRow& row, std::ostream* out) { *out << row.name; }

class RollbackTest : public FreshMachineSetupTest, public ::testing::WithParamInterface<RollbackRow> {
public:
  void SetUp() override {
    FreshMachineSetupTest::SetUp();
    target = work.path() + "\\Veltrane";
    shared = WindowsSystemDirectory() + "\\" + sharedName;
    firstKit_ = BuildKit(first_, Version(1), "cd", 40000000) + "\\DISK01";
    secondKit_ = BuildKit(second_, Version(2), "cd", 40000000) + "\\DISK01";
  }
  void TearDown() override {
    held_.reset();
    FreshMachineSetupTest::TearDown();
    ClearTheMachine();
  }

  // Nothing of either version on the machine.
  void ClearTheMachine() {
    ClearTheInstallation(target);
    CompletePendingRenames();
    ::DeleteFileA(shared.c_str());
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      ::RegDeleteValueA(key, shared.c_str());
      ::RegCloseKey(key);
    }
    RemoveTree(ShortcutFolder());
  }

  // The first version installed whole; then its readme made newer than
  // the second's (the second keeps it), and the rest older (replaced).
  void InstallTheFirstVersion() {
    Start("/S /T:\"" + target + "\"", firstKit_ + "\\_setupx.exe");
    ExpectExitCode(0, 120000);
    ASSERT_TRUE(SetModificationTime(target + "\\readme.txt", 1900000000));
    ASSERT_TRUE(SetModificationTime(target + "\\veltapp.exe", 820454400));
    ASSERT_TRUE(SetModificationTime(shared, 820454400));
    for (const std::string& name : ListFolder(target + "\\Data")) {
      ASSERT_TRUE(SetModificationTime(target + "\\Data\\" + name, 820454400));
    }
    ASSERT_EQ(std::optional<DWORD>(1), SharedCount(shared));
  }

  std::map<std::string, std::string> Machine() const {
    std::map<std::string, std::string> state;
    Snapshot(target, true, true, state);
    Snapshot(ShortcutFolder(), true, true, state);
    Snapshot(WindowsDirectory(), false, false, state);
    Snapshot(WindowsSystemDirectory(), false, false, state);
    state[logPath] = ReadFileBytes(logPath);
    state[journalPath] = ReadFileBytes(journalPath);
    SnapshotKey(HKEY_LOCAL_MACHINE, kUninstallKey, state);
    SnapshotKey(HKEY_LOCAL_MACHINE, kAppPathKey, state);
    state["count"] = std::to_string(SharedCount(shared).value_or(0));
    state["pending"] = PendingRenames();
    return state;
  }

  static void ExpectSameMachine(const std::map<std::string, std::string>& before,
                                const std::map<std::string, std::string>& after) {
    for (const auto& [what, was] : before) {
      const auto now = after.find(what);
      if (now == after.end()) {
        ADD_FAILURE() << what << " is gone";
      } else if (now->second != was) {
        ADD_FAILURE() << what << " changed: " << (was.size() < 200 ? was : "(long)") << " -> "
                      << (now->second.size() < 200 ? now->second : "(long)");
      }
    }
    for (const auto& [what, now] : after) {
      if (before.count(what) == 0) ADD_FAILURE() << what << " is new";
    }
  }

  // The rows' runs of the second version.
  void DamagedFirstFile() { FailWith([this] { DamageTheMiddleOf(secondKit_ + "\\velt.ar1"); }, 1603); }
  void DamagedMiddleFile() { FailWith([this] { DamageTheMiddleOf(secondKit_ + "\\data.ar1"); }, 1603); }
  void DamagedLastFile() { FailWith([this] { DamageTheMiddleOf(secondKit_ + "\\zlast.txt"); }, 1603); }
  void MissingLastFile() { FailWith([this] { ASSERT_TRUE(::DeleteFileA((secondKit_ + "\\zlast.txt").c_str())); }, 1603); }
  // The shared file is in use: its replacement waits for the restart,
  // and then the last file fails.
  void FileInUseThenAFailure() {
    FailWith(
        [this] {
          held_.emplace(::CreateFileA(shared.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
          ASSERT_TRUE(held_->valid());
          DamageTheMiddleOf(secondKit_ + "\\zlast.txt");
        },
        1603);
  }
  void ClosedFromOutside() {
    StartTheSecondVersion();
    ASSERT_TRUE(ui::WaitUntil([this] { return JournalLines("keep\t") > 0 || !setup.IsRunning(); }, 120000));
    // Asked again until the run takes it in (it is answered Yes). A silent
    // run has no window: the close request goes to its thread.
    while (setup.IsRunning()) {
      setup.PostToThreads(WM_CLOSE);
      ::Sleep(20);
    }
    ExpectExitCode(1602, 120000);
    ExpectRolledBack(1602);
  }
  // Killed: once the journal is there, after the first kept copy, half-way
  // through the data, while the shortcut and the registry entries are
  // named, and after the commit.
  void KilledAtTheStart() { KillWhen([this] { return JournalLines("begin") > 0; }); }
  void KilledAtTheFirstKeptCopy() { KillWhen([this] { return JournalLines("keep\t") > 0; }); }
  void KilledHalfWay() { KillWhen([this] { return JournalLines("keep\t") > kDataFiles / 2; }); }
  void KilledAtTheShortcut() { KillWhen([this] { return JournalLines("keep\t" + ShortcutFolder()) > 0; }); }
  void KilledAtTheSharedFile() { KillWhen([this] { return JournalLines("keep\t" + shared) > 0; }); }
  void KilledAtTheLastFile() { KillWhen([this] { return JournalLines("keep\t" + target + "\\Data\\zlast.txt") > 0; }); }
  void KilledAtTheRegistry() { KillWhen([this] { return JournalLines("key\t") > 0; }); }
  void KilledAfterTheCommit() { KillWhen([this] { return JournalLines("commit") > 0; }); }

protected:
  void FailWith(const std::function<void()>& damage, DWORD code) {
    damage();
    if (HasFatalFailure()) return;
    StartTheSecondVersion();
    ExpectExitCode(code, 120000);
    ExpectRolledBack(code);
  }

  // The verbose log of the second version's run names the rollback last.
  void ExpectRolledBack(DWORD code) const {
    const std::vector<std::string> lines = Lines(work / "second.log");
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(std::string::npos,
              lines.back().find("Everything this run changed is rolled back; exit code " + std::to_string(code)))
        << lines.back();
  }

  void StartTheSecondVersion() { Start("/S /L:\"" + (work / "second.log") + "\" /T:\"" + target + "\"", secondKit_ + "\\_setupx.exe"); }

  // Ends the second version's run from outside once moment holds; a
  // moment that passed unseen is tried again.
  void KillWhen(const std::function<bool()>& moment) {
    for (int attempt = 1;; ++attempt) {
      StartTheSecondVersion();
      bool caught = false;
      const DWORD start = ::GetTickCount();
      while (!(caught = moment()) && setup.IsRunning() && ::GetTickCount() - start < 120000) {
      }
      setup.Kill();
      if (caught) return;
      ASSERT_LT(attempt, 8) << "the moment passed unseen";
      // The run went through: back to the first version.
      ClearTheMachine();
      InstallTheFirstVersion();
      if (HasFatalFailure()) return;
      before_ = Machine();
    }
  }

  // The lines of the rollback journal that begin with prefix.
  int JournalLines(const std::string& prefix) const {
    const std::string journal = ReadSharedFile(rollbackPath);
    int count = journal.rfind(prefix, 0) == 0 ? 1 : 0;
    for (std::size_t at = journal.find("\n" + prefix); at != std::string::npos; at = journal.find("\n" + prefix, at + 1)) {
      ++count;
    }
    return count;
  }

  // The two versions: the program and a readme in the first archive, the
  // data in a second, the shared file and a last plain file.
  std::vector<ProductFile> Version(int version) const {
    std::vector<ProductFile> files{{"veltapp.exe", "Program", 0, "velt.ar1", Noise(60000, version)},
                                   {"readme.txt", "Program", 0, "", Text(30000, "version " + std::to_string(version))},
                                   {sharedName, "Program", -3, "", Noise(40000, 10 + version)}};
    const int data = kDataFiles + (version == 2 ? 20 : 0);
    for (int n = 0; n < data; ++n) files.push_back({DataName(n), "Data", 1, "data.ar1", Noise(3000 + n, 100 * version + n)});
    files.push_back({"zlast.txt", "Data", 1, "", Text(30000, "last " + std::to_string(version))});
    return files;
  }

  static std::string ShortcutFolder() { return ProgramsFolder() + "\\" + kKitProgramGroup; }

  TempDir work;
  TempDir first_, second_;
  std::string firstKit_, secondKit_;
  std::string target, shared;
  const std::string sharedName = "velr" + std::to_string(::GetCurrentProcessId()) + ".dll";
  std::optional<CHandle> held_;

public:
  std::map<std::string, std::string> before_;
};

TEST_P(RollbackTest, LeavesTheMachineAsItWasOrInstallsWhole) {
  const RollbackRow& row = GetParam();
  InstallTheFirstVersion();
  if (HasFatalFailure()) return;
  before_ = Machine();

  (this->*row.run)();
  if (HasFatalFailure()) return;
  held_.reset();

  switch (row.next) {
    case RollbackRow::Next::failingRun:
      // Any run undoes a killed one first: here one that fails at once (no
      // profile where it is started), having changed nothing of its own.
      Start("/S /D:\"" + work.path() + "\"", secondKit_ + "\\_setupx.exe");
      ExpectExitCode(1603, 120000);
      break;
    case RollbackRow::Next::secondRun:
      StartTheSecondVersion();
      ExpectExitCode(0, 120000);
      break;
    case RollbackRow::Next::removal: {
      const std::string command = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString").value_or("");
      ASSERT_FALSE(command.empty()) << "the first version's uninstall entry";
      setup = ui::Process::StartCommand(command, WindowsDirectory());
      ASSERT_TRUE(setup.started()) << command;
      ExpectExitCode(0, 120000);
      break;
    }
  }
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(rollbackPath.c_str())) << "the journal is gone";

  if (row.next == RollbackRow::Next::removal) {
    ExpectOnlyTheRunningSetupProgramLeft(target);
    EXPECT_EQ(std::optional<DWORD>(), SharedCount(shared)) << "counted by nobody";
  } else if (row.committed || row.next == RollbackRow::Next::secondRun) {
    for (const ProductFile& file : Version(2)) {
      const std::string path = file.destination == -3   ? shared
                               : file.destination == 1   ? target + "\\Data\\" + file.name
                                                         : target + "\\" + file.name;
      if (file.name == "readme.txt") continue;  // the first version's, newer, stays
      EXPECT_EQ(file.bytes, ReadFileBytes(path)) << path;
    }
    EXPECT_EQ(std::optional<DWORD>(1), SharedCount(shared));
    for (const std::string& name : ListFolder(target + "\\Data")) {
      EXPECT_EQ(std::string::npos, name.find(".old")) << name << ": a kept copy outlived the commit";
    }
  } else {
    ExpectSameMachine(before_, Machine());
  }
}

using Next = RollbackRow::Next;

INSTANTIATE_TEST_SUITE_P(
    SilentRuns, RollbackTest,
    ::testing::Values(RollbackRow{"DamagedFirstFile", &RollbackTest::DamagedFirstFile},
                      RollbackRow{"DamagedMiddleFile", &RollbackTest::DamagedMiddleFile},
                      RollbackRow{"DamagedLastFile", &RollbackTest::DamagedLastFile},
                      RollbackRow{"MissingLastFile", &RollbackTest::MissingLastFile},
                      RollbackRow{"FileInUseThenAFailure", &RollbackTest::FileInUseThenAFailure},
                      RollbackRow{"ClosedFromOutside", &RollbackTest::ClosedFromOutside},
                      RollbackRow{"KilledAtTheStart", &RollbackTest::KilledAtTheStart},
                      RollbackRow{"KilledAtTheFirstKeptCopy", &RollbackTest::KilledAtTheFirstKeptCopy},
                      RollbackRow{"KilledHalfWay", &RollbackTest::KilledHalfWay},
                      RollbackRow{"KilledAtTheSharedFile", &RollbackTest::KilledAtTheSharedFile},
                      RollbackRow{"KilledAtTheLastFile", &RollbackTest::KilledAtTheLastFile},
                      RollbackRow{"KilledAtTheShortcut", &RollbackTest::KilledAtTheShortcut},
                      RollbackRow{"KilledAtTheRegistry", &RollbackTest::KilledAtTheRegistry},
                      RollbackRow{"KilledAfterTheCommit", &RollbackTest::KilledAfterTheCommit, Next::failingRun, true},
                      RollbackRow{"KilledHalfWayThenTheSameRun", &RollbackTest::KilledHalfWay, Next::secondRun},
                      RollbackRow{"KilledAtTheRegistryThenTheSameRun", &RollbackTest::KilledAtTheRegistry, Next::secondRun},
                      RollbackRow{"KilledHalfWayThenRemoved", &RollbackTest::KilledHalfWay, Next::removal},
                      RollbackRow{"KilledAtTheRegistryThenRemoved", &RollbackTest::KilledAtTheRegistry, Next::removal}),
    [](const ::testing::TestParamInfo<RollbackRow>& param) { return std::string(param.param.name); });

}  // namespace
