#include <gtest/gtest.h>

#include <string>

#include "setup/paths/DriveEnumerator.h"

namespace {

UINT TypeOf(char letter) {
  const char root[] = {letter, ':', '\\', '\0'};
  return ::GetDriveTypeA(root);
}

TEST(DriveEnumerator, VisitsExactlyTheExistingDrivesInOrderAndStaysAtTheLast) {
  std::string expected;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (TypeOf(letter) > DRIVE_NO_ROOT_DIR) expected += letter;
  }
  ASSERT_FALSE(expected.empty());

  CDriveEnumerator drives;
  EXPECT_EQ(-1, drives.Index());
  std::string visited;
  while (drives.Next()) {
    visited += drives.Letter();
    EXPECT_EQ(TypeOf(drives.Letter()), drives.Type());
  }
  EXPECT_EQ(expected, visited);
  EXPECT_EQ(expected.back(), drives.Letter());
  EXPECT_FALSE(drives.Next());
  EXPECT_EQ(expected.back(), drives.Letter());
}

TEST(DriveEnumerator, FindTypeStopsAtTheFirstDriveOfThatType) {
  CDriveEnumerator drives;
  ASSERT_TRUE(drives.FindType(DRIVE_FIXED));
  const char first = drives.Letter();
  EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), TypeOf(first));
  for (char letter = 'A'; letter < first; ++letter) EXPECT_NE(static_cast<UINT>(DRIVE_FIXED), TypeOf(letter));

  // It goes on from where it stands.
  const bool another = drives.FindType(DRIVE_FIXED);
  if (another) {
    EXPECT_GT(drives.Letter(), first);
  }

  CDriveEnumerator none;
  EXPECT_FALSE(none.FindType(0x7777));
}

}  // namespace
