// The registry layer: typed reads that leave their output alone on failure,
// and the value objects that read at once and write back only what changed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/TestRegistry.h"
#include "setup/system/RegistryKey.h"
#include "setup/system/RegistryValue.h"

using testreg::ReadString;
using testreg::ScopedTestKey;
using testreg::WriteRaw;

namespace {

class RegistryKeyTest : public ::testing::Test {
protected:
  ScopedTestKey test{HKEY_CURRENT_USER};
  const std::string values = test / "Values";
};

}  // namespace

TEST_F(RegistryKeyTest, TypedReadsRefuseOtherTypesAndLeaveTheOutputAlone) {
  WriteRaw(HKEY_CURRENT_USER, values, "text", REG_SZ, std::string("a long piece of text\0", 21));
  WriteRaw(HKEY_CURRENT_USER, values, "bare", REG_SZ, "no terminator");
  WriteRaw(HKEY_CURRENT_USER, values, "expand", REG_EXPAND_SZ, std::string("%TEMP%\0", 7));
  WriteRaw(HKEY_CURRENT_USER, values, "number", REG_DWORD, std::string("\x2a\0\0\0", 4));
  CRegistryKey key;
  ASSERT_TRUE(key.OpenKey(HKEY_CURRENT_USER, values.c_str(), KEY_ALL_ACCESS));

  std::string text = "untouched";
  EXPECT_TRUE(key.GetString("bare", text));
  EXPECT_EQ("no terminator", text);
  DWORD number = 7;
  EXPECT_TRUE(key.GetDword("number", number));
  EXPECT_EQ(42u, number);

  const struct {
    const char* name;
    LONG stringError, dwordError;
  } rows[] = {
      {"text", ERROR_SUCCESS, ERROR_INVALID_DATATYPE},  // longer than a DWORD
      {"expand", ERROR_INVALID_DATATYPE, ERROR_INVALID_DATATYPE},
      {"number", ERROR_INVALID_DATATYPE, ERROR_SUCCESS},
      {"missing", ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND},
  };
  for (const auto& row : rows) {
    text = "untouched";
    EXPECT_EQ(row.stringError == ERROR_SUCCESS, key.GetString(row.name, text)) << row.name;
    EXPECT_EQ(row.stringError, key.GetLastError()) << row.name;
    if (row.stringError != ERROR_SUCCESS) {
      EXPECT_EQ("untouched", text) << row.name;
    }
    number = 7;
    EXPECT_EQ(row.dwordError == ERROR_SUCCESS, key.GetDword(row.name, number)) << row.name;
    EXPECT_EQ(row.dwordError, key.GetLastError()) << row.name;
    if (row.dwordError != ERROR_SUCCESS) {
      EXPECT_EQ(7u, number) << row.name;
    }
  }
}

TEST_F(RegistryKeyTest, WritesDeletesAndClosesThroughTheKeyItHolds) {
  CRegistryKey key;
  std::string text;
  EXPECT_FALSE(key.SetString("name", "x")) << "no key held";
  EXPECT_EQ(ERROR_INVALID_HANDLE, key.GetLastError());
  EXPECT_TRUE(key.CloseKey()) << "nothing to close";

  EXPECT_FALSE(key.OpenKey(HKEY_CURRENT_USER, values.c_str(), KEY_ALL_ACCESS));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.GetLastError());
  ASSERT_TRUE(key.CreateKey(HKEY_CURRENT_USER, values.c_str(), nullptr, KEY_ALL_ACCESS));
  EXPECT_TRUE(key.SetString("", "default"));
  EXPECT_TRUE(key.SetDword("count", 3));
  EXPECT_EQ("default", ReadString(HKEY_CURRENT_USER, values, nullptr));
  EXPECT_TRUE(key.DeleteValue("count"));
  EXPECT_FALSE(key.DeleteValue("count"));
  EXPECT_TRUE(key.CloseKey());
  EXPECT_FALSE(key.IsOpen());

  EXPECT_TRUE(key.DeleteSubKey(HKEY_CURRENT_USER, values.c_str()));
  EXPECT_FALSE(testreg::KeyExists(HKEY_CURRENT_USER, values));
}

TEST_F(RegistryKeyTest, StringValueKeepsItsDefaultUntilReadAndWritesBackOnlyAChange) {
  {
    CRegistryStringValue missing(HKEY_CURRENT_USER, values, "Name", "default", true, true);
    EXPECT_EQ("default", missing.Value());
    EXPECT_FALSE(missing.IsOpen());
  }
  EXPECT_FALSE(testreg::KeyExists(HKEY_CURRENT_USER, values)) << "nothing changed, nothing written";

  {
    CRegistryStringValue created(HKEY_CURRENT_USER, values, "Name", "default", true, true);
    created.Set("first");
  }
  EXPECT_EQ("first", ReadString(HKEY_CURRENT_USER, values, "Name")) << "the key is created on write-back";

  {
    CRegistryStringValue stored(HKEY_CURRENT_USER, values, "Name", "default", true, false);
    EXPECT_EQ("first", stored.Value());
    EXPECT_TRUE(stored.IsOpen());
    stored.Set("second");
  }
  EXPECT_EQ("first", ReadString(HKEY_CURRENT_USER, values, "Name")) << "write-back not asked for";

  {
    CRegistryStringValue notRead(HKEY_CURRENT_USER, values, "Name", "default", false, true);
    EXPECT_EQ("default", notRead.Value());
    notRead.Set("third");
  }
  EXPECT_EQ("third", ReadString(HKEY_CURRENT_USER, values, "Name"));

  WriteRaw(HKEY_CURRENT_USER, values, "Number", REG_DWORD, std::string("\1\0\0\0", 4));
  const CRegistryStringValue mismatch(HKEY_CURRENT_USER, values, "Number", "default", true, true);
  EXPECT_EQ("default", mismatch.Value());
  EXPECT_EQ(ERROR_INVALID_DATATYPE, mismatch.GetLastError());
}

TEST_F(RegistryKeyTest, DwordValueKeepsItsDefaultUntilReadAndWritesBackOnlyAChange) {
  {
    CRegistryDwordValue count(HKEY_CURRENT_USER, values, "Count", 5, true, true);
    EXPECT_EQ(5u, count.Value());
  }
  EXPECT_FALSE(testreg::KeyExists(HKEY_CURRENT_USER, values));
  {
    CRegistryDwordValue count(HKEY_CURRENT_USER, values, "Count", 5, true, true);
    count.Set(count.Value() + 1);
  }
  {
    CRegistryDwordValue count(HKEY_CURRENT_USER, values, "Count", 0, true, true);
    EXPECT_EQ(6u, count.Value());
    count.Set(0);
    EXPECT_TRUE(count.Save());
    CRegistryKey reader;
    DWORD stored = 9;
    ASSERT_TRUE(reader.OpenKey(HKEY_CURRENT_USER, values.c_str(), KEY_READ));
    EXPECT_TRUE(reader.GetDword("Count", stored));
    EXPECT_EQ(0u, stored) << "saved at once";
  }
  WriteRaw(HKEY_CURRENT_USER, values, "Text", REG_SZ, std::string("12\0", 3));
  const CRegistryDwordValue mismatch(HKEY_CURRENT_USER, values, "Text", 5, true, true);
  EXPECT_EQ(5u, mismatch.Value());
  EXPECT_EQ(ERROR_INVALID_DATATYPE, mismatch.GetLastError());
}
