#include <gtest/gtest.h>

#include <shlwapi.h>

#include "tests/support/TempDir.h"
#include "TestLaunchApp.h"
#include "cdlaunch/ConfigFile.h"
#include "cdlaunch/NewCommandLineInfo.h"
#include "cdlaunch/Resource.h"
#include "framework/Resources.h"
#include "framework/ScopedHandle.h"

namespace {

// Each test's configuration lives in a temporary folder that plays the
// program's directory; the current directory is put back afterwards.
class LaunchAppTest : public ::testing::Test {
protected:
  void SetUp() override {
    char cwd[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    savedDirectory = cwd;
    LaunchApp().modulePath = dir / "cdlaunch.exe";
    LaunchApp().messages.clear();
  }
  void TearDown() override {
    ::SetCurrentDirectoryA(savedDirectory.c_str());
    LaunchApp().modulePath.clear();
  }
  void WriteConfig(const std::string& text) { WriteFileBytes(dir / "autorun.inf", text); }

  TempDir dir;
  std::string savedDirectory;
};

// A registry key of the test's own under HKEY_CURRENT_USER.
class RegistryConditionTest : public LaunchAppTest {
protected:
  void SetUp() override {
    LaunchAppTest::SetUp();
    subkey = "Software\\VeltTests\\cdlaunch" + std::to_string(::GetCurrentProcessId());
  }
  void TearDown() override {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, subkey.c_str());
    LaunchAppTest::TearDown();
  }
  void CreateKey(const char* valueName, const std::string& data) {
    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                               nullptr, &opened, nullptr));
    const CRegistryKeyHandle key(opened);
    if (valueName) {
      ::RegSetValueExA(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
    }
  }

  std::string subkey;
};

}  // namespace

TEST(NewCommandLineInfoTest, TakesTheAutorunSwitchOnlyAsAFlag) {
  struct Case {
    const char* commandLine;
    int autorun;
  } cases[] = {
      {"", 0},
      {"/autorun", 1},
      {"/AUTORUN", 1},
      {"-autorun", 1},
      {"-AutoRun", 1},
      {"autorun", 0},
      {"/autorunx", 0},
      {"/auto", 0},
      {"x.txt /q -autorun", 1},
      {"\"/autorun\"", 1},
  };
  for (const auto& c : cases) {
    CNewCommandLineInfo info;
    info.ParseCommandLine(c.commandLine);
    EXPECT_EQ(c.autorun, info.m_autorun) << "command line: [" << c.commandLine << "]";
  }
  CNewCommandLineInfo info;
  info.ParseCommandLine("/autorun readme.txt");
  EXPECT_EQ("readme.txt", info.m_strFileName) << "other parameters go to the framework";
}

TEST(ResourcesTest, MessagesStandExactlyAsTheUserSeesThem) {
  EXPECT_EQ("autorun.inf", LoadResourceString(IDS_CONFIG_FILE));
  EXPECT_EQ("There was an error executing the command  'x'.", AfxFormatString1(IDS_EXEC_FAILED, "x"));
  EXPECT_EQ("The 'Setup' command was not given a command line to execute.", AfxFormatString1(IDS_NO_COMMAND, "Setup"));
  EXPECT_EQ("The Value entry in the Registry section was not specified properly.   Expected 'Value=Name, Value'.",
            LoadResourceString(IDS_BAD_VALUE));
  EXPECT_EQ("Tarvo 7.5 For Windows", LoadResourceString(IDS_DEFAULT_CAPTION));
  for (UINT id = 1; id <= 23; ++id) EXPECT_FALSE(LoadResourceString(id).empty()) << "string " << id;
}

TEST_F(LaunchAppTest, ConfigurationIsFoundBesideTheProgramWhichBecomesTheCurrentDirectory) {
  const std::string path = LaunchApp().GetConfigurationPath();
  EXPECT_EQ(dir / "autorun.inf", path);
  EXPECT_EQ(dir.path() + "\\", LaunchApp().GetProgramDirectory());
  char cwd[MAX_PATH];
  ::GetCurrentDirectoryA(MAX_PATH, cwd);
  EXPECT_EQ(0, ::lstrcmpiA(dir.path().c_str(), cwd)) << cwd;

  // A program in the root of a drive.
  char windows[MAX_PATH];
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string root = std::string(windows, 3);  // "C:\"
  LaunchApp().modulePath = root + "cdlaunch.exe";
  EXPECT_EQ(root + "autorun.inf", LaunchApp().GetConfigurationPath());
  EXPECT_EQ(root, LaunchApp().GetProgramDirectory());
  ::GetCurrentDirectoryA(MAX_PATH, cwd);
  EXPECT_EQ(root, std::string(cwd));
}

