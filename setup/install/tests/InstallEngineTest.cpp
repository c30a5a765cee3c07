// The copy engine over real files: a profile is loaded into the data model
// as the setup program loads it, the distribution lies in a folder of the
// test's own, and every selected entry is installed with InstallFileEntry
// the way the copy page drives it. What lands on disk, in the install log
// and in the registry is read back without the engine's help.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "setup/archive/tests/ArchiveBytes.h"
#include "framework/ScopedHandle.h"
#include "setup/log/InstallLog.h"
#include "setup/log/InstalledFileRecord.h"
#include "setup/profile/ProfileSection.h"
#include "setup/profile/InstallModel.h"
#include "setup/install/InstallFileEntry.h"
#include "setup/install/InstallJob.h"
#include "setup/install/InstallSelectedFiles.h"
#include "setup/profile/FileEntry.h"
#include "setup/install/ReplaceRule.h"
#include "setup/log/InstallJournal.h"
#include "setup/system/SharedDllCounter.h"
#include "setup/archive/SourceMedia.h"
#include "setup/paths/TempNameGenerator.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiDriver.h"

namespace {

using archive_bytes::Member;

// Watches the copy as the copy page would, stops when told to, and
// answers the Continue / Cancel question from a script.
class RecordingProgress : public CInstallDisplay, public CInstallPolicy {
public:
  void EntryStarting(const CFileEntry& entry, std::uint32_t copyBytesDone) override {
    entries.push_back(entry.GetFileName() + " after " + std::to_string(copyBytesDone));
  }
  void FileDone(const CCopyProgress& progress) override {
    const bool inPlace = progress.writtenTo.GetPath() == progress.path.GetPath();
    if (!inPlace) temporaries.push_back(progress.writtenTo.GetFileName());
    ways.push_back(progress.path.GetFileName() + (inPlace ? " in place" : " by a temporary name"));
    EXPECT_EQ(progress.fileSize, progress.fileBytesDone) << progress.path.GetPath();
    EXPECT_GE(progress.copyBytesDone, completed + progress.fileSize) << progress.path.GetPath();
    completed = progress.copyBytesDone;
  }
  void Tick(const CCopyProgress& progress) override {
    ++ticks;
    writingTo = progress.writtenTo.GetPath();
    name = progress.path.GetFileName();
    // A tick never runs ahead of the file, nor the copy behind it.
    EXPECT_LE(progress.fileBytesDone, progress.fileSize);
    EXPECT_GE(progress.copyBytesDone, completed + progress.fileBytesDone);
    if (onTick) onTick();
  }
  bool StopRequested() override {
    ++stopQuestions;
    return stop;
  }
  bool AskContinueAfterError(const CException& e, const std::string& fileName) override {
    questions.push_back(fileName + ": " + e.GetRuntimeClassName());
    return continueAfterError;
  }

  std::vector<std::string> entries;  // each entry begun, with the bytes done before it
  std::string writingTo, name;        // what the last tick was writing, and the file's name
  std::vector<std::string> questions;
  std::vector<std::string> ways;  // how each completed transfer reached its final path
  std::vector<std::string> temporaries;  // the temporary names of those that had one
  std::uint32_t completed = 0;
  int ticks = 0;
  int stopQuestions = 0;
  bool stop = false;  // what StopRequested says
  bool continueAfterError = true;
  std::function<void()> onTick;
};

std::string Repeat(const std::string& text, std::size_t size) {
  std::string out;
  while (out.size() < size) out += text;
  out.resize(size);
  return out;
}

class InstallEngineTest : public ::testing::Test {
protected:
  InstallEngineTest() { ::CreateDirectoryA(source.c_str(), nullptr); }

  // Writes a distribution file.
  void Put(const std::string& name, const std::string& bytes) { ASSERT_TRUE(WriteFileBytes(source + "\\" + name, bytes)); }
  void PutArchive(const std::string& name, const std::vector<Member>& members) {
    WriteFileBytes(source + "\\" + name, archive_bytes::Archive(members));
  }

  // Loads a profile whose [Program] section is files (one record a line),
  // selects every group and installs every entry in list order, stopping as
  // the copy page stops.
  void Install(const std::string& files, const std::string& targets = "VELTAPP.EXE=0|0|0|Veltrane|||\r\n") {
    const std::string profile = "[destinations]\r\n0=Test|-1|" + (dir / "inst") +
                                "\r\n1=Data|0|\r\n[groups]\r\nProgram=Program|Files|1|1|1\r\n[Program]\r\n" + files +
                                "[targets]\r\n" + targets;
    ASSERT_TRUE(WriteFileBytes(dir / "test.ini", profile));
    model.Load(CPathName(dir / "test.ini"));
    model.destinations.Resolve();
    model.groups.SelectBySetupType(1);
    log.BeginRun(model);
    outcome = InstallSelectedFiles(model.files, context);
    restartNeeded = outcome.restartNeeded;
  }

