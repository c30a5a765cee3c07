#include <gtest/gtest.h>

#include "ProfileFixture.h"
#include "setup/profile/DisketteTable.h"

namespace {

using DisketteTableTest = ProfileFixture;

}  // namespace

TEST_F(DisketteTableTest, GivesTheLabelOfEachDisketteItHas) {
  CDisketteTable table;
  table.Load(Profile(
      "[diskettes]\n"
      "1=Veltrane Disk 1|\\disk1\n"
      "3=Veltrane Disk 3\n"
      "4=|\\disk4\n"
      "-1=Negative\n"
      "99999=Far away\n"
      "x=Not a number\n"));
  struct Row {
    int n;
    const char* label;
  } const rows[] = {
      {1, "Veltrane Disk 1"}, {2, ""}, {3, "Veltrane Disk 3"}, {4, ""}, {5, ""}, {-1, ""}, {99999, ""},
  };
  for (const Row& row : rows) EXPECT_EQ(row.label, table.GetLabel(row.n)) << row.n;
  EXPECT_EQ(nullptr, table.Get(2)) << "no record for a number the section skips";
  ASSERT_NE(nullptr, table.Get(4));
  EXPECT_EQ("\\disk4", table.Get(4)->path);
  EXPECT_EQ("Not a number", table.GetLabel(0)) << "a key that is no number reads as 0";
  EXPECT_EQ(5u, table.size()) << "out-of-range numbers do not grow the table";
}

TEST_F(DisketteTableTest, ANumberReadAgainReplacesItsRecord) {
  CDisketteTable table;
  table.Load(Profile("[diskettes]\n2=First\n"));
  table.Load(Profile("[diskettes]\n2=Second|p\n1=One\n"));
  EXPECT_EQ("Second", table.GetLabel(2));
  EXPECT_EQ("p", table.Get(2)->path);
  EXPECT_EQ("One", table.GetLabel(1));
}
