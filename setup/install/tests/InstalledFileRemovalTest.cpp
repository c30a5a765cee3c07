// The removal against real files in a folder of the test's own and the
// real SharedDLLs key: the data model is read from a log the test writes,
// as the removal page reads it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "setup/install/InstalledFileRemoval.h"
#include "setup/log/InstallJournal.h"
#include "setup/log/InstallLog.h"
#include "setup/profile/DestinationTable.h"
#include "setup/profile/GroupTable.h"
#include "setup/system/SharedDllCounter.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestRegistry.h"

namespace {

std::optional<DWORD> SharedCount(const std::string& path) {
  DWORD value = 0;
  DWORD size = sizeof value;
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, CSharedDllCounter::kKeyPath, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const CRegistryKeyHandle key(opened);
  if (::RegQueryValueExA(key.get(), path.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

void SetSharedCount(const std::string& path, DWORD count) {
  testreg::WriteRaw(HKEY_LOCAL_MACHINE, CSharedDllCounter::kKeyPath, path.c_str(), REG_DWORD,
                    std::string(reinterpret_cast<const char*>(&count), sizeof count));
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class InstalledFileRemovalTest : public ::testing::Test {
protected:
  void TearDown() override {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, CSharedDllCounter::kKeyPath, 0, KEY_ALL_ACCESS, &opened) ==
        ERROR_SUCCESS) {
      const CRegistryKeyHandle key(opened);
      for (const char* name : {"veltsh32.dll", "other.dll"}) ::RegDeleteValueA(key.get(), (system / name).c_str());
    }
  }

  // Writes the log (destinations 0 "Veltrane", 1 "Data" below it, 2 "Deep"
  // below that, then extra), loads the tables from it as the removal page
  // finds them, and removes what it lists; shown collects the paths shown.
  void Remove(const std::string& extraDestinations, const std::string& groups, const std::string& records) {
    WriteFileBytes(log.GetPath(), "[destinations]\r\n0=Veltrane|-1|" + product + "\r\n1=Data|0|\r\n2=Deep|1|\r\n" +
                                      extraDestinations + "[groups]\r\n" + groups + records);
    // The run's log, read once with what an ended run left in its journal,
    // and the tables loaded from it, as the removal's pages do.
    CInstallLog installLog(log);
    CDestinationTable destinations;
    destinations.Load(installLog.Text());
    destinations.Resolve();
    destinations.SetPath(CDestination::kSystemDirectory, system.path());
    CGroupTable groupTable;
    groupTable.Load(installLog.Text());
    CInstalledFileRemoval removal(installLog, destinations, groupTable,
                                        [this](const CPathName& path) { shown.push_back(path.GetPath()); });
    removal.RemoveFiles();
    removal.RemoveDirectories();
  }

  // The texts of the install log's [Events].
  std::vector<std::string> Events() const {
    std::vector<std::string> events;
    for (const auto& [time, text] : ReadIniSection(log.GetPath(), "Events")) events.push_back(text);
    return events;
  }

  TempDir dir;
  TempDir system;  // the System directory of destination -3
  CPathName log{dir / "veltapp.log"};
  std::string product = dir / "Veltrane";
  std::vector<std::string> shown;
};

}  // namespace

TEST_F(InstalledFileRemovalTest, RemovesTheLoggedFilesAndDirectoriesButCountsSharedFilesDown) {
  for (const bool userFile : {false, true}) {
    SCOPED_TRACE(userFile ? "with a file of the user's own" : "only installed files");
    const std::string data = product + "\\Data";
    const std::string deep = data + "\\Deep";
    const std::string extra = product + "\\Extra";  // below 0 by its path, not by its parent
    ::CreateDirectoryA(product.c_str(), nullptr);
    ::CreateDirectoryA(data.c_str(), nullptr);
    ::CreateDirectoryA(deep.c_str(), nullptr);
    ::CreateDirectoryA(extra.c_str(), nullptr);
    for (const std::string& file : {product + "\\veltapp.exe", product + "\\readme.txt", product + "\\kept.dll",
                                    data + "\\samples.csv", deep + "\\deep.dat", extra + "\\extra.txt",
                                    system / "veltsh32.dll", system / "other.dll"}) {
      ASSERT_TRUE(WriteFileBytes(file, "x")) << file;
    }
    ::SetFileAttributesA((product + "\\kept.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    if (userFile) WriteFileBytes(product + "\\mine.txt", "the user's own");
    SetSharedCount(system / "veltsh32.dll", 2);  // another product counts it too
    SetSharedCount(system / "other.dll", 1);
    shown.clear();

    Remove("3=Extra|-1|" + extra + "\r\n", "Program=a|b|1|1|1\r\nData=c|d|1|1|1\r\n",
           "[Program]\r\nveltapp.exe=0|1|0\r\nreadme.txt=0|1|0\r\n"
           "kept.dll=0|0|0\r\n"        // an existing copy that was kept still goes
           "veltsh32.dll=-3|1|0\r\n"   // shared: counted down, kept
           "other.dll=-3|0|0\r\n"      // shared, the last count: the value goes, the file stays
           "[Data]\r\nreadme.txt=0|1|0\r\n"  // listed twice: the second attempt fails silently
           "samples.csv=1|1|0\r\ndeep.dat=2|1|0\r\nextra.txt=3|1|0\r\n");

    EXPECT_EQ(userFile ? std::vector<std::string>{"mine.txt"} : std::vector<std::string>{}, ListFolder(product));
    EXPECT_EQ(userFile, Exists(product)) << "the installation directory goes after the directories inside it";
    EXPECT_EQ((std::vector<std::string>{"other.dll", "veltsh32.dll"}), ListFolder(system.path()));
    EXPECT_EQ(std::optional<DWORD>(1), SharedCount(system / "veltsh32.dll"));
    EXPECT_EQ(std::nullopt, SharedCount(system / "other.dll"));
    EXPECT_EQ((std::vector<std::string>{product + "\\veltapp.exe", product + "\\readme.txt", product + "\\kept.dll",
                                        system / "veltsh32.dll", system / "other.dll", product + "\\readme.txt",
                                        data + "\\samples.csv", deep + "\\deep.dat", extra + "\\extra.txt"}),
              shown);
    EXPECT_TRUE(Events().empty());
    RemoveTree(product);
  }
}

TEST_F(InstalledFileRemovalTest, AnEditedLogDeletesNothingOutsideTheDestinations) {
  // Files that an edited log could aim at, and destinations whose paths
  // would resolve against the current directory.
  const std::string sub = product + "\\sub";
  const std::string relative = dir / "Relative";
  const std::string empty = dir / "Empty";
  for (const std::string& folder : {product, sub, relative, empty}) ::CreateDirectoryA(folder.c_str(), nullptr);
  const std::string victims[] = {dir / "x.dll", sub + "\\x.dll", relative + "\\r.dll", empty};
  for (const std::string& file : {victims[0], victims[1], victims[2]}) WriteFileBytes(file, "not the product's");
  const std::string unsafeKeys[] = {"..\\x.dll", dir / "x.dll", "C:x.dll", "sub\\x.dll", "sub/x.dll",
                                    ".",           "..",          "*.dll", "CON"};
  std::string records = "[Program]\r\n";
  for (const std::string& key : unsafeKeys) records += key + "=0|1|0\r\n";
  records += "r.dll=3|1|0\r\n";

  char current[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, current);
  ::SetCurrentDirectoryA(dir.path().c_str());
  Remove("3=Relative|-1|Relative\r\n4=Empty|-1|Empty\r\n", "Program=a|b|1|1|1\r\n", records);
  ::SetCurrentDirectoryA(current);

  for (const std::string& file : victims) EXPECT_TRUE(Exists(file)) << file;
  EXPECT_TRUE(Exists(sub));
  std::vector<std::string> expected;
  for (const std::string& key : unsafeKeys) {
    expected.push_back("Skipped a file name that is not a plain name: " + key);
  }
  EXPECT_EQ(expected, Events());
  EXPECT_TRUE(shown.empty());
}

TEST_F(InstalledFileRemovalTest, ARunEndedEarlyLeavesNothingBehindButTheUsersFiles) {
  // The run was killed: its last record is only in the journal, and it was
  // in the middle of a file.
  const std::string data = product + "\\Data";
  ::CreateDirectoryA(product.c_str(), nullptr);
  ::CreateDirectoryA(data.c_str(), nullptr);
  for (const char* name : {"\\veltapp.exe", "\\journalled.dll", "\\Data\\half.bin", "\\Data\\mine.txt"}) {
    ASSERT_TRUE(WriteFileBytes(product + name, "x")) << name;
  }
  WriteFileBytes(CInstallJournal::PathFor(log).GetPath(),
                 "+\t" + product + "\\journalled.dll\t\r\nProgram\tjournalled.dll\t0|1|0\r\n+\t" + data +
                     "\\half.bin\t\r\n");

  Remove("", "Program=a|b|1|1|1\r\n", "[Program]\r\nveltapp.exe=0|1|0\r\n");

  EXPECT_EQ((std::vector<std::string>{"Data"}), ListFolder(product));
  EXPECT_EQ((std::vector<std::string>{"mine.txt"}), ListFolder(data)) << "only the user's file stays";
  EXPECT_FALSE(Exists(CInstallJournal::PathFor(log).GetPath())) << "taken into the log";
}

TEST(InstalledFileRemoval, TellsTheSetupProgramAndAbsoluteDirectoriesApart) {
  for (const char* name : {"_setupx.exe", "_SETUPX.EXE", "_SetupW.Exe"}) {
    EXPECT_TRUE(CInstalledFileRemoval::IsSetupProgramName(name)) << name;
  }
  for (const char* name : {"_setupx.ex", "_setupx.exe.bak", "setupx.exe", "_setupx.ini"}) {
    EXPECT_FALSE(CInstalledFileRemoval::IsSetupProgramName(name)) << name;
  }
  const struct {
    const char* path;
    bool absolute;
  } directories[] = {
      {"C:\\Program Files\\Veltrane\\", true}, {"c:/velt/", true}, {"\\\\server\\share\\velt\\", true},
      {"Veltrane\\", false}, {"C:Veltrane\\", false}, {"\\Veltrane\\", false}, {"\\\\server\\", false},
      {"\\\\\\share\\", false}, {"", false},
  };
  for (const auto& row : directories) {
    EXPECT_EQ(row.absolute, CInstalledFileRemoval::IsAbsoluteDirectory(CPathName(row.path))) << row.path;
  }
}
