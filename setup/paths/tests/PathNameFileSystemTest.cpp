#include <gtest/gtest.h>

#include <direct.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "setup/paths/PathName.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

class PathNameFileSystem : public ::testing::Test {
protected:
  // A directory path ending in '\', below the test's own folder.
  CPathName Dir(const std::string& relative) const { return CPathName(dir / relative + "\\"); }
  CPathName File(const std::string& relative) const { return CPathName(dir / relative); }
  void Touch(const std::string& relative) const {
    ASSERT_TRUE(WriteFileBytes(dir / relative, ""));
  }
  static bool IsDirectory(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }
  static std::string CurrentDirectory() {
    char buffer[MAX_PATH];
    return std::string(buffer, ::GetCurrentDirectoryA(MAX_PATH, buffer));
  }

  TempDir dir;
};

TEST_F(PathNameFileSystem, SpecialDirectoriesEndInABackslashAndExist) {
  char buffer[MAX_PATH];
  std::string windows(buffer, ::GetWindowsDirectoryA(buffer, MAX_PATH));
  std::string system(buffer, ::GetSystemDirectoryA(buffer, MAX_PATH));
  std::string temp(buffer, ::GetTempPathA(MAX_PATH, buffer));
  std::string current(::_getcwd(buffer, MAX_PATH));
  std::string program(buffer, ::GetModuleFileNameA(nullptr, buffer, MAX_PATH));
  program.erase(program.find_last_of('\\') + 1);
  struct Row {
    SpecialDirectory kind;
    std::string expected;
  } const rows[] = {
      {SpecialDirectory::current, current},  {SpecialDirectory::windows, windows},
      {SpecialDirectory::system, system},    {SpecialDirectory::setup, program},
      {SpecialDirectory::temp, temp},
  };
  for (const Row& row : rows) {
    std::string expected = row.expected;
    if (expected.back() != '\\') expected += '\\';
    const CPathName path(row.kind);
    EXPECT_EQ(expected, path.GetPath()) << static_cast<int>(row.kind);
    EXPECT_EQ("", path.GetFileName()) << static_cast<int>(row.kind);
    EXPECT_TRUE(path.DirectoryExists()) << static_cast<int>(row.kind);
  }

  CPathName log(SpecialDirectory::windows);
  log.SetFileName("veltapp.log");
  EXPECT_EQ(windows + "\\veltapp.log", log.GetPath());
}

TEST_F(PathNameFileSystem, ExistsFindsFilesAndDirectoryExistsTheDirectoryPart) {
  Touch("present.txt");
  ASSERT_TRUE(::CreateDirectoryA((dir / "empty").c_str(), nullptr));

  EXPECT_TRUE(File("present.txt").Exists());
  EXPECT_FALSE(File("absent.txt").Exists());
  EXPECT_TRUE(File("empty").Exists());
  EXPECT_FALSE(CPathName().Exists());

  EXPECT_TRUE(Dir("empty").DirectoryExists());
  EXPECT_TRUE(File("empty\\not-there.txt").DirectoryExists());
  EXPECT_FALSE(Dir("missing").DirectoryExists());
  EXPECT_FALSE(File("present.txt\\").DirectoryExists());
}

TEST_F(PathNameFileSystem, CreateDirectoryMakesTheMissingParentsWithoutMovingTheCurrentDirectory) {
  const std::string before = CurrentDirectory();
  ASSERT_TRUE(::CreateDirectoryA((dir / "exists").c_str(), nullptr));

  EXPECT_FALSE(Dir("one\\two\\three").CreateDirectory(false));
  EXPECT_FALSE(IsDirectory(dir / "one"));

  EXPECT_TRUE(Dir("one\\two\\three").CreateDirectory(true));
  EXPECT_TRUE(IsDirectory(dir / "one\\two\\three"));
  EXPECT_TRUE(File("one\\two\\three\\four").CreateDirectory(false));  // no trailing '\'
  EXPECT_TRUE(IsDirectory(dir / "one\\two\\three\\four"));

  EXPECT_TRUE(Dir("exists").CreateDirectory(false));  // already there
  EXPECT_TRUE(Dir("exists\\a\\b").CreateDirectory(true));
  EXPECT_EQ(before, CurrentDirectory());

  CPathName root(SpecialDirectory::windows);
  root.SetDirectory(root.GetDrive() + ":\\");
  EXPECT_TRUE(root.CreateDirectory(true));
  EXPECT_EQ(before, CurrentDirectory());
}

