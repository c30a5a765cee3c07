// The files of one installation run: their size for the uninstall entry,
// which earlier files an upgrade no longer ships, and the restart's list of
// deletions on Windows 95.
#include <gtest/gtest.h>

#include <windows.h>

#include "setup/install/ReplaceAtRestart.h"
#include "setup/install/RunFiles.h"
#include "setup/profile/GroupTable.h"
#include "setup/profile/IniText.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

TEST(RunFilesTest, CountsEachFileOnceInKiBRoundedUp) {
  CRunFiles files;
  EXPECT_EQ(0u, files.TotalKiB());
  files.Add(CPathName("C:\\Velt\\a.exe"), 1024);
  files.Add(CPathName("C:\\Velt\\b.txt"), 1);
  EXPECT_EQ(2u, files.TotalKiB()) << "1025 bytes";
  // Listed in two groups: one file, with the size it has last.
  files.Add(CPathName("C:\\VELT\\B.TXT"), 2048);
  EXPECT_EQ(2u, files.Count());
  EXPECT_EQ(3072u, files.TotalBytes());
  EXPECT_EQ(3u, files.TotalKiB());
  files.Add(CPathName("C:\\Velt\\huge.bin"), 0x10000000000ull * 1024);
  EXPECT_EQ(0xFFFFFFFFu, files.TotalKiB()) << "at most the largest DWORD";
}

// Thousands of files: the tables grow many times over, and a path or a
// name added before any growth is still found after the last one.
TEST(RunFilesTest, KeepsEveryFileAndNameOfALargeRun) {
  CRunFiles run;
  constexpr int kFiles = 3000;
  for (int i = 0; i < kFiles; ++i) {
    run.Add(CPathName("C:\\Velt\\Folder" + std::to_string(i % 100) + "\\File" + std::to_string(i) + ".dat"), 1);
  }
  // Each again, in other letters and with a new size: still one file each.
  for (int i = 0; i < kFiles; i += 3) {
    run.Add(CPathName("C:\\VELT\\folder" + std::to_string(i % 100) + "\\FILE" + std::to_string(i) + ".DAT"), 5);
  }
  EXPECT_EQ(static_cast<std::size_t>(kFiles), run.Count());
  EXPECT_EQ(static_cast<std::uint64_t>(kFiles + 4 * (kFiles / 3)), run.TotalBytes());

  CGroupTable groups;
  groups.Load(CIniText("[groups]\r\nData=c|d|1|1|1\r\n"));
  groups.Find("Data")->selected = 1;
  const std::vector<CLoggedFile> earlier = {
      {"Data", "file0.dat", CPathName("C:\\Old\\file0.dat")},
      {"Data", "File2999.DAT", CPathName("C:\\Old\\File2999.DAT")},
      {"Data", "file3000.dat", CPathName("C:\\Old\\file3000.dat")},
      {"Data", "folder7", CPathName("C:\\Old\\folder7")},
  };
  std::vector<std::string> named;
  for (const CLoggedFile& file : run.NotShipped(earlier, groups)) named.push_back(file.name);
  EXPECT_EQ((std::vector<std::string>{"file3000.dat", "folder7"}), named)
      << "a name is a file's whole name, not a part of its path";
}

// A file is its folder and its name: the same name in two folders is two
// files, and a folder and name that spell the same path as another pair
// is not the other's file.
TEST(RunFilesTest, TellsFilesApartByTheirFolderAndName) {
  CRunFiles run;
  for (const char* path : {"C:\\Velt\\readme.txt", "C:\\Velt\\Docs\\readme.txt", "C:\\ab\\c.txt",
                           "C:\\a\\bc.txt", "C:\\top.txt", "C:\\velt\\DOCS\\README.TXT"}) {
    run.Add(CPathName(path), 1);
  }
  EXPECT_EQ(5u, run.Count());
  EXPECT_EQ(5u, run.TotalBytes());

  // What the copy asks before it writes a file in place in a folder it made.
  const struct {
    const char* path;
    bool recorded;
  } asked[] = {
      {"C:\\Velt\\README.TXT", true},  {"c:\\velt\\docs\\readme.txt", true}, {"C:\\a\\bc.txt", true},
      {"C:\\a\\b\\c.txt", false},    {"C:\\Velt\\Other\\readme.txt", false}, {"C:\\Velt\\readme", false},
      {"C:\\New\\readme.txt", false}, {"C:\\top.txt", true},
  };
  for (const auto& a : asked) EXPECT_EQ(a.recorded, run.Contains(CPathName(a.path))) << a.path;
  EXPECT_FALSE(CRunFiles().Contains(CPathName("C:\\Velt\\readme.txt"))) << "nothing recorded yet";
}

