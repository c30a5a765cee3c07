#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "setup/profile/ProfileFields.h"

namespace {

TEST(ProfileFields, TextFieldsAreBetweenTheBars) {
  struct Row {
    const char* record;
    int n;
    bool present;
    const char* text;
  } const rows[] = {
      {"Data|0|C:\\VELTRANE", 0, true, "Data"},
      {"Data|0|C:\\VELTRANE", 1, true, "0"},
      {"Data|0|C:\\VELTRANE", 2, true, "C:\\VELTRANE"},
      {"Data|0|C:\\VELTRANE", 3, false, ""},
      {"Data|0|", 2, true, ""},
      {"Data|0|", 3, false, ""},
      {"a||c", 1, true, ""},
      {"", 0, true, ""},
      {"", 1, false, ""},
      {" spaced | text ", 1, true, " text "},
      {"a|b", -1, false, ""},
  };
  for (const Row& row : rows) {
    std::string text = "stale";
    EXPECT_EQ(row.present, GetTextField(row.record, row.n, text)) << row.record << " #" << row.n;
    EXPECT_EQ(row.text, text) << row.record << " #" << row.n;
  }
}

TEST(ProfileFields, NumbersAreReadAsDecimalIn16Or32Bits) {
  struct Row {
    const char* record;
    int n;
    bool present;
    std::int16_t number;
    std::int32_t longNumber;
    int flag;
  } const rows[] = {
      {"20480|0|1|2|0|", 0, true, 20480, 20480, 1},
      {"20480|0|1|2|0|", 1, true, 0, 0, 0},
      {"20480|0|1|-3|0|", 3, true, -3, -3, 1},
      {"20480|0|1|2|0|", 5, true, 0, 0, 0},  // present but empty
      {"20480|0|1|2|0|", 6, false, 0, 0, 0},
      {" 12|+7|12abc|abc", 0, true, 12, 12, 1},
      {" 12|+7|12abc|abc", 1, true, 7, 7, 1},
      {" 12|+7|12abc|abc", 2, true, 12, 12, 1},
      {" 12|+7|12abc|abc", 3, true, 0, 0, 0},
      {"40000", 0, true, -25536, 40000, 1},   // 16 bits wrap
      {"65535", 0, true, -1, 65535, 1},
      {"1048576", 0, true, 0, 1048576, 1},
      {"2147483647", 0, true, -1, 2147483647, 1},
      {"99999999999", 0, true, -1, 2147483647, 1},  // 32 bits clamp
      {"-2147483648", 0, true, 0, INT32_MIN, 1},
      {"-5", 0, true, -5, -5, 1},
  };
  for (const Row& row : rows) {
    std::int16_t number = 99;
    std::int32_t longNumber = 99;
    int flag = 99;
    EXPECT_EQ(row.present, GetNumberField(row.record, row.n, number)) << row.record << " #" << row.n;
    EXPECT_EQ(row.present, GetLongField(row.record, row.n, longNumber)) << row.record << " #" << row.n;
    EXPECT_EQ(row.present, GetFlagField(row.record, row.n, flag)) << row.record << " #" << row.n;
    EXPECT_EQ(row.number, number) << row.record << " #" << row.n;
    EXPECT_EQ(row.longNumber, longNumber) << row.record << " #" << row.n;
    EXPECT_EQ(row.flag, flag) << row.record << " #" << row.n;
  }
}

}  // namespace