TEST_F(PathNameFileSystem, CreateDirectoryOrThrowReportsWhatIsInTheWay) {
  Touch("blocker");
  EXPECT_FALSE(Dir("blocker\\sub").CreateDirectory(true));
  EXPECT_FALSE(Dir("blocker").CreateDirectory(true));
  try {
    Dir("blocker").CreateDirectoryOrThrow(true);
    ADD_FAILURE() << "no exception";
  } catch (CFileException& e) {
    EXPECT_EQ(CFileException::accessDenied, e.m_cause);
    EXPECT_EQ(dir / "blocker\\", e.m_strFileName);
  }
  // It says whether it made the directory itself: only then is nothing in it.
  EXPECT_TRUE(Dir("fine\\deep").CreateDirectoryOrThrow(true));
  EXPECT_TRUE(IsDirectory(dir / "fine\\deep"));
  EXPECT_FALSE(Dir("fine\\deep").CreateDirectoryOrThrow(true));
  EXPECT_FALSE(Dir("FINE").CreateDirectoryOrThrow(false));
  EXPECT_TRUE(Dir("fine\\deep\\er").CreateDirectoryOrThrow(false));
}

TEST_F(PathNameFileSystem, RemoveDirectoryTakesOnlyEmptyDirectories) {
  ASSERT_TRUE(Dir("full\\inner").CreateDirectory(true));
  EXPECT_FALSE(Dir("full").RemoveDirectory());
  EXPECT_TRUE(File("full\\inner\\file-name-is-ignored.txt").RemoveDirectory());
  EXPECT_FALSE(IsDirectory(dir / "full\\inner"));
  EXPECT_TRUE(Dir("full").RemoveDirectory());
  EXPECT_FALSE(Dir("full").RemoveDirectory());
}

TEST_F(PathNameFileSystem, DeleteClearsTheReadOnlyAttributeOnlyWhenAsked) {
  Touch("locked.dll");
  ASSERT_TRUE(::SetFileAttributesA((dir / "locked.dll").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(File("locked.dll").Delete(false));
  EXPECT_TRUE(File("locked.dll").Exists());
  EXPECT_TRUE(File("locked.dll").Delete(true));
  EXPECT_FALSE(File("locked.dll").Exists());
  EXPECT_FALSE(File("locked.dll").Delete(true));
}

TEST_F(PathNameFileSystem, MoveToRenamesWithoutReplacing) {
  Touch("a.tmp");
  Touch("taken.dll");
  EXPECT_FALSE(File("a.tmp").MoveTo(File("taken.dll")));
  EXPECT_TRUE(File("a.tmp").MoveTo(File("b.dll")));
  EXPECT_FALSE(File("a.tmp").Exists());
  EXPECT_TRUE(File("b.dll").Exists());
}

TEST_F(PathNameFileSystem, MakeTempNameGivesEightHexDigitsAndSkipsTakenNames) {
  CPathName probe = File("veltapp.ini");
  CTempNameGenerator seven(7);
  ASSERT_TRUE(probe.MakeTempName(false, 1, seven));
  const std::string first = probe.GetBaseName();
  ASSERT_EQ(8u, first.size());
  EXPECT_EQ(std::string::npos, first.find_first_not_of("0123456789abcdef")) << first;
  EXPECT_EQ("ini", probe.GetExtension());
  EXPECT_EQ(dir.path(), probe.GetDirectory());

  Touch(first + ".ini");
  CPathName name = File("veltapp.ini");
  seven = CTempNameGenerator(7);
  EXPECT_FALSE(name.MakeTempName(true, 1, seven));  // the only name tried is taken
  seven = CTempNameGenerator(7);
  EXPECT_TRUE(name.MakeTempName(true, 1000, seven));
  EXPECT_NE(first, name.GetBaseName());
  EXPECT_FALSE(name.Exists());
  seven = CTempNameGenerator(7);
  EXPECT_TRUE(name.MakeTempName(false, 1000, seven));  // not asked to be unique
  EXPECT_EQ(first, name.GetBaseName());
  EXPECT_FALSE(name.MakeTempName(true, 0));
}

TEST(TempNameGenerator, NamesRepeatNeitherWithinARunNorAcrossSeedsNorFollowTheRuntimesRand) {
  // Eight hex digits are 2^32 names: a few thousand must not meet by chance.
  std::set<std::string> seen;
  for (std::uint64_t seed : {1ull, 2ull, 0x100000000ull}) {
    CTempNameGenerator names(seed);
    for (int i = 0; i < 2000; ++i) EXPECT_TRUE(seen.insert(names.NextName()).second) << "seed " << seed << " #" << i;
  }
  // Every process starts the C run-time's generator in the same state; the
  // process's names must not.
  std::srand(1);
  const std::string a = CTempNameGenerator::ForProcess().NextName();
  std::srand(1);
  const std::string b = CTempNameGenerator::ForProcess().NextName();
  EXPECT_NE(a, b);
  EXPECT_EQ(0u, seen.count(a)) << "the process's generator has a seed of its own";
}

TEST_F(PathNameFileSystem, FreeSpaceAndClusterSizeOfTheVolume) {
  const std::string root = dir.path().substr(0, 3);
  ULARGE_INTEGER available, total, free;
  ASSERT_TRUE(::GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free));
  DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
  ASSERT_TRUE(::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters));

  const CPathName file = File("any\\depth\\file.txt");
  const int reported = file.FreeSpace();
  if (available.QuadPart > INT_MAX) {
    EXPECT_EQ(2147483647, reported);  // a volume with more than 2 GB free
  } else {
    EXPECT_NEAR(static_cast<double>(available.QuadPart), reported, 1024.0 * 1024.0);
  }
  EXPECT_EQ(sectorsPerCluster * bytesPerSector, file.ClusterSize());
  EXPECT_GT(file.ClusterSize(), 0u);

  EXPECT_EQ(-1, CPathName("relative\\file.txt").FreeSpace());
  EXPECT_EQ(-1, CPathName("\\\\no-such-server-velt\\share\\x\\").FreeSpace());
  EXPECT_EQ(0u, CPathName("\\\\no-such-server-velt\\share\\x\\").ClusterSize());
}

