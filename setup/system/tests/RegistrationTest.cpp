// The product's registry entries: App Paths, the uninstall entry, the host
// product's menu entry and the keys removed on removal. Entries of fixed
// places are written under names of the test's own; the host product and
// the product's own keys live below a key of the test's own, passed as root.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "setup/profile/TargetTable.h"
#include "setup/system/AppPath.h"
#include "setup/system/HostMenuEntry.h"
#include "setup/system/KeyTree.h"
#include "setup/system/ProductKey.h"
#include "setup/system/UninstallEntry.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestRegistry.h"

using testreg::CreateKey;
using testreg::KeyExists;
using testreg::ReadString;
using testreg::ScopedTestKey;

namespace {

const std::string kHost8 = "Software\\Tarvo\\Tarvo for Windows\\8.0";
const std::string kHost7 = "Software\\Tarvo\\Tarvo for Windows\\7.0";
const std::string kEntry = "\\OtherApps\\Veltrane";

class RegistrationTest : public ::testing::Test {
protected:
  void TearDown() override {
    testreg::RemoveTree(HKEY_LOCAL_MACHINE, AppPathKey(fileName));
    testreg::RemoveTree(HKEY_LOCAL_MACHINE, UninstallKey(keyName));
  }

  // A target table whose [targets] section is the given text.
  void LoadTargets(const std::string& records) {
    const std::string profile = temp / "_setupx.ini";
    WriteFileBytes(profile, "[targets]\r\n" + records);
    std::string folder = "Veltrane";
    targets.Load(CPathName(profile), folder);
  }

  std::string Host(const std::string& version, const std::string& below = {}) const {
    return root / version + kEntry + below;
  }

  const std::string fileName = "velttest" + std::to_string(::GetCurrentProcessId()) + ".exe";
  const std::string keyName = "VeltTest" + std::to_string(::GetCurrentProcessId());
  TempDir temp;
  ScopedTestKey root{HKEY_CURRENT_USER};
  CTargetTable targets;
};

}  // namespace

TEST_F(RegistrationTest, AppPathAndUninstallEntryKeepBlanksUnquoted) {
  const CPathName program("C:\\Program Files\\Velt Rane\\" + fileName);
  EXPECT_TRUE(RegisterAppPath(program));
  EXPECT_EQ(program.GetPath(), ReadString(HKEY_LOCAL_MACHINE, AppPathKey(fileName), nullptr));
  EXPECT_EQ("C:\\Program Files\\Velt Rane", ReadString(HKEY_LOCAL_MACHINE, AppPathKey(fileName), "Path"));
  std::string found;
  EXPECT_TRUE(LookupAppPath(fileName, found));
  EXPECT_EQ(program.GetPath(), found);

  const std::string command = "C:\\Program Files\\Velt Rane\\_setupx.exe /U";
  CUninstallEntry entry;
  entry.keyName = keyName;
  entry.displayName = "Veltrane";
  entry.uninstallCommand = command;
  EXPECT_TRUE(RegisterUninstallEntry(entry));
  EXPECT_EQ(command, ReadString(HKEY_LOCAL_MACHINE, UninstallKey(keyName), "UninstallString"));
  EXPECT_EQ("Veltrane", ReadString(HKEY_LOCAL_MACHINE, UninstallKey(keyName), "DisplayName"));
  // What is not given is left out.
  EXPECT_EQ(std::nullopt, ReadString(HKEY_LOCAL_MACHINE, UninstallKey(keyName), "Publisher"));

  EXPECT_TRUE(UnregisterAppPath(program));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, AppPathKey(fileName)));
  EXPECT_TRUE(UnregisterUninstallEntry(keyName));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(keyName)));
}

TEST_F(RegistrationTest, WithoutANameNothingIsWrittenOrDeletedOnTheSharedKeys) {
  CreateKey(HKEY_LOCAL_MACHINE, UninstallKey(keyName));
  const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  CUninstallEntry nameless;
  nameless.displayName = "Veltrane";
  nameless.uninstallCommand = "x /U";
  EXPECT_FALSE(RegisterUninstallEntry(nameless));
  EXPECT_EQ(std::nullopt, ReadString(HKEY_LOCAL_MACHINE, uninstall, "UninstallString"));
  EXPECT_FALSE(UnregisterUninstallEntry(""));
  EXPECT_FALSE(UnregisterAppPath(CPathName("C:\\Velt\\")));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(keyName)));
}

