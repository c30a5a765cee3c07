#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProfileFixture.h"
#include "setup/profile/DestinationTable.h"
#include "setup/profile/InstallProfileException.h"

namespace {

using DestinationTableTest = ProfileFixture;

// The ids of the table in iteration order.
std::vector<int> Ids(const CDestinationTable& table) {
  std::vector<int> ids;
  for (const auto& d : table) ids.push_back(d->id);
  return ids;
}

// The code of the CInstallProfileException that f throws; -1 when it
// throws none.
template <class F>
int ProfileErrorCode(F f) {
  try {
    f();
  } catch (const CInstallProfileException& e) {
    return e.GetErrorCode();
  }
  return -1;
}

}  // namespace

TEST_F(DestinationTableTest, StartsWithTheSystemDirectories) {
  const CDestinationTable table;
  EXPECT_EQ((std::vector<int>{-2, -3, -4}), Ids(table));
  EXPECT_EQ(CPathName(SpecialDirectory::windows).GetPath(), table.GetPath(-2).GetPath());
  EXPECT_EQ(CPathName(SpecialDirectory::system).GetPath(), table.GetPath(-3).GetPath());
  EXPECT_EQ(CPathName(SpecialDirectory::temp).GetPath(), table.GetPath(-4).GetPath());
  for (const auto& d : table) EXPECT_FALSE(d->HasParent()) << d->id;
  EXPECT_EQ(nullptr, table.Find(0));
  EXPECT_TRUE(table.GetPath(0).IsEmpty());
  EXPECT_TRUE(table.GetPath(-1).IsEmpty()) << "-1 means not installed";
}

TEST_F(DestinationTableTest, LoadsRecordsInFileOrderWithTheirFields) {
  CDestinationTable table;
  table.Load(Profile(
      "[destinations]\n"
      "1=Data|0|\n"
      "0=Veltrane|-1|C:\\Program Files\\Veltrane\n"
      "5=Shared\n"
      "7=||D:\\Other\\\n"));
  EXPECT_EQ((std::vector<int>{-2, -3, -4, 1, 0, 5, 7}), Ids(table));
  EXPECT_EQ("Data", table.GetName(1));
  EXPECT_EQ(0, table.Find(1)->parentId);
  EXPECT_EQ(CDestination::kNoParent, table.Find(0)->parentId);
  EXPECT_EQ("C:\\Program Files\\Veltrane\\", table.GetPath(0).GetPath()) << "a path is a directory";
  EXPECT_EQ(CDestination::kNoParent, table.Find(5)->parentId) << "an absent parent field means no parent";
  EXPECT_TRUE(table.GetPath(5).IsEmpty());
  EXPECT_EQ(0, table.Find(7)->parentId) << "an empty parent field reads as 0";
  EXPECT_EQ("D:\\Other\\", table.GetPath(7).GetPath());
}

TEST_F(DestinationTableTest, AKeyReadAgainUpdatesTheDestinationInItsPlace) {
  CDestinationTable table;
  table.Load(Profile("[destinations]\n0=Veltrane|-1|C:\\Velt\n1=Data|0|\n"));
  const CDestination* data = table.Find(1);
  table.Load(Profile("[destinations]\n1=Daten|0|\n2=Hilfe|1|\n"));
  EXPECT_EQ((std::vector<int>{-2, -3, -4, 0, 1, 2}), Ids(table));
  EXPECT_EQ(data, table.Find(1));
  EXPECT_EQ("Daten", data->name);
}

TEST_F(DestinationTableTest, AProfileWithoutDestinationsIsRefused) {
  const CPathName profiles[] = {
      Profile("[groups]\nMain=a|b|1|1|1\n"),
      Profile("[destinations]\n[groups]\nMain=a|b|1|1|1\n"),
      NewFile("missing.ini"),
  };
  for (const CPathName& profile : profiles) {
    CDestinationTable table;
    EXPECT_EQ(CInstallProfileException::noDestinations, ProfileErrorCode([&] { table.Load(profile); }))
        << profile.GetPath();
  }
}

TEST_F(DestinationTableTest, ResolvesChainsWhateverTheOrderOfTheirRecords) {
  CDestinationTable table;
  // Children stand before their parents, and carry stale paths of their own.
  table.Load(Profile(
      "[destinations]\n"
      "3=Samples|2|D:\\stale\\\n"
      "2=Help|1|\n"
      "1=Data|0|D:\\old\\Data\n"
      "0=Veltrane|-1|C:\\Program Files\\Veltrane\n"
      "4=Tarvo|-1|C:\\TARVO\n"));
  table.Resolve();
  EXPECT_EQ("C:\\Program Files\\Veltrane\\", table.GetPath(0).GetPath());
  EXPECT_EQ("C:\\Program Files\\Veltrane\\Data\\", table.GetPath(1).GetPath());
  EXPECT_EQ("C:\\Program Files\\Veltrane\\Data\\Help\\", table.GetPath(2).GetPath());
  EXPECT_EQ("C:\\Program Files\\Veltrane\\Data\\Help\\Samples\\", table.GetPath(3).GetPath());
  EXPECT_EQ("C:\\TARVO\\", table.GetPath(4).GetPath());

  // The user picks another main directory: every child follows, also those
  // whose parent stands later and still holds its old path.
  table.SetPath(0, "E:\\Apps\\Velt");
  table.Resolve();
  EXPECT_EQ("E:\\Apps\\Velt\\Data\\", table.GetPath(1).GetPath());
  EXPECT_EQ("E:\\Apps\\Velt\\Data\\Help\\", table.GetPath(2).GetPath());
  EXPECT_EQ("E:\\Apps\\Velt\\Data\\Help\\Samples\\", table.GetPath(3).GetPath());
  EXPECT_EQ(CPathName(SpecialDirectory::system).GetPath(), table.GetPath(-3).GetPath());
}

TEST_F(DestinationTableTest, UnresolvableChainsAreRefused) {
  struct Row {
    const char* what;
    const char* destinations;
  } const rows[] = {
      {"cycle", "0=Veltrane|-1|C:\\Velt\n1=A|2|\n2=B|1|\n"},
      {"own parent", "0=Veltrane|-1|C:\\Velt\n1=A|1|\n"},
      {"missing parent", "0=Veltrane|-1|C:\\Velt\n1=A|9|\n"},
      {"root without a path", "0=Veltrane|-1|\n1=Data|0|\n2=Help|1|\n"},
  };
  for (const Row& row : rows) {
    CDestinationTable table;
    table.Load(Profile(std::string("[destinations]\n") + row.destinations));
    EXPECT_EQ(CInstallProfileException::unresolvedDestinations, ProfileErrorCode([&] { table.Resolve(); }))
        << row.what;
  }
}

TEST_F(DestinationTableTest, SetPathAndSetNameAndParentCreateMissingDestinations) {
  CDestinationTable table;
  table.SetPath(0, "C:\\Velt\\");
  table.SetNameAndParent(3, "Docs", 0);
  table.SetPath(4, "");
  EXPECT_EQ((std::vector<int>{-2, -3, -4, 0, 3, 4}), Ids(table));
  EXPECT_EQ("C:\\Velt\\", table.GetPath(0).GetPath());
  table.Resolve();
  EXPECT_EQ("C:\\Velt\\Docs\\", table.GetPath(3).GetPath());
  EXPECT_TRUE(table.GetPath(4).IsEmpty());
}
