#include <gtest/gtest.h>

#include "FrameworkTestIds.h"
#include "framework/Resources.h"

TEST(ResourcesTest, StringsLoadAndMissingIdsGiveEmptyText) {
  EXPECT_EQ("Hello from the string table", LoadResourceString(IDS_GREETING));
  EXPECT_EQ("", LoadResourceString(3));      // same block, no string
  EXPECT_EQ("", LoadResourceString(60000));  // no block at all
}

TEST(ResourcesTest, PlaceholdersAreReplacedEverywhere) {
  EXPECT_EQ("First a, second b, first again a.", AfxFormatString2(IDS_TWO_PLACES, "a", "b"));
  EXPECT_EQ("In C:\\dir\\ now", FormatPlaceholders("In %1 now", "C:\\dir\\"));
  EXPECT_EQ("100% sure", FormatPlaceholders("100% sure", "x"));
}

TEST(ResourcesTest, RcDataComesBackByteForByte) {
  std::string_view data = LoadRcData(IDR_SAMPLE_DATA);
  ASSERT_GE(data.size(), 7u);
  EXPECT_EQ(std::string_view("sample\0", 7), data.substr(0, 7));
  EXPECT_TRUE(LoadRcData(99).empty());
}