  std::string Installed(const std::string& name) const { return ReadFileBytes(dir / ("inst\\" + name)); }
  // The texts of the install log's [Events], as the run holds the log.
  std::vector<std::string> Events() {
    std::vector<std::string> events;
    for (const auto& [time, text] : ReadProfileValues("Events", installLog.Text())) events.push_back(text);
    return events;
  }
  std::vector<std::pair<std::string, std::string>> LogRecords() {
    std::vector<std::pair<std::string, std::string>> records;
    for (const auto& [key, record] : ReadInstalledFiles(installLog.Text(), "Program")) {
      records.emplace_back(key, record.Format());
    }
    return records;
  }

  TempDir dir;
  std::string source = dir / "source";
  CSourceMedia media{CPathName(source + "\\")};
  CInstallModel model;
  CPathName logPath{dir / "install.log"};
  RecordingProgress progress;
  CInstallLog installLog{logPath};
  CInstallLogWriter log{installLog};
  CInstallContext context{media, model.destinations, model.targets, log, progress, progress};
  CInstallOutcome outcome;     // the last entry's
  bool restartNeeded = false;  // any entry's
};

}  // namespace

TEST_F(InstallEngineTest, PlainFilesAndArchiveMembersLandInTheirDestinationsAndAreLogged) {
  const std::string program = Repeat("program bytes ", 10000);
  Put("veltapp.exe", program);
  Put("notinst.txt", "12345");
  PutArchive("velt.ar1", {Member{"data\\sub\\samples.csv", Repeat("1,2,3\n", 9000)},
                          [] {
                            Member m{"readme.txt", "read me", 2};
                            m.destination = 1;
                            return m;
                          }(),
                          [] {
                            Member m{"skipped.txt", "never installed"};
                            m.destination = -1;
                            return m;
                          }(),
                          Member{"empty.dat", ""}});
  SetModificationTime(source + "\\veltapp.exe", 900000000);
  Install("veltapp.exe=" + std::to_string(program.size()) + "|0|1|1|0|\r\nnotinst.txt=5|0|1|1|-1|\r\n" +
          "velt.ar1=9022|1|4|1|0|\r\n");

  EXPECT_EQ(CopyStop::none, outcome.stop);
  EXPECT_FALSE(restartNeeded);
  EXPECT_EQ(program, Installed("veltapp.exe"));
  EXPECT_EQ(900000000u, ReadModificationTime(CPathName(dir / "inst\\veltapp.exe")));
  // A member with a directory part lands under its file name alone.
  EXPECT_EQ(Repeat("1,2,3\n", 9000), Installed("samples.csv"));
  EXPECT_EQ("read me", Installed("Data\\readme.txt"));
  EXPECT_EQ("", Installed("empty.dat"));
  EXPECT_EQ((std::vector<std::string>{"Data", "empty.dat", "samples.csv", "veltapp.exe"}), ListFolder(dir / "inst"));
  EXPECT_EQ((std::vector<std::string>{"readme.txt"}), ListFolder(dir / "inst\\Data"));

  // One record per installed file; the file that is not installed has none.
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"veltapp.exe", "0|1|0"},
                                                              {"samples.csv", "0|1|0"},
                                                              {"readme.txt", "1|1|0"},
                                                              {"empty.dat", "0|1|0"}}),
            LogRecords());
  // The program item keyed in capitals learns the path of veltapp.exe.
  EXPECT_EQ(dir / "inst\\veltapp.exe", model.targets.Find("veltapp.exe")->programPath.GetPath());

  // Progress: every byte of the selected entries counts once, a tick every
  // 4096 bytes read; the policy is asked before every member and after
  // every entry.
  EXPECT_EQ(model.files.RequiredSpace(0, false), context.bytesDone);
  EXPECT_GE(progress.ticks, static_cast<int>(program.size() / 4096));
  EXPECT_EQ(4 + 3, progress.stopQuestions);
  // The display learns each entry as it begins, with what was done before
  // (the entry that is not installed counts, though nothing is written).
  const std::string before = std::to_string(program.size());
  EXPECT_EQ((std::vector<std::string>{"veltapp.exe after 0", "notinst.txt after " + before,
                                      "velt.ar1 after " + std::to_string(program.size() + 5)}),
            progress.entries);
  EXPECT_TRUE(progress.questions.empty());
}

// The plain files are read ahead of the copy, from the source directory as
// it is when they are asked for. The second diskette's files lie in DISK02
// beside DISK01, and DISK01 holds decoys of the same names and sizes for
// all but the first of them. The first is not in DISK01, so the copy moves
// to DISK02 and takes the rest from there, as it did without a read-ahead,
// although the decoys were asked for (and read) before it moved.
TEST_F(InstallEngineTest, PlainFilesOfEachDisketteComeFromTheFolderTheCopyFindsThemIn) {
  ::CreateDirectoryA((dir / "DISK01").c_str(), nullptr);
  ::CreateDirectoryA((dir / "DISK02").c_str(), nullptr);
  media.SetSourceDir(dir / "DISK01");
  std::string records;
  std::vector<std::pair<std::string, std::string>> expected;
  for (int disk = 1; disk <= 2; ++disk) {
    for (int i = 0; i < 40; ++i) {
      const std::string name = "d" + std::to_string(disk) + "f" + std::to_string(i) + ".txt";
      const std::string bytes = Repeat(name + " of DISK0" + std::to_string(disk) + " ", 700 + i * 13);
      ASSERT_TRUE(WriteFileBytes(dir / ("DISK0" + std::to_string(disk) + "\\" + name), bytes));
      if (disk == 2 && i > 0) {
        ASSERT_TRUE(WriteFileBytes(dir / ("DISK01\\" + name), Repeat("decoy ", bytes.size())));
      }
      records += name + "=" + std::to_string(bytes.size()) + "|0|1|" + std::to_string(disk) + "|0|\r\n";
      expected.emplace_back(name, bytes);
    }
  }
  Install(records);
  EXPECT_EQ(CopyStop::none, outcome.stop);
  for (const auto& [name, bytes] : expected) EXPECT_EQ(bytes, Installed(name)) << name;
  EXPECT_EQ(dir / "DISK02\\", media.GetSourceDir().GetPath());
}

