// The App Paths lookup reads the entry of one program file name; what it
// cannot read as a non-empty text is "not found".
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/ScopedHandle.h"
#include "setup/system/AppPath.h"

namespace {

// A program name of the test's own, so that no other entry is touched.
class AppPathTest : public ::testing::Test {
protected:
  void SetUp() override { fileName = "velttest" + std::to_string(::GetCurrentProcessId()) + ".exe"; }
  void TearDown() override { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, AppPathKey(fileName).c_str()); }

  void SetDefault(DWORD type, const std::string& bytes) {
    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, AppPathKey(fileName).c_str(), 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, &opened, nullptr));
    const CRegistryKeyHandle key(opened);
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key.get(), nullptr, 0, type,
                                              reinterpret_cast<const BYTE*>(bytes.data()),
                                              static_cast<DWORD>(bytes.size())));
  }

  std::string fileName;
};

}  // namespace

TEST_F(AppPathTest, FindsTheDefaultValueOfTheProgramsEntry) {
  SetDefault(REG_SZ, std::string("C:\\Program Files\\Veltrane\\veltapp.exe", 39));
  std::string path = "stale";
  EXPECT_TRUE(LookupAppPath(fileName, path));
  EXPECT_EQ("C:\\Program Files\\Veltrane\\veltapp.exe", path);
}

TEST_F(AppPathTest, ReadsAValueStoredWithoutItsTerminator) {
  SetDefault(REG_SZ, "C:\\V\\veltapp.exe");
  std::string path;
  EXPECT_TRUE(LookupAppPath(fileName, path));
  EXPECT_EQ("C:\\V\\veltapp.exe", path);
}

TEST_F(AppPathTest, AMissingEmptyOrNonTextEntryIsNotFound) {
  struct Case {
    const char* what;
    bool create;
    DWORD type;
    std::string bytes;
  } cases[] = {
      {"no key", false, 0, {}},
      {"empty text", true, REG_SZ, std::string("\0", 1)},
      {"expandable text", true, REG_EXPAND_SZ, std::string("C:\\V\\veltapp.exe\0", 17)},
      {"number", true, REG_DWORD, std::string("\1\0\0\0", 4)},
  };
  for (const auto& c : cases) {
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, AppPathKey(fileName).c_str());
    if (c.create) SetDefault(c.type, c.bytes);
    std::string path = "stale";
    EXPECT_FALSE(LookupAppPath(fileName, path)) << c.what;
    EXPECT_EQ("", path) << c.what;
  }
}
