#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "setup/paths/PathName.h"

namespace {

TEST(PathNameParts, AreTakenApartAndTrimmed) {
  struct Row {
    const char* path;
    const char* drive;
    const char* directory;
    const char* baseName;
    const char* extension;
    const char* fileName;
  } const rows[] = {
      {"C:\\WINDOWS\\SYSTEM\\user.exe", "C", "C:\\WINDOWS\\SYSTEM", "user", "exe", "user.exe"},
      {"C:\\WINDOWS\\", "C", "C:\\WINDOWS", "", "", ""},
      {"C:\\readme", "C", "C:\\", "readme", "", "readme"},
      {"C:\\", "C", "C:\\", "", "", ""},
      {"A:_setupx.exe", "A", "A:", "_setupx", "exe", "_setupx.exe"},
      {"\\veltapp.log", "", "\\", "veltapp", "log", "veltapp.log"},
      {"veltapp.tar.gz", "", "", "veltapp.tar", "gz", "veltapp.tar.gz"},
      {"C:\\dir.d\\noext", "C", "C:\\dir.d", "noext", "", "noext"},
      {"C:/forward/slash.ini", "C", "C:/forward", "slash", "ini", "slash.ini"},
      {"\\\\server\\share\\kit\\disk1.mf", "", "\\\\server\\share\\kit", "disk1", "mf", "disk1.mf"},
      {"\\\\server\\share\\", "", "\\\\server\\share", "", "", ""},
      {"C:\\kit\\.profile", "C", "C:\\kit", "", "profile", ".profile"},
      {"C:\\kit\\..", "C", "C:\\kit", "..", "", ".."},
      {"", "", "", "", "", ""},
  };
  for (const Row& row : rows) {
    const CPathName path(row.path);
    EXPECT_EQ(row.drive, path.GetDrive()) << row.path;
    EXPECT_EQ(row.directory, path.GetDirectory()) << row.path;
    EXPECT_EQ(row.baseName, path.GetBaseName()) << row.path;
    EXPECT_EQ(row.extension, path.GetExtension()) << row.path;
    EXPECT_EQ(row.fileName, path.GetFileName()) << row.path;
  }
}

TEST(PathNameParts, ADoubleByteCharacterEndingInBackslashIsNoSeparator) {
  // 0x95 0x5C is one Shift-JIS character; only a DBCS code page sees it so.
  if (!::IsDBCSLeadByte(0x95)) GTEST_SKIP() << "the ANSI code page has no double-byte characters";
  const CPathName path("C:\\\x95\\dir\\a.txt");
  EXPECT_EQ("C:\\\x95\\dir", path.GetDirectory());
}

TEST(PathNameComposition, ReplacesOrAddsOnlyThePartItNames) {
  using Op = std::function<void(CPathName&)>;
  struct Row {
    const char* what;
    const char* before;
    Op op;
    const char* after;
  } const rows[] = {
      {"SetDirectory with drive", "C:\\a\\f.txt", [](CPathName& p) { p.SetDirectory("D:\\x"); }, "D:\\x\\f.txt"},
      {"SetDirectory ending in \\", "C:\\a\\f.txt", [](CPathName& p) { p.SetDirectory("D:\\x\\"); },
       "D:\\x\\f.txt"},
      {"SetDirectory on a directory", "C:\\a\\", [](CPathName& p) { p.SetDirectory("\\\\srv\\share"); },
       "\\\\srv\\share\\"},
      {"SetDirectory empty", "C:\\a\\f.txt", [](CPathName& p) { p.SetDirectory(""); }, "f.txt"},
      {"AppendDirectory below a path ending in \\", "C:\\WINDOWS\\",
       [](CPathName& p) { p.AppendDirectory("\\Start Menu\\Programs"); }, "C:\\WINDOWS\\Start Menu\\Programs\\"},
      {"AppendDirectory keeps the file name", "C:\\Veltrane\\veltapp.exe",
       [](CPathName& p) { p.AppendDirectory("Data"); }, "C:\\Veltrane\\Data\\veltapp.exe"},
      {"AppendDirectory with trailing \\", "C:\\a\\", [](CPathName& p) { p.AppendDirectory("b\\c\\"); },
       "C:\\a\\b\\c\\"},
      {"AppendDirectory drops only one \\", "C:\\a\\", [](CPathName& p) { p.AppendDirectory("\\\\b"); },
       "C:\\a\\\\b\\"},
      {"AppendDirectory empty", "C:\\a\\f", [](CPathName& p) { p.AppendDirectory(""); }, "C:\\a\\f"},
      {"AppendDirectory on a UNC share", "\\\\srv\\share\\", [](CPathName& p) { p.AppendDirectory("Veltrane"); },
       "\\\\srv\\share\\Veltrane\\"},
      {"SetFileName on a directory", "C:\\WINDOWS\\", [](CPathName& p) { p.SetFileName("veltapp.log"); },
       "C:\\WINDOWS\\veltapp.log"},
      {"SetFileName drops the old extension", "C:\\a\\b.txt", [](CPathName& p) { p.SetFileName("readme"); },
       "C:\\a\\readme"},
      {"SetBaseName keeps the extension", "A:\\setup.exe", [](CPathName& p) { p.SetBaseName("_setupx"); },
       "A:\\_setupx.exe"},
      {"SetExtension without dot", "A:\\_setupx.exe", [](CPathName& p) { p.SetExtension("ini"); },
       "A:\\_setupx.ini"},
      {"SetExtension with dot", "A:\\_setupx.exe", [](CPathName& p) { p.SetExtension(".ini"); },
       "A:\\_setupx.ini"},
      {"SetExtension on a name without one", "A:\\_setupx", [](CPathName& p) { p.SetExtension("ini"); },
       "A:\\_setupx.ini"},
      {"SetExtension empty", "A:\\_setupx.exe", [](CPathName& p) { p.SetExtension(""); }, "A:\\_setupx"},
  };
  for (const Row& row : rows) {
    CPathName path(row.before);
    row.op(path);
    EXPECT_EQ(row.after, path.GetPath()) << row.what;
  }
}

TEST(PathNameComposition, SplitLastDirectoryClimbsToTheParentButNotPastARoot) {
  struct Row {
    const char* before;
    bool split;
    const char* after;
    const char* name;
  } const rows[] = {
      {"A:\\DISK1\\", true, "A:\\", "DISK1"},
      {"C:\\kit\\disk1\\_setupx.exe", true, "C:\\kit\\_setupx.exe", "disk1"},
      {"D:\\", false, "D:\\", ""},
      {"D:setup.exe", false, "D:setup.exe", ""},
      {"\\\\srv\\share\\kit\\", true, "\\\\srv\\share\\", "kit"},
      {"\\\\srv\\share\\", false, "\\\\srv\\share\\", ""},
      {"\\\\srv\\", false, "\\\\srv\\", ""},
      {"kit\\disk1\\", true, "kit\\", "disk1"},
  };
  for (const Row& row : rows) {
    CPathName path(row.before);
    std::string name;
    EXPECT_EQ(row.split, path.SplitLastDirectory(name)) << row.before;
    EXPECT_EQ(row.after, path.GetPath()) << row.before;
    EXPECT_EQ(row.name, name) << row.before;
  }
}

TEST(PathNameComposition, LongPathsAreKeptWholeAndRefusedByTheFileSystemOperations) {
  CPathName path("C:\\");
  for (int i = 0; i < 30; ++i) path.AppendDirectory("directory");
  path.SetFileName("file.txt");
  ASSERT_GT(path.GetPath().size(), static_cast<std::size_t>(MAX_PATH));
  EXPECT_EQ("file.txt", path.GetFileName());
  EXPECT_TRUE(path.IsTooLong());
  EXPECT_FALSE(path.Exists());
  EXPECT_FALSE(path.CreateDirectory());
  EXPECT_FALSE(path.Delete(true));
  EXPECT_FALSE(path.MakeTempName(true, 3));
  try {
    path.CreateDirectoryOrThrow();
    ADD_FAILURE() << "no exception";
  } catch (CFileException& e) {
    EXPECT_EQ(CFileException::badPath, e.m_cause);
    EXPECT_EQ(path.GetPath(), e.m_strFileName);
  }

  CPathName fits(std::string(CPathName::kMaxLength, 'a'));
  EXPECT_FALSE(fits.IsTooLong());
  fits.SetPath(fits.GetPath() + "a");
  EXPECT_TRUE(fits.IsTooLong());
}

TEST(PathNameVolume, RootsAreTheDriveOrTheShare) {
  struct Row {
    const char* directory;
    const char* root;
  } const rows[] = {
      {"C:\\Program Files\\Veltrane", "C:\\"},
      {"C:\\", "C:\\"},
      {"d:", "d:\\"},
      {"\\\\server\\share\\Veltrane\\Data", "\\\\server\\share\\"},
      {"\\\\server\\share", "\\\\server\\share\\"},
      {"\\\\server", "\\\\server\\"},
      {"\\Veltrane", ""},
      {"Veltrane", ""},
      {"", ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.root, path_name_detail::VolumeRoot(row.directory)) << row.directory;
  }
}

TEST(PathNameVolume, FreeByteCountsAreCappedToASignedInt) {
  struct Row {
    unsigned long long bytes;
    int reported;
  } const rows[] = {
      {0, 0},
      {4096, 4096},
      {2147483647ull, 2147483647},
      {2147483648ull, 2147483647},
      {4294967295ull, 2147483647},
      {4294967296ull, 2147483647},       // high part set, low part 0
      {4294967296ull + 512, 2147483647},  // high part set, low part small
      {80000000000ull, 2147483647},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.reported, path_name_detail::CapByteCount(row.bytes)) << row.bytes;
  }
}

}  // namespace