// The threads of this process now.
int ThreadsOfThisProcess() { return static_cast<int>(ui::ThreadsOf(::GetCurrentProcessId()).size()); }

// A kit of a few plain files is copied on the program's one thread; the
// read-ahead's thread runs only for many, and only while they are copied.
TEST_F(InstallEngineTest, PlainFilesAreReadAheadOnASecondThreadOnlyWhenThereAreMany) {
  for (const int files : {3, 40}) {
    SCOPED_TRACE(std::to_string(files) + " plain files");
    const int before = ThreadsOfThisProcess();
    int most = 0;
    progress.onTick = [&] { most = std::max(most, ThreadsOfThisProcess()); };
    std::string records;
    for (int i = 0; i < files; ++i) {
      const std::string name = "plain" + std::to_string(files) + "-" + std::to_string(i) + ".txt";
      Put(name, Repeat(name, 5000));
      records += name + "=5000|0|1|1|0|\r\n";
    }
    Install(records);
    EXPECT_EQ(CopyStop::none, outcome.stop);
    EXPECT_EQ(files == 3 ? before : before + 1, most);
    EXPECT_EQ(before, ThreadsOfThisProcess()) << "after the copy";
  }
}

TEST_F(InstallEngineTest, ExistingFilesAreReplacedOrKeptByTheirTimes) {
  const struct {
    const char* name;
    std::uint32_t newTime;
    std::uint32_t oldTime;
    bool readOnly;
    const char* record;
    const char* result;
  } rows[] = {
      {"newer.txt", 900000100, 900000000, false, "0|1|1", "new"},
      {"older.txt", 900000000, 900000100, false, "0|0|0", "old"},
      {"same.txt", 900000000, 900000000, false, "0|0|0", "old"},
      {"readonly.txt", 900000100, 900000000, true, "0|1|1", "new"},
  };
  ::CreateDirectoryA((dir / "inst").c_str(), nullptr);
  std::string files;
  for (const auto& row : rows) {
    Put(row.name, "new");
    SetModificationTime(source + "\\" + row.name, row.newTime);
    const std::string existing = dir / (std::string("inst\\") + row.name);
    ASSERT_TRUE(WriteFileBytes(existing, "old"));
    SetModificationTime(existing, row.oldTime);
    if (row.readOnly) ::SetFileAttributesA(existing.c_str(), FILE_ATTRIBUTE_READONLY);
    files += std::string(row.name) + "=3|0|1|1|0|\r\n";
  }
  Install(files);

  const auto records = LogRecords();
  ASSERT_EQ(std::size(rows), records.size());
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(rows[i].result, Installed(rows[i].name)) << rows[i].name;
    EXPECT_EQ(rows[i].record, records[i].second) << rows[i].name;
  }
  // No temporary file stays behind.
  EXPECT_EQ(std::size(rows), ListFolder(dir / "inst").size());
}

TEST_F(InstallEngineTest, AFileThatMeetsNoCopyIsWrittenInPlaceAndOneThatMeetsACopyByATemporaryName) {
  ::CreateDirectoryA((dir / "inst").c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(dir / "inst\\old.txt", "old"));
  SetModificationTime(dir / "inst\\old.txt", 900000000);
  Put("old.txt", "new");
  SetModificationTime(source + "\\old.txt", 900000100);
  PutArchive("velt.ar1", {Member{"fresh.txt", "fresh", 2}, Member{"plain.txt", "plain", 2}});
  Install("old.txt=3|0|1|1|0|\r\nvelt.ar1=10|1|2|1|0|\r\n");

  EXPECT_EQ((std::vector<std::string>{"old.txt by a temporary name", "fresh.txt in place", "plain.txt in place"}),
            progress.ways);
  // Either way the result is the same, and nothing else is left.
  EXPECT_EQ("new", Installed("old.txt"));
  EXPECT_EQ("fresh", Installed("fresh.txt"));
  EXPECT_EQ((std::vector<std::string>{"fresh.txt", "old.txt", "plain.txt"}), ListFolder(dir / "inst"));
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{
                {"old.txt", "0|1|1"}, {"fresh.txt", "0|1|0"}, {"plain.txt", "0|1|0"}}),
            LogRecords());
}