// A UNC share for the test. Wine serves \\server\share from the folder
// dosdevices\unc\server\share of its prefix; elsewhere the test is skipped.
class UncShare : public ::testing::Test {
protected:
  void SetUp() override {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix || ::GetDriveTypeA("Z:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "not running under Wine";
    std::string unixPrefix = std::string("Z:") + prefix;
    for (char& c : unixPrefix) {
      if (c == '/') c = '\\';
    }
    server_ = "velt" + std::to_string(::GetCurrentProcessId());
    serverDir_ = unixPrefix + "\\dosdevices\\unc\\" + server_;
    if (!CPathName(serverDir_ + "\\share\\Veltrane\\").CreateDirectory(true)) {
      GTEST_SKIP() << "cannot make a UNC share under " << serverDir_;
    }
  }
  void TearDown() override {
    if (!serverDir_.empty()) RemoveTree(serverDir_);
  }

  std::string server_;
  std::string serverDir_;
};

TEST_F(UncShare, FreeSpaceAndClusterSizeWorkOnTheShareRoot) {
  const std::string share = "\\\\" + server_ + "\\share\\";
  ULARGE_INTEGER available, total, free;
  ASSERT_TRUE(::GetDiskFreeSpaceExA(share.c_str(), &available, &total, &free));
  DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
  ASSERT_TRUE(::GetDiskFreeSpaceA(share.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters));

  const CPathName installDir(share + "Veltrane\\Data\\");
  EXPECT_EQ(path_name_detail::CapByteCount(available.QuadPart), installDir.FreeSpace());
  EXPECT_EQ(sectorsPerCluster * bytesPerSector, installDir.ClusterSize());
  EXPECT_TRUE(CPathName(share + "Veltrane\\").DirectoryExists());
  EXPECT_TRUE(installDir.CreateDirectory(true));
  EXPECT_TRUE(installDir.DirectoryExists());
}

}  // namespace

namespace {

// One look-up of a name: only "not found" makes it free; what the system
// cannot answer is neither taken nor free, so that no caller takes it for
// either.
TEST_F(PathNameFileSystem, ANameLookedUpIsTakenFreeOrUnknown) {
  Touch("file.dat");
  ASSERT_TRUE(::CreateDirectoryA((dir / "folder").c_str(), nullptr));
  CPathName tooLong(dir / "x");
  for (int i = 0; i < 30; ++i) tooLong.AppendDirectory("directory");
  using L = CPathName::NameLookup;
  const struct {
    CPathName path;
    L expected;
  } rows[] = {
      {File("file.dat"), L::taken},
      {File("folder"), L::taken},
      {File("missing.dat"), L::free},
      {File("no folder\\missing.dat"), L::free},
      {tooLong, L::unknown},
  };
  for (const auto& row : rows) EXPECT_EQ(row.expected, row.path.LookUpName()) << row.path.GetPath();
}

}  // namespace
