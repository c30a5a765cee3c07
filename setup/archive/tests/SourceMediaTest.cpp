#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "setup/archive/KitMedia.h"
#include "setup/archive/SourceMedia.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

class RecordingMedia : public CSourceMedia {
public:
  using CSourceMedia::CSourceMedia;
  std::vector<std::string> prompts;
  std::string insert;  // the directory the "user" points to, if any

protected:
  bool PromptForDiskette(const CPathName& expected, int n) override {
    prompts.push_back(expected.GetPath() + "#" + std::to_string(n));
    if (insert.empty()) return false;
    SetSourceDir(insert);
    return GetSourcePath(expected.GetFileName()).Exists();
  }
};

}  // namespace

TEST(SourceMedia, FindsFilesInTheSourceDirectoryThenInTheNumberedSibling) {
  TempDir dir;
  for (const char* d : {"DISK01", "DISK03", "SET00", "SET01", "DISK1", "other"}) ::CreateDirectoryA((dir / d).c_str(), nullptr);
  for (const char* f : {"DISK01\\a.txt", "DISK03\\c.txt", "SET01\\y.txt", "other\\o.txt"})
    WriteFileBytes(dir / f, "x");

  RecordingMedia media;
  media.SetSourceDir(dir / "DISK01");
  EXPECT_TRUE(media.LocateSourceFile("a.txt", 1));
  EXPECT_EQ(dir / "DISK01\\", media.GetSourceDir().GetPath());
  EXPECT_TRUE(media.LocateSourceFile("c.txt", 3));
  EXPECT_EQ(dir / "DISK03\\", media.GetSourceDir().GetPath());
  EXPECT_TRUE(media.LocateSourceFile("a.txt", 1));  // and back, by the same rule
  EXPECT_TRUE(media.prompts.empty());

  // Not numbered: a directory ending in 00. DISK1 is (as the kit builder
  // names diskettes), but no DISK3 stands beside it. The file is asked for
  // instead.
  media.SetSourceDir(dir / "SET00");
  EXPECT_FALSE(media.LocateSourceFile("y.txt", 1));
  media.SetSourceDir(dir / "DISK1");
  EXPECT_FALSE(media.LocateSourceFile("c.txt", 3));
  ASSERT_EQ(2u, media.prompts.size());
  EXPECT_EQ(dir / "SET00\\y.txt#1", media.prompts[0]);
  EXPECT_EQ(dir / "DISK1\\c.txt#3", media.prompts[1]);

  // The prompt may point elsewhere; that directory then stays the source.
  media.insert = dir / "other";
  EXPECT_TRUE(media.LocateSourceFile("o.txt", 2));
  EXPECT_EQ(dir / "other\\", media.GetSourceDir().GetPath());
}

TEST(SourceMedia, TheDisketteFolderBesideIsNamedByTheKitBuildersRule) {
  const struct {
    const char* folder;
    int diskette;
    const char* sibling;
  } rows[] = {
      {"DISK01", 3, "DISK03"}, {"disk1", 3, "disk3"},     {"disk1", 12, "disk12"},  {"DISK09", 10, "DISK10"},
      {"SET01", 2, "SET02"},   {"Velt 2", 3, "Velt 3"},   {"DISK001", 2, "DISK002"}, {"SET00", 1, ""},
      {"DISK", 1, ""},         {"12", 1, ""},             {"", 1, ""},               {"disk1x", 2, ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.sibling, SiblingDisketteFolder(row.folder, row.diskette)) << row.folder << " " << row.diskette;
  }
  // The folders the kit builder names are the ones the search finds.
  for (const MediaKind kind : {MediaKind::diskettes, MediaKind::cd}) {
    for (int n = 1; n <= 12; ++n) {
      EXPECT_EQ(DisketteFolderName(kind, n), SiblingDisketteFolder(DisketteFolderName(kind, 1), n))
          << MediaKindName(kind) << " " << n;
    }
  }
  EXPECT_EQ("disk2", DisketteFolderName(MediaKind::diskettes, 2));
  EXPECT_EQ("DISK02", DisketteFolderName(MediaKind::cd, 2));

  // A kit whose diskettes were copied side by side.
  TempDir dir;
  for (const char* d : {"disk1", "disk2"}) ::CreateDirectoryA((dir / d).c_str(), nullptr);
  WriteFileBytes(dir / "disk2\\b.txt", "x");
  RecordingMedia media;
  media.SetSourceDir(dir / "disk1");
  EXPECT_TRUE(media.LocateSourceFile("b.txt", 2));
  EXPECT_EQ(dir / "disk2\\", media.GetSourceDir().GetPath());
  EXPECT_TRUE(media.prompts.empty());
}

TEST(SourceMedia, WorksOnTheDirectoryItIsGivenAndTriesNoSiblingOfARoot) {
  TempDir dir;
  for (const char* d : {"DISK01", "DISK02"}) ::CreateDirectoryA((dir / d).c_str(), nullptr);
  WriteFileBytes(dir / "DISK02\\b.txt", "x");

  // The owner's directory follows every change the media makes.
  CPathName sourceDir(dir / "DISK01\\");
  RecordingMedia media{std::ref(sourceDir)};
  EXPECT_TRUE(media.LocateSourceFile("b.txt", 2));
  EXPECT_EQ(dir / "DISK02\\", sourceDir.GetPath());
  media.insert = dir / "DISK01";
  EXPECT_FALSE(media.LocateSourceFile("c.txt", 3)) << "nowhere; the prompt points to DISK01";
  EXPECT_EQ(dir / "DISK01\\", sourceDir.GetPath());

  // A root has no directory part: straight to the prompt.
  RecordingMedia root{CPathName("A:\\")};
  EXPECT_FALSE(root.LocateSourceFile("b.txt", 2));
  ASSERT_EQ(1u, root.prompts.size());
  EXPECT_EQ("A:\\b.txt#2", root.prompts[0]);
}