TEST_F(RegistrationTest, MenuEntryGoesUnder8OnlyAndIsRemovedFromBothVersions) {
  LoadTargets("VeltApp.exe=0|0|0|Veltrane Statistics|||\r\n");
  CreateKey(root.get(), kHost8);
  CreateKey(root.get(), kHost7);
  const CPathName program("C:\\Program Files\\Veltrane\\veltapp.exe");
  EXPECT_TRUE(RegisterHostMenuEntry(root.get(), program, targets, "Veltrane"));

  const struct {
    const char* key;
    const char* value;
  } expected[] = {{"ActionID", "0"},
                  {"Launch", "\"C:\\Program Files\\Veltrane\\veltapp.exe\" -delete"},
                  {"Menu", "$STAT>Veltrane Statistics"},
                  {"MenuEnable", "1"},
                  {"MenuSeparator", "1"},
                  {"ReadFile", "2"}};
  for (const auto& row : expected) {
    EXPECT_EQ(row.value, ReadString(HKEY_CURRENT_USER, Host(kHost8, std::string("\\") + row.key), nullptr))
        << row.key;
  }
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Host(kHost7)));

  CreateKey(root.get(), kHost7 + kEntry + "\\Menu");  // left by an earlier installation
  CreateKey(root.get(), kHost8 + "\\OtherApps\\Another");
  UnregisterHostMenuEntry(root.get(), "Veltrane");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Host(kHost8)));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Host(kHost7)));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, root / kHost8 + "\\OtherApps\\Another")) << "another product's entry";
}

TEST_F(RegistrationTest, MenuEntryGoesUnder7WhenOnlyThatVersionIsInstalled) {
  LoadTargets("veltapp.exe=0|0|0|Veltrane|||\r\n");
  CreateKey(root.get(), kHost7);
  EXPECT_TRUE(RegisterHostMenuEntry(root.get(), CPathName("C:\\V\\veltapp.exe"), targets, "Veltrane"));
  EXPECT_EQ("$STAT>Veltrane", ReadString(HKEY_CURRENT_USER, Host(kHost7, "\\Menu"), nullptr));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, root / kHost8));
  UnregisterHostMenuEntry(root.get(), "Veltrane");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Host(kHost7)));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, root / kHost7 + "\\OtherApps"));
}

TEST_F(RegistrationTest, NoMenuEntryWithoutTheProgramItemOrTheHost) {
  LoadTargets("other.exe=0|0|0|Other|||\r\n");
  CreateKey(root.get(), kHost8);
  EXPECT_FALSE(RegisterHostMenuEntry(root.get(), CPathName("C:\\V\\veltapp.exe"), targets, "Veltrane"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, root / kHost8 + "\\OtherApps"));

  const ScopedTestKey noHost(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(RegisterHostMenuEntry(noHost.get(), CPathName("C:\\V\\other.exe"), targets, "Veltrane"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, noHost / "Software"));
}

TEST_F(RegistrationTest, MenuTextsAreCutToTheirBuffers) {
  const std::string exact(57, 'd');
  EXPECT_EQ("$STAT>" + exact, HostMenuText(exact));
  EXPECT_EQ("$STAT>" + exact, HostMenuText(exact + "e"));
  const std::string directory = "C:\\" + std::string(600, 'p') + "\\";
  const std::string launch = HostLaunchCommand(CPathName(directory + "veltapp.exe"));
  EXPECT_EQ(511u, launch.size());
  EXPECT_EQ("\"C:\\ppp", launch.substr(0, 7));
}

TEST_F(RegistrationTest, DeleteKeyTreeRemovesNestedKeysAndLeavesTheRestAlone) {
  CreateKey(root.get(), "Tree\\a\\b\\c");
  CreateKey(root.get(), "Tree\\a\\d");
  CreateKey(root.get(), "Tree\\" + std::string(255, 'n'));  // the longest key name
  testreg::WriteRaw(root.get(), "Tree\\a\\b", "value", REG_SZ, std::string("v\0", 2));
  CreateKey(root.get(), "Sibling");
  EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(root.get(), "Tree"));
  EXPECT_FALSE(KeyExists(root.get(), "Tree"));
  EXPECT_TRUE(KeyExists(root.get(), "Sibling"));

  EXPECT_EQ(ERROR_FILE_NOT_FOUND, DeleteKeyTree(root.get(), "Tree"));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, DeleteKeyTree(root.get(), ""));
  EXPECT_TRUE(KeyExists(root.get(), "Sibling")) << "an empty name must not reach the parent's sub-keys";
}

TEST_F(RegistrationTest, ProductKeyIsDeletedWithItsSettingsAndTheHostKeysStay) {
  CreateKey(root.get(), "Software\\Tarvo\\Veltrane\\Settings\\Window");
  CreateKey(root.get(), kHost8);
  EXPECT_EQ(ERROR_SUCCESS, DeleteProductKey(root.get()));
  EXPECT_FALSE(KeyExists(root.get(), "Software\\Tarvo\\Veltrane"));
  EXPECT_TRUE(KeyExists(root.get(), kHost8));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, DeleteProductKey(root.get()));
}