TEST_F(InstallEngineTest, EveryFileTakesTheAttributesOfItsHeaderWrittenInPlaceOrByATemporaryName) {
  // Those the header wants archived and not read-only are made with them;
  // the others take them after the data.
  struct Row {
    const char* name;
    std::uint16_t attributes;
    DWORD expected;
  } const rows[] = {
      {"archived.txt", 0x20, FILE_ATTRIBUTE_ARCHIVE},
      {"hidden.txt", 0x22, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
      {"system.dll", 0x26, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE},
      {"readonly.txt", 0x21, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
      {"notarchived.txt", 0x02, FILE_ATTRIBUTE_HIDDEN},
      {"none.txt", 0x00, 0},
      {"volume.txt", 0x28, FILE_ATTRIBUTE_ARCHIVE},  // bits beyond the four are not applied
  };
  // The read-only, hidden, system and archive bits of an installed file.
  // Wine reports every plain file archived: where the header does not want
  // it, the bit is not looked at.
  const auto attributesOf = [this](const Row& row) {
    DWORD bits = ::GetFileAttributesA((dir / ("inst\\" + std::string(row.name))).c_str()) &
                 (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (!(row.expected & FILE_ATTRIBUTE_ARCHIVE)) bits &= ~FILE_ATTRIBUTE_ARCHIVE;
    return bits;
  };
  ::CreateDirectoryA((dir / "inst").c_str(), nullptr);
  std::vector<Member> members;
  for (const Row& row : rows) {
    Member m{row.name, std::string("new ") + row.name, 2};
    m.attributes = row.attributes;
    m.time = 900000100;
    members.push_back(m);
  }
  PutArchive("velt.ar1", members);
  Install("velt.ar1=10|1|2|1|0|\r\n");
  for (const Row& row : rows) {
    EXPECT_EQ(row.expected, attributesOf(row)) << row.name;
  }

  // Again over older copies: each by a temporary name, put in place.
  for (const Row& row : rows) {
    const std::string path = dir / ("inst\\" + std::string(row.name));
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteFileBytes(path, "old"));
    SetModificationTime(path, 900000000);
  }
  progress.ways.clear();
  for (const auto& entry : model.files) outcome = InstallFileEntry(*entry, context);
  for (const Row& row : rows) {
    EXPECT_EQ(std::string("new ") + row.name, Installed(row.name));
    EXPECT_EQ(row.expected, attributesOf(row)) << row.name;
  }
  EXPECT_EQ(std::size(rows), progress.temporaries.size());
  for (const Row& row : rows) ::SetFileAttributesA((dir / ("inst\\" + std::string(row.name))).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(InstallEngineTest, TemporaryNamesDifferFromRunToRun) {
  ::CreateDirectoryA((dir / "inst").c_str(), nullptr);
  Put("old.txt", "new");
  SetModificationTime(source + "\\old.txt", 900000100);
  const auto olderCopy = [this] {
    ASSERT_TRUE(WriteFileBytes(dir / "inst\\old.txt", "old"));
    SetModificationTime(dir / "inst\\old.txt", 900000000);
    std::srand(1);  // as every new process finds the C run-time's generator
  };
  olderCopy();
  Install("old.txt=3|0|1|1|0|\r\n");
  olderCopy();
  for (const auto& entry : model.files) outcome = InstallFileEntry(*entry, context);
  EXPECT_EQ("new", Installed("old.txt"));
  ASSERT_EQ(2u, progress.temporaries.size());
  EXPECT_NE(progress.temporaries[0], progress.temporaries[1]);
}

TEST_F(InstallEngineTest, FilesPlantedAtTheNextTemporaryNamesAreNeitherOpenedNorChanged) {
  ::CreateDirectoryA((dir / "inst").c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(dir / "inst\\old.txt", "old"));
  SetModificationTime(dir / "inst\\old.txt", 900000000);
  Put("old.txt", "new");
  SetModificationTime(source + "\\old.txt", 900000100);
  // Whoever knew the generator's state could tell the names; the test does.
  CTempNameGenerator foreseen = CTempNameGenerator::ForProcess();
  std::vector<std::string> planted;
  for (int i = 0; i < 3; ++i) {
    planted.push_back(foreseen.NextName() + ".txt");
    const std::string path = dir / ("inst\\" + planted.back());
    ASSERT_TRUE(WriteFileBytes(path, "planted"));
    SetModificationTime(path, 800000000);
  }
  ::SetFileAttributesA((dir / ("inst\\" + planted[2])).c_str(), FILE_ATTRIBUTE_READONLY);
  Install("old.txt=3|0|1|1|0|\r\n");

  EXPECT_EQ(CopyStop::none, outcome.stop);
  EXPECT_TRUE(progress.questions.empty());
  EXPECT_EQ("new", Installed("old.txt"));
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"old.txt", "0|1|1"}}), LogRecords());
  EXPECT_EQ((std::vector<std::string>{foreseen.NextName() + ".txt"}), progress.temporaries);
  for (const std::string& name : planted) {
    EXPECT_EQ("planted", Installed(name)) << name;
    EXPECT_EQ(800000000u, ReadModificationTime(CPathName(dir / ("inst\\" + name)))) << name;
  }
  EXPECT_EQ(4u, ListFolder(dir / "inst").size());
  ::SetFileAttributesA((dir / ("inst\\" + planted[2])).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(InstallEngineTest, ARenameIntoPlaceThatFailsIsAskedAboutAndLeavesNoTemporaryFile) {
  ::CreateDirectoryA((dir / "inst").c_str(), nullptr);
  const std::string existing = dir / "inst\\old.txt";
  ASSERT_TRUE(WriteFileBytes(existing, "old"));
  SetModificationTime(existing, 900000000);
  Put("old.txt", "new");
  SetModificationTime(source + "\\old.txt", 900000100);
  Put("after.txt", "after");
  {
    // Open with delete sharing: the older copy can be deleted, but its name
    // stays taken until this handle goes, so the rename cannot take it.
    const CHandle held(::CreateFileA(existing.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());
    Install("old.txt=3|0|1|1|0|\r\nafter.txt=5|0|1|1|0|\r\n");
    EXPECT_EQ((std::vector<std::string>{"old.txt: CFileException"}), progress.questions);
    EXPECT_EQ((std::vector<std::string>{"after.txt", "old.txt"}), ListFolder(dir / "inst"))
        << "no temporary file stays beside the old copy";
  }
  EXPECT_EQ(CopyStop::none, outcome.stop) << "Continue went on with the next file";
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"after.txt", "0|1|0"}}), LogRecords());
}

