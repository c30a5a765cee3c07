#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ProfileFixture.h"
#include "setup/profile/FileList.h"
#include "setup/profile/GroupTable.h"

namespace {

class FileListTest : public ProfileFixture {
protected:
  // The file names of the list in order, as "a,b".
  static std::string Order(const CFileList& list) {
    std::string names;
    for (const auto& e : list) names += (names.empty() ? "" : ",") + e->GetFileName();
    return names;
  }
};

}  // namespace

TEST_F(FileListTest, LoadsTheFilesOfEveryGroupWithTheirFields) {
  const CPathName profile = Profile(
      "[groups]\nProgram=||1|1|1\nHelp=||0|1|1\n"
      "[Program]\n"
      "veltapp.exe=61440|0|1|1|0|main program\n"
      "veltdata.mf1=98304|1|4|-2|1|\n"
      "[Help]\n"
      "veltapp.txt=2048\n");
  CGroupTable groups;
  groups.Load(profile);
  CFileList list;
  list.Load(profile, groups);
  ASSERT_EQ(3u, list.size());

  // A missing diskette number reads as 0 and comes first.
  const CFileEntry& help = **list.begin();
  EXPECT_EQ("veltapp.txt", help.GetFileName());
  EXPECT_EQ(groups.Find("Help"), help.group);
  EXPECT_EQ(0, help.GetDisketteNumber());
  EXPECT_EQ(0, help.destinationId);

  const CFileEntry& app = **(list.begin() + 1);
  EXPECT_EQ("veltapp.exe", app.GetFileName());
  EXPECT_EQ(61440, app.size);
  EXPECT_EQ(CFileEntry::plainFile, app.kind);
  EXPECT_EQ(1, app.memberCount);
  EXPECT_EQ(1, app.GetDisketteNumber());
  EXPECT_EQ(0, app.marked);
  EXPECT_EQ(0, app.destinationId);
  EXPECT_EQ("main program", app.text);
  EXPECT_EQ(groups.Find("Program"), app.group);

  const CFileEntry& archive = **(list.begin() + 2);
  EXPECT_EQ("veltdata.mf1", archive.GetFileName());
  EXPECT_EQ(CFileEntry::archive, archive.kind);
  EXPECT_EQ(4, archive.memberCount);
  EXPECT_EQ(2, archive.GetDisketteNumber()) << "a negative diskette number marks the entry";
  EXPECT_EQ(1, archive.marked);
}

TEST_F(FileListTest, OrdersByDisketteWithMarkedEntriesLast) {
  struct Row {
    const char* what;
    const char* files;  // one group's section
    const char* order;
  } const rows[] = {
      {"diskettes ascending, load order within", "a=1|0|1|2|0|\nb=1|0|1|1|0|\nc=1|0|1|2|0|\nd=1|0|1|1|0|\n", "b,d,a,c"},
      {"the first loaded one marked", "m=1|0|1|-1|0|\nu=1|0|1|1|0|\n", "u,m"},
      {"-3 is diskette 3, marked", "x=1|0|1|-3|0|\ny=1|0|1|3|0|\nz=1|0|1|2|0|\n", "z,y,x"},
      {"marked entries keep their load order", "m1=1|0|1|-1|0|\nm2=1|0|1|-1|0|\nu=1|0|1|1|0|\nv=1|0|1|2|0|\n",
       "u,m1,m2,v"},
  };
  for (const Row& row : rows) {
    const CPathName profile = Profile(std::string("[groups]\nG=||1|1|1\n[G]\n") + row.files);
    CGroupTable groups;
    groups.Load(profile);
    CFileList list;
    list.Load(profile, groups);
    EXPECT_EQ(row.order, Order(list)) << row.what;
  }
}

TEST_F(FileListTest, EstimatesTheSpaceEachFileNeeds) {
  struct Row {
    std::int32_t size;
    std::int16_t members;
    DWORD cluster;
    std::int64_t needed;
  } const rows[] = {
      {1, 1, 4096, 4096},           // a 1-byte file takes a cluster
      {10000, 4, 4096, 18192},      // half a cluster per member of an archive
      {4096, 1, 4096, 4096},        // exact fit
      {4097, 1, 4096, 8192},        // one byte over
      {0, 1, 4096, 0},
      {10000, 4, 0, 10000},         // no cluster size: the plain size
      {5000, 1, 0, 5000},
      {5000, 0, 512, 5120},
      {2000000000, 32767, 65536, 2000000000LL + 65536LL * 32767 / 2},  // no 32-bit overflow
  };
  for (const Row& row : rows) {
    CFileEntry entry("f");
    entry.size = row.size;
    entry.memberCount = row.members;
    EXPECT_EQ(row.needed, entry.SpaceNeeded(row.cluster)) << row.size << " bytes, " << row.members << " members";
  }
}

TEST_F(FileListTest, RequiredSpaceCountsTheSelectedGroupsOrAll) {
  const CPathName profile = Profile(
      "[groups]\nProgram=||1|1|1\nSamples=||0|0|1\n"
      "[Program]\na=1|0|1|1|0|\nb=10000|1|4|1|0|\n"
      "[Samples]\nc=5000|0|1|1|0|\n");
  CGroupTable groups;
  groups.Load(profile);
  CFileList list;
  list.Load(profile, groups);

  groups.SelectBySetupType(2);
  EXPECT_EQ(4096 + 18192, list.RequiredSpace(4096, false));
  EXPECT_EQ(1 + 10000, list.RequiredSpace(0, false));
  EXPECT_EQ(4096 + 18192 + 8192, list.RequiredSpace(4096, true));
  int selected = 0;
  for (const auto& e : list) selected += e->IsSelected();
  EXPECT_EQ(2, selected);

  groups.SelectBySetupType(0);
  EXPECT_EQ(0, list.RequiredSpace(4096, false));
  EXPECT_EQ(4096 + 18192 + 8192, list.RequiredSpace(4096, true));
}
