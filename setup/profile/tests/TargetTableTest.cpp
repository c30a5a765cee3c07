#include <gtest/gtest.h>

#include <string>

#include "ProfileFixture.h"
#include "setup/profile/TargetTable.h"

namespace {

using TargetTableTest = ProfileFixture;

}  // namespace

TEST_F(TargetTableTest, ReadsTheProgramGroupNameWithTheCurrentOneAsDefault) {
  struct Row {
    const char* profile;
    const char* folder;
  } const rows[] = {
      {"[PMGroup]\nPMGroup=Veltrane 2.0\n", "Veltrane 2.0"},
      {"[targets]\n", "Veltrane"},
      {"[PMGroup]\nOther=x\n", "Veltrane"},
  };
  for (const Row& row : rows) {
    CTargetTable table;
    std::string folder = "Veltrane";
    table.Load(Profile(row.profile), folder);
    EXPECT_EQ(row.folder, folder) << row.profile;
  }
}

TEST_F(TargetTableTest, LoadsItemsAndFindsThemWhateverTheLetterCase) {
  CTargetTable table;
  std::string folder = "Veltrane";
  table.Load(Profile(
                 "[targets]\n"
                 "VELTAPP.EXE=2|5|1|Veltrane|/n|velt.ico|\n"
                 "readme.txt=0|0|0|Read Me|||C:\\Velt\\readme.txt\n"
                 "tool.exe=1\n"),
             folder);
  ASSERT_EQ(3u, table.size());
  for (const char* name : {"veltapp.exe", "VeltApp.Exe", "VELTAPP.EXE"}) {
    const CTarget* target = table.Find(name);
    ASSERT_NE(nullptr, target) << name;
    EXPECT_EQ("VELTAPP.EXE", target->key);
    EXPECT_EQ(2, target->iconIndex);
    EXPECT_EQ(5, target->secondNumber);
    EXPECT_EQ(1, target->minimized);
    EXPECT_EQ("Veltrane", target->description);
    EXPECT_EQ("/n", target->arguments);
    EXPECT_EQ("velt.ico", target->iconFile);
    EXPECT_TRUE(target->programPath.IsEmpty());
  }
  EXPECT_EQ("veltapp.exe", table.begin()->tableKey);
  EXPECT_EQ("C:\\Velt\\readme.txt", table.Find("README.TXT")->programPath.GetPath());
  EXPECT_EQ("1|0|0||||", table.Find("tool.exe")->FormatRecord()) << "missing fields read as empty and 0";
  EXPECT_EQ(nullptr, table.Find("veltapp"));
}

TEST_F(TargetTableTest, AKeyDifferingOnlyInLetterCaseReplacesTheEarlierItem) {
  CTargetTable table;
  std::string folder;
  table.Load(Profile("[targets]\nveltapp.exe=1|0|0|Old|||\nhelp.exe=0|0|0|Help|||\n"), folder);
  CTarget* target = table.Find("veltapp.exe");
  table.Load(Profile("[targets]\nVeltApp.EXE=3|0|0|New|||\n"), folder);
  ASSERT_EQ(2u, table.size());
  EXPECT_EQ(target, table.Find("VELTAPP.exe"));
  EXPECT_EQ("New", target->description);
  EXPECT_EQ(3, target->iconIndex);
}