TEST_F(InstallEngineTest, AFileInUseIsReplacedAtTheNextRestart) {
  ::CreateDirectoryA((dir / "inst").c_str(), nullptr);
  const std::string existing = dir / "inst\\busy.dll";
  ASSERT_TRUE(WriteFileBytes(existing, "old"));
  SetModificationTime(existing, 900000000);
  Put("busy.dll", "new data");
  SetModificationTime(source + "\\busy.dll", 900000100);
  {
    // Held open without sharing, as a running program holds its DLL.
    const CHandle held(::CreateFileA(existing.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());
    Install("busy.dll=8|0|1|1|0|\r\n");
  }
  EXPECT_EQ(CopyStop::none, outcome.stop);
  EXPECT_TRUE(outcome.restartNeeded);
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"busy.dll", "0|0|1"}}), LogRecords());
  EXPECT_EQ("old", Installed("busy.dll"));

  // The new data waits beside it under its temporary name, and the system's
  // list of pending renames names that file and the one it replaces.
  const auto names = ListFolder(dir / "inst");
  ASSERT_EQ(2u, names.size());
  const std::string temporary = names[0] == "busy.dll" ? names[1] : names[0];
  EXPECT_EQ("new data", Installed(temporary));

  HKEY opened = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                                           0, KEY_ALL_ACCESS, &opened));
  const CRegistryKeyHandle key(opened);
  char buffer[8192] = {};
  DWORD size = sizeof buffer - 2;
  ASSERT_EQ(ERROR_SUCCESS, ::RegQueryValueExA(key.get(), "PendingFileRenameOperations", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(buffer), &size));
  // Source and target by pairs; a deletion pending from another program has
  // an empty target, so the list cannot be read up to its first empty string.
  std::vector<std::string> pairs;
  for (const char* p = buffer; p + 1 < buffer + size && (*p || pairs.size() % 2 == 1); p += std::strlen(p) + 1) {
    pairs.push_back(p);
  }
  ASSERT_GE(pairs.size(), 2u);
  // Only this test's own pair leaves the list; what other programs left
  // pending stays.
  std::string others;
  for (std::size_t i = 0; i + 2 < pairs.size(); ++i) others += pairs[i] + '\0';
  if (others.empty()) {
    ::RegDeleteValueA(key.get(), "PendingFileRenameOperations");
  } else {
    others += '\0';
    ::RegSetValueExA(key.get(), "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                     reinterpret_cast<const BYTE*>(others.data()), static_cast<DWORD>(others.size()));
  }
  const auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  const std::string from = lower(pairs[pairs.size() - 2]);
  const std::string to = lower(pairs.back());
  EXPECT_NE(std::string::npos, from.find(lower(temporary))) << from;
  EXPECT_NE(std::string::npos, to.find("inst\\busy.dll")) << to;
}

TEST_F(InstallEngineTest, ASystemFileIsCountedWhetherOrNotItIsPlaced) {
  CPathName systemFile(SpecialDirectory::system);
  systemFile.SetFileName("veltengine_test.dll");
  const std::string path = systemFile.GetPath();
  struct Cleanup {
    std::string path;
    ~Cleanup() {
      ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileA(path.c_str());
      CSharedDllCounter counter{CPathName(path)};
      while (counter.GetCount() > 0) counter.Decrement();
    }
  } cleanup{path};

  // The copy already there is newer: it stays, and is still counted.
  ASSERT_TRUE(WriteFileBytes(path, "newer system copy"));
  SetModificationTime(path, 900000100);
  { CSharedDllCounter(CPathName(path)).Increment(); }
  Put("veltengine_test.dll", "older");
  SetModificationTime(source + "\\veltengine_test.dll", 900000000);
  Install("veltengine_test.dll=5|0|1|1|-3|\r\n");

  EXPECT_EQ("newer system copy", ReadFileBytes(path));
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"veltengine_test.dll", "-3|0|0"}}), LogRecords());
  EXPECT_EQ(2u, CSharedDllCounter(CPathName(path)).GetCount());
}