TEST(RunFilesTest, NamesTheEarlierFilesThatNoGroupOfThisRunShips) {
  const CIniText log(
      "[destinations]\r\n0=Veltrane|-1|C:\\Velt\r\n1=Data|0|\r\n5=Old|-1|C:\\Old Velt\r\n"
      "[groups]\r\nProgram=a|b|1|1|1\r\nData=c|d|1|1|1\r\nExtras=e|f|1|1|1\r\nGone=g|h|1|1|1\r\n"
      "Program~5=a|b|1|1|1\r\n"
      "[Program]\r\nveltapp.exe=0|1|0\r\nold.dll=0|1|0\r\n"
      "[Data]\r\nsamples.csv=1|1|0\r\nmoved.csv=1|1|0\r\n"
      "[Extras]\r\nextra.txt=0|1|0\r\n"
      "[Gone]\r\ngone.txt=1|1|0\r\n"
      "[Program~5]\r\nveltapp.exe=5|1|0\r\nancient.dll=5|1|0\r\n");
  const std::vector<CLoggedFile> earlier = ReadLoggedFiles(log);
  ASSERT_EQ(8u, earlier.size());
  EXPECT_EQ("C:\\Velt\\Data\\samples.csv", earlier[2].path.GetPath());

  // This kit: Program and Data (Extras unselected, Gone no more); moved.csv
  // went over to Program.
  CGroupTable groups;
  groups.Load(CIniText("[groups]\r\nProgram=a|b|1|1|1\r\nData=c|d|1|1|1\r\nExtras=e|f|0|0|0\r\n"));
  groups.Find("Program")->selected = 1;
  groups.Find("Data")->selected = 1;
  CRunFiles run;
  for (const char* path : {"C:\\Velt\\veltapp.exe", "C:\\Velt\\MOVED.CSV", "C:\\Velt\\Data\\samples.csv"}) {
    run.Add(CPathName(path), 10);
  }
  std::vector<std::string> named;
  for (const CLoggedFile& file : run.NotShipped(earlier, groups)) named.push_back(file.path.GetPath());
  EXPECT_EQ((std::vector<std::string>{"C:\\Velt\\old.dll", "C:\\Velt\\Data\\gone.txt", "C:\\Old Velt\\ancient.dll"}),
            named)
      << "not extra.txt, whose group this run left out, nor the copy of veltapp.exe in the moved directory";
}

TEST(RunFilesTest, Windows95DeletesAtTheRestartByTheShortPath) {
  TempDir dir;
  const std::string folder = dir / "Velt Rane Program";
  ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
  const std::string file = folder + "\\veltapp program.exe";
  ASSERT_TRUE(WriteFileBytes(file, "x"));
  const CPathName wininit(dir / "wininit.ini");
  ASSERT_TRUE(AddWininitDeletion(wininit, CPathName(file)));
  ASSERT_TRUE(AddWininitDeletion(wininit, CPathName(folder + "\\")));
  ASSERT_TRUE(AddWininitDeletion(wininit, CPathName(file))) << "a line there already";
  char shortFile[MAX_PATH] = {};
  char shortFolder[MAX_PATH] = {};
  ASSERT_NE(0u, ::GetShortPathNameA(file.c_str(), shortFile, MAX_PATH));
  ASSERT_NE(0u, ::GetShortPathNameA(folder.c_str(), shortFolder, MAX_PATH));
  EXPECT_EQ(std::string::npos, std::string(shortFile).find(' ')) << shortFile;
  EXPECT_EQ("[rename]\r\nNUL=" + std::string(shortFile) + "\r\nNUL=" + shortFolder + "\r\n", ReadFileBytes(wininit.GetPath()));
}

}  // namespace