TEST_F(RegistryConditionTest, HoldsOnlyForAnOpenableKeyWithMatchingData) {
  struct Case {
    const char* key;  // "%" stands for the test's own subkey
    const char* value;
    const char* data;  // stored as "Version"; null: no value stored
    bool createKey;
    bool holds;
    bool warns;
  } cases[] = {
      {"HKEY_CURRENT_USER\\%", nullptr, nullptr, true, true, false},
      {"HKEY_CURRENT_USER\\%", nullptr, nullptr, false, false, false},
      {"hkey_current_user\\%", nullptr, nullptr, true, true, false},
      {"HKEY_CURRENT_USER", nullptr, nullptr, true, false, false},
      {"HKEY_NOWHERE\\%", nullptr, nullptr, true, false, false},
      {"", nullptr, nullptr, true, false, false},
      {"HKEY_CURRENT_USER\\%", "Version,2.0", "2.0", true, true, false},
      {"HKEY_CURRENT_USER\\%", " Version , 2.0 ", "2.0", true, true, false},
      {"HKEY_CURRENT_USER\\%", "Version, 2.0", "2.0 ", true, true, false},
      {"HKEY_CURRENT_USER\\%", "Version, 2.0", " 2.0", true, true, false},
      {"HKEY_CURRENT_USER\\%", "Version, 2.0", "2.00", true, false, false},
      {"HKEY_CURRENT_USER\\%", "Version, yes", "YES", true, true, false},
      {"HKEY_CURRENT_USER\\%", "Version, 1,2", "1,2", true, true, false},
      {"HKEY_CURRENT_USER\\%", "Other, 2.0", "2.0", true, false, false},
      {"HKEY_CURRENT_USER\\%", "Version, 2.0", "2.0", false, false, false},
      {"HKEY_CURRENT_USER\\%", "Version", "2.0", true, false, true},
      {"HKEY_CURRENT_USER\\%", "Version,", "2.0", true, false, true},
      {"HKEY_CURRENT_USER\\%", " , 2.0", "2.0", true, false, true},
  };
  for (const auto& c : cases) {
    std::string key = c.key;
    if (const auto at = key.find('%'); at != std::string::npos) key.replace(at, 1, subkey);
    std::string config = "[Registry]\r\nKey=" + key + "\r\n";
    if (c.value) config += std::string("Value=") + c.value + "\r\n";
    WriteConfig(config);
    ::SHDeleteKeyA(HKEY_CURRENT_USER, subkey.c_str());
    if (c.createKey) CreateKey(c.data ? "Version" : nullptr, c.data ? c.data : "");
    LaunchApp().messages.clear();

    const std::string row = std::string("Key=") + c.key + " Value=" + (c.value ? c.value : "(none)") +
                            " data=" + (c.data ? c.data : "(none)");
    EXPECT_EQ(c.holds, LaunchApp().CheckRegistryCondition() != FALSE) << row;
    ASSERT_EQ(c.warns ? 1u : 0u, LaunchApp().messages.size()) << row;
    if (c.warns) {
      EXPECT_EQ(LoadResourceString(IDS_BAD_VALUE), LaunchApp().messages[0]);
    }
  }
}

TEST_F(RegistryConditionTest, LongOrBinaryDataAreComparedSafely) {
  WriteConfig("[Registry]\r\nKey=HKEY_CURRENT_USER\\" + subkey + "\r\nValue=Version, 2.0\r\n");
  CreateKey("Version", std::string(400, 'x'));
  EXPECT_FALSE(LaunchApp().CheckRegistryCondition()) << "data longer than the buffer do not match";

  // Binary data without a terminating NUL that fill the whole buffer.
  HKEY opened = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_SET_VALUE, &opened));
  const CRegistryKeyHandle key(opened);
  const std::string data = "2.0" + std::string(257, ' ');
  ::RegSetValueExA(key.get(), "Version", 0, REG_BINARY, reinterpret_cast<const BYTE*>(data.data()), 260);
  EXPECT_TRUE(LaunchApp().CheckRegistryCondition());
}

TEST_F(LaunchAppTest, WithoutAConfigurationTheConditionDoesNotHold) {
  EXPECT_FALSE(LaunchApp().CheckRegistryCondition());
  EXPECT_TRUE(LaunchApp().messages.empty());
}

TEST_F(LaunchAppTest, ConfigurationReadsCutLongListsAndValuesInsteadOfOverflowing) {
  std::string text = "[Commands]\r\n";
  for (int i = 0; i < 300; ++i) text += "key" + std::to_string(1000 + i) + "=x\r\n";  // 8 bytes a name
  text += "[Long]\r\nValue=" + std::string(400, 'v') + "\r\n";
  WriteConfig(text);
  const CConfigFile config(dir / "autorun.inf");
  const auto keys = config.GetKeys("commands");
  ASSERT_GE(keys.size(), 250u);
  EXPECT_LE(keys.size(), 256u) << "only what fits the 2048-byte list";
  EXPECT_EQ("key1000", keys.front()) << "file order";
  EXPECT_EQ("key1001", keys[1]);
  std::size_t bytes = 0;
  for (const auto& key : keys) bytes += key.size() + 1;
  EXPECT_LT(bytes, CConfigFile::kKeyListBytes);
  EXPECT_EQ(std::string(259, 'v'), config.GetString("long", "VALUE")) << "values are cut at 259 characters";
  EXPECT_EQ("", config.GetString("Long", "missing"));
  EXPECT_EQ(7, config.GetInt("Long", "missing", 7));
}