TEST_F(InstallEngineTest, SharedCountsDeleteTheirValueAtZero) {
  const CPathName path(dir / "shared.dll");
  { CSharedDllCounter(path).Increment(); }
  EXPECT_EQ(1u, CSharedDllCounter(path).GetCount());
  {
    CSharedDllCounter counter(path);
    counter.Decrement();
    counter.Decrement();  // not below 0
  }
  HKEY opened = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, CSharedDllCounter::kKeyPath, 0, KEY_READ, &opened));
  const CRegistryKeyHandle key(opened);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, ::RegQueryValueExA(key.get(), path.c_str(), nullptr, nullptr, nullptr, nullptr));
}

TEST_F(InstallEngineTest, ADamagedMemberIsAskedAboutAndContinueGoesOn) {
  archive_bytes::Bytes damaged = archive_bytes::Archive({Member{"good1.txt", "one", 2}, Member{"bad.txt", "two", 2}});
  damaged[8 + 346 + 3 + 284] ^= 0xff;  // the second member's checksum
  WriteFileBytes(source + "\\velt.ar1", damaged);
  Put("after.txt", "after");
  Install("velt.ar1=6|1|2|1|0|\r\nafter.txt=5|0|1|1|0|\r\n");

  EXPECT_EQ(CopyStop::none, outcome.stop);
  EXPECT_EQ((std::vector<std::string>{"velt.ar1: CMultiFileException"}), progress.questions);
  // The member placed before the failure stays installed and logged; the
  // damaged one leaves nothing, not even its temporary file.
  EXPECT_EQ((std::vector<std::string>{"after.txt", "good1.txt"}), ListFolder(dir / "inst"));
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"good1.txt", "0|1|0"}, {"after.txt", "0|1|0"}}),
            LogRecords());
  EXPECT_EQ((std::vector<std::string>{"File not installed: bad.txt (from velt.ar1)"}), Events());
}

TEST_F(InstallEngineTest, CancelOperationAndAMissingDisketteEndTheCopy) {
  Put("broken.ar1", "not an archive at all");
  Put("after.txt", "after");
  progress.continueAfterError = false;
  Install("broken.ar1=6|1|2|1|0|\r\nafter.txt=5|0|1|1|0|\r\n");
  EXPECT_EQ(CopyStop::failed, outcome.stop);
  EXPECT_EQ(1u, progress.questions.size());
  EXPECT_TRUE(ListFolder(dir / "inst").empty());

  // A file that is nowhere, and nobody to ask for its diskette: the user
  // has given up, without a question.
  progress.questions.clear();
  CFileEntry missing("missing.txt", 2);
  EXPECT_EQ(CopyStop::userCancelled, InstallFileEntry(missing, context).stop);
  EXPECT_TRUE(progress.questions.empty());
}

TEST_F(InstallEngineTest, ADisketteNotGivenInTheMiddleOfAMemberEndsTheCopyAsCancelled) {
  Member spanning{"spanning.dat", Repeat("data ", 100000), 2};
  spanning.continued = 1;
  const auto parts = archive_bytes::Split(archive_bytes::Archive({Member{"first.txt", "first", 2}, spanning}),
                                          {346 + 5 + 346 + 50000});
  WriteFileBytes(source + "\\velt.ar1", parts[0]);  // velt.ar2 is on no diskette anyone gives
  Install("velt.ar1=100005|1|2|1|0|\r\n");
  EXPECT_EQ(CopyStop::userCancelled, outcome.stop);
  EXPECT_TRUE(progress.questions.empty());
  // The member before stays; the interrupted one leaves nothing behind.
  EXPECT_EQ((std::vector<std::string>{"first.txt"}), ListFolder(dir / "inst"));
}

TEST_F(InstallEngineTest, AStopFromOutsideEndsTheCopyAfterTheCurrentMember) {
  PutArchive("velt.ar1", {Member{"first.txt", Repeat("x", 20000), 2}, Member{"second.txt", "y", 2}});
  Put("after.txt", "after");
  // The close question answered Yes while the first member is extracted.
  progress.onTick = [this] { progress.stop = true; };
  Install("velt.ar1=20001|1|2|1|0|\r\nafter.txt=5|0|1|1|0|\r\n");
  EXPECT_EQ((std::vector<std::string>{"first.txt"}), ListFolder(dir / "inst"));
  EXPECT_EQ(CopyStop::requested, outcome.stop);
  EXPECT_TRUE(progress.questions.empty());
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"first.txt", "0|1|0"}}), LogRecords());
}

TEST_F(InstallEngineTest, AStopFromOutsideWhileAPlainFileIsCopiedEndsTheCopyAfterThatFile) {
  Put("big.txt", Repeat("y", 20000));
  Put("after.txt", "after");
  progress.onTick = [this] { progress.stop = true; };
  Install("big.txt=20000|0|1|1|0|\r\nafter.txt=5|0|1|1|0|\r\n");
  EXPECT_EQ((std::vector<std::string>{"big.txt"}), ListFolder(dir / "inst"));
  EXPECT_EQ(CopyStop::requested, outcome.stop);
}

