#include <gtest/gtest.h>

#include <string>

#include "ProfileFixture.h"
#include "setup/profile/GroupTable.h"

namespace {

using GroupTableTest = ProfileFixture;

// The keys of the selected groups, in table order, as "a,b".
std::string Selected(const CGroupTable& table) {
  std::string keys;
  for (const auto& g : table) {
    if (!g->selected) continue;
    if (!keys.empty()) keys += ",";
    keys += g->key;
  }
  return keys;
}

}  // namespace

TEST_F(GroupTableTest, LoadsGroupsInFileOrderUnselected) {
  CGroupTable table;
  table.Load(Profile(
      "[groups]\n"
      "Program=Program files|The program itself|1|1|1\n"
      "Help=Help files|Online help|0|1|7\n"
      "Samples=Samples\n"));
  ASSERT_EQ(3u, table.size());
  const CGroup* help = table.Find("Help");
  ASSERT_NE(nullptr, help);
  EXPECT_EQ("Help files", help->firstText);
  EXPECT_EQ("Online help", help->secondText);
  EXPECT_EQ(0, help->memberOfType1);
  EXPECT_EQ(1, help->memberOfType2);
  EXPECT_EQ(1, help->memberOfType3) << "a flag is 1 for any non-zero number";
  EXPECT_EQ("Help files|Online help|0|1|1", help->FormatRecord());
  const CGroup* samples = table.Find("Samples");
  ASSERT_NE(nullptr, samples);
  EXPECT_EQ("Samples||0|0|0", samples->FormatRecord()) << "missing fields read as empty and 0";
  EXPECT_EQ("", Selected(table));
  EXPECT_EQ(table.Find("Program"), table.begin()->get());
}

TEST_F(GroupTableTest, SelectsTheGroupsOfASetupType) {
  CGroupTable table;
  table.Load(Profile(
      "[groups]\n"
      "Program=||1|1|1\n"
      "Help=||0|1|1\n"
      "Samples=||0|0|1\n"
      "Extras=||0|0|0\n"));
  struct Row {
    int type;
    const char* selected;
  } const rows[] = {
      {2, "Program,Help"}, {0, ""}, {1, "Program"}, {3, "Program,Help,Samples"},
      {4, "Program,Help,Samples,Extras"}, {5, ""}, {-1, ""},
  };
  for (const Row& row : rows) {
    table.SelectBySetupType(row.type);
    EXPECT_EQ(row.selected, Selected(table)) << "setup type " << row.type;
  }
}

TEST_F(GroupTableTest, AKeyReadAgainReplacesTheGroupInItsPlace) {
  CGroupTable table;
  table.Load(Profile("[groups]\nProgram=a|b|1|1|1\nHelp=c|d|0|1|1\n"));
  CGroup* program = table.Find("Program");
  program->selected = 1;
  table.Load(Profile("[groups]\nPROGRAM=e|f|0|0|1\n"));
  ASSERT_EQ(2u, table.size());
  EXPECT_EQ(program, table.Find("program")) << "pointers to a group stay valid";
  EXPECT_EQ("e|f|0|0|1", program->FormatRecord());
  EXPECT_EQ(0, program->selected);
  EXPECT_EQ(program, table.begin()->get());
}