// In a destination directory the run makes, a file is written in place
// without looking for its name first. A name the run's own file has is
// never claimed; one another hand gave a file after the directory was made
// is claimed, found taken, named off at once and never overwritten: either
// file takes the usual way.
TEST_F(InstallEngineTest, InADirectoryTheRunMadeANameAlreadyTakenIsNeverClaimed) {
  Put("twice.txt", "second");
  SetModificationTime(source + "\\twice.txt", 900000100);
  PutArchive("velt.ar1", {Member{"twice.txt", "first", 2}, Member{"big.dat", Repeat("big ", 40000), 2}});
  Put("planted.txt", "kit's");
  SetModificationTime(source + "\\planted.txt", 900000000);
  const std::string planted = dir / "inst\\planted.txt";
  progress.onTick = [&] {
    if (progress.name != "big.dat" || ::GetFileAttributesA(planted.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    ASSERT_TRUE(WriteFileBytes(planted, "another hand's"));
    SetModificationTime(planted, 900000100);
  };
  ASSERT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((dir / "inst").c_str()));
  Install("velt.ar1=40005|1|2|1|0|\r\ntwice.txt=6|0|1|1|0|\r\nplanted.txt=5|0|1|1|0|\r\n");

  EXPECT_TRUE(progress.questions.empty()) << progress.questions.front();
  EXPECT_EQ((std::vector<std::string>{"twice.txt in place", "big.dat in place", "twice.txt by a temporary name",
                                      "planted.txt by a temporary name"}),
            progress.ways);
  EXPECT_EQ("second", Installed("twice.txt"));
  EXPECT_EQ("another hand's", Installed("planted.txt")) << "the newer copy is kept";
  EXPECT_EQ((std::vector<std::string>{"big.dat", "planted.txt", "twice.txt"}), ListFolder(dir / "inst"));
  // The next run deletes a file named last.
  const std::string journal = ReadFileBytes(CInstallJournal::PathFor(logPath).GetPath());
  const std::string twice = "+\t" + dir / "inst\\twice.txt\t";
  EXPECT_EQ(journal.find(twice), journal.rfind(twice)) << journal;
  EXPECT_NE(std::string::npos, journal.find("+\t" + planted + "\t\r\n+\t\t\r\n")) << journal;
}

TEST_F(InstallEngineTest, EveryFileIsNamedInTheJournalBeforeItsDataAndItsRecordFollows) {
  ::CreateDirectoryA((dir / "inst").c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(dir / "inst\\old.txt", "old"));
  SetModificationTime(dir / "inst\\old.txt", 900000000);
  Put("old.txt", Repeat("new ", 20000));
  SetModificationTime(source + "\\old.txt", 900000100);
  PutArchive("velt.ar1", {Member{"fresh.dat", Repeat("fresh ", 30000), 2}});
  // While data is written, whatever the way, the journal's last line names
  // the file it goes to.
  const std::string journal = CInstallJournal::PathFor(logPath).GetPath();
  std::vector<std::string> named;
  progress.onTick = [&] {
    const std::string text = ReadFileBytes(journal);
    const std::string line = "+\t" + progress.writingTo + "\t\r\n";
    if (text.size() >= line.size() && text.compare(text.size() - line.size(), line.size(), line) == 0 &&
        (named.empty() || named.back() != progress.name)) {
      named.push_back(progress.name);
    }
  };
  Install("old.txt=20000|0|1|1|0|\r\nvelt.ar1=30000|1|1|1|0|\r\n");

  EXPECT_TRUE(progress.questions.empty()) << progress.questions.front();
  EXPECT_EQ((std::vector<std::string>{"old.txt", "fresh.dat"}), named);
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"old.txt", "0|1|1"}, {"fresh.dat", "0|1|0"}}),
            LogRecords());
  const std::string lastRecord = "\tfresh.dat\t0|1|0\r\n", text = ReadFileBytes(journal);
  EXPECT_TRUE(text.size() > lastRecord.size() && text.ends_with(lastRecord)) << "the record follows the file: " << text;
  // The next run deletes the file named last: an existing copy is never named.
  EXPECT_EQ(std::string::npos, text.find("+\t" + dir / "inst\\old.txt\t")) << text;
}

namespace {

// A plain file whose size on the media is not its record's is not the
// kit's file: it is asked about and nothing of it is installed, where the
// copy of the record's bytes would have put it there cut short.
struct PlainSizeRow {
  const char* what;
  const char* bytes;  // of the file the record gives 8 bytes
};

class PlainSizeTest : public InstallEngineTest, public ::testing::WithParamInterface<PlainSizeRow> {};

TEST_P(PlainSizeTest, IsDamagedAndNothingOfItIsInstalled) {
  Put("readme.txt", GetParam().bytes);
  Put("after.txt", "after");
  Install("readme.txt=8|0|1|1|0|\r\nafter.txt=5|0|1|1|0|\r\n");

  EXPECT_EQ((std::vector<std::string>{"readme.txt: CMultiFileException"}), progress.questions);
  EXPECT_EQ(CopyStop::none, outcome.stop) << "Continue went on";
  EXPECT_EQ((std::vector<std::string>{"after.txt"}), ListFolder(dir / "inst"));
  EXPECT_EQ((std::vector<std::string>{"File not installed: readme.txt"}), Events());
}

const PlainSizeRow kPlainSizes[] = {{"Longer", "twelve bytes"}, {"Shorter", "five!"}, {"Empty", ""}};
INSTANTIATE_TEST_SUITE_P(Size, PlainSizeTest, ::testing::ValuesIn(kPlainSizes),
                         [](const ::testing::TestParamInfo<PlainSizeRow>& row) { return std::string(row.param.what); });

}  // namespace

namespace {

// An archive whose members end before the number its record gives.
struct CutArchiveRow {
  const char* what;
  std::size_t intoSecondHeader;  // bytes of the second entry header that are left
};

class CutArchiveTest : public InstallEngineTest, public ::testing::WithParamInterface<CutArchiveRow> {};

TEST_P(CutArchiveTest, IsDamagedAndTheEventsNameWhatWasLeftOut) {
  const archive_bytes::Bytes whole =
      archive_bytes::Archive({Member{"one.txt", "one", 2}, Member{"two.txt", "two", 2}, Member{"three.txt", "3", 2}});
  const std::size_t cut = 8 + 346 + 3 + GetParam().intoSecondHeader;
  WriteFileBytes(source + "\\velt.ar1", archive_bytes::Bytes(whole.begin(), whole.begin() + cut));
  Put("after.txt", "after");
  Install("velt.ar1=7|1|3|1|0|\r\nafter.txt=5|0|1|1|0|\r\n");

  EXPECT_EQ((std::vector<std::string>{"velt.ar1: CMultiFileException"}), progress.questions);
  EXPECT_EQ(CopyStop::none, outcome.stop) << "Continue went on";
  EXPECT_EQ((std::vector<std::string>{"after.txt", "one.txt"}), ListFolder(dir / "inst"));
  EXPECT_EQ((std::vector<std::string>{"Files not installed: 2 more files of velt.ar1"}), Events());
}

const CutArchiveRow kCutArchives[] = {{"BeforeAHeader", 0}, {"InsideAHeader", 100}, {"OneByteShortOfAHeader", 345}};
INSTANTIATE_TEST_SUITE_P(Cut, CutArchiveTest, ::testing::ValuesIn(kCutArchives),
                         [](const ::testing::TestParamInfo<CutArchiveRow>& row) { return std::string(row.param.what); });

// A file of the System directory, installed with what the log held before
// the run and the count it had.
struct SharedCountRow {
  const char* what;
  const char* earlierRecords;  // the log's [Program] before the run
  const char* journal;         // what a killed run left beside the log
  DWORD before;
  DWORD after;
};

class SharedCountTest : public InstallEngineTest, public ::testing::WithParamInterface<SharedCountRow> {
protected:
  void TearDown() override {
    ::DeleteFileA(path.c_str());
    CSharedDllCounter counter{CPathName(path)};
    while (counter.GetCount() > 0) counter.Decrement();
  }
  const std::string path = [] {
    CPathName systemFile(SpecialDirectory::system);
    systemFile.SetFileName("veltonce_test.dll");
    return systemFile.GetPath();
  }();
};

TEST_P(SharedCountTest, IsCountedOncePerProduct) {
  const SharedCountRow& row = GetParam();
  {
    CSharedDllCounter counter{CPathName(path)};
    while (counter.GetCount() < row.before) counter.Increment();
  }
  Put("veltonce_test.dll", "shared");
  WriteFileBytes(logPath.GetPath(), "[groups]\r\nProgram=Program|Files|1|1|1\r\n" + std::string(row.earlierRecords));
  if (*row.journal) WriteFileBytes(CInstallJournal::PathFor(logPath).GetPath(), std::string(row.journal));
  Install("veltonce_test.dll=6|0|1|1|-3|\r\n");

  EXPECT_EQ(row.after, CSharedDllCounter(CPathName(path)).GetCount());
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"veltonce_test.dll", "-3|1|0"}}), LogRecords());
}

const SharedCountRow kSharedCounts[] = {
    {"AFirstInstallation", "", "", 0, 1},
    {"AnotherProductCountsIt", "", "", 1, 2},
    {"OverAnInstallation", "[Program]\r\nveltonce_test.dll=-3|1|0\r\n", "", 1, 1},
    {"OverOneWhoseCountWasLost", "[Program]\r\nveltonce_test.dll=-3|1|0\r\n", "", 0, 1},
    {"OverARunKilledAfterTheRecord", "", "Program\tveltonce_test.dll\t-3|1|0\r\n", 1, 1},
    {"TheNameRecordedInAnotherDirectory", "[Program]\r\nveltonce_test.dll=0|1|0\r\n", "", 1, 2},
};
INSTANTIATE_TEST_SUITE_P(Shared, SharedCountTest, ::testing::ValuesIn(kSharedCounts),
                         [](const ::testing::TestParamInfo<SharedCountRow>& row) { return std::string(row.param.what); });

}  // namespace
