#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "setup/archive/MediaReader.h"
#include "setup/archive/MediaFileName.h"
#include "setup/archive/MultiFileException.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

using archive_bytes::Member;

// Diskettes as folders diska, diskb, ...; "inserting" diskette n points the
// source directory at folder n, as the user would by changing diskettes.
// The names hold no number: side by side as disk1, disk2, the media would
// find each next diskette without asking.
class DisketteDrive : public CSourceMedia {
public:
  explicit DisketteDrive(const TempDir& dir) : dir_(dir) { SetSourceDir(dir / Folder(1)); }
  static std::string Folder(int n) { return std::string("disk") + static_cast<char>('a' + n - 1); }
  std::vector<int> asked;
  bool refuse = false;

protected:
  bool PromptForDiskette(const CPathName& expected, int n) override {
    asked.push_back(n);
    if (refuse) return false;
    SetSourceDir(dir_ / Folder(n));
    return GetSourcePath(expected.GetFileName()).Exists();
  }

private:
  const TempDir& dir_;
};

std::string Data(std::size_t size, unsigned seed) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7 + seed * 13 + (i >> 5)) & 0xFF);
  return s;
}

class FileEntryTest : public ::testing::Test {
protected:
  FileEntryTest() { ::CreateDirectoryA(out.c_str(), nullptr); }

  // Puts part i of the archive into folder folders[i] under the names the
  // reader derives from the first name.
  void Lay(const std::vector<archive_bytes::Bytes>& parts, const std::vector<std::string>& folders,
           std::string name = "velt.ar1") {
    for (std::size_t i = 0; i < parts.size(); ++i) {
      ::CreateDirectoryA((dir / folders[i]).c_str(), nullptr);
      WriteFileBytes(dir / (folders[i] + "\\" + name), parts[i]);
      name = NextPartName(name);
    }
  }

  std::vector<std::string> ExtractAll(CMediaReader& entry) {
    entry.OpenArchive(entry.GetSourcePath());
    auto member = entry.CreateMemberFile();
    std::vector<std::string> names;
    while (entry.NextEntry(*member)) {
      if (member->GetHeader().GetDestination() == -1) continue;
      names.push_back(FileNamePart(member->GetMemberName()));
      member->SetOutputPath(CPathName(out + "\\" + names.back()));
      entry.Extract(*member);
    }
    return names;
  }

  TempDir dir;
  std::string out = dir / "out";
};

}  // namespace

TEST_F(FileEntryTest, AMemberSpanningThreeDiskettesIsReadAcrossThem) {
  Member a{"a.dat", Data(3000, 1), 2};
  Member b{"b.dat", Data(20000, 2), 2};  // stored, so the cuts fall where we say
  Member c{"c.dat", Data(100, 3), 2};
  a.continued = 0;
  b.continued = 1;
  const auto archive = archive_bytes::Archive({a, b, c});
  // b's data starts at 346 + 3000 + 346 and is cut twice.
  const std::size_t bStart = 346 + 3000 + 346;
  Lay(archive_bytes::Split(archive, {bStart + 5000, bStart + 15000}), {DisketteDrive::Folder(1), DisketteDrive::Folder(2), DisketteDrive::Folder(3)});

  DisketteDrive drive(dir);
  int ticks = 0;
  CMediaReader entry(drive, "velt.ar1", 1, [&] { ++ticks; });
  EXPECT_EQ((std::vector<std::string>{"a.dat", "b.dat", "c.dat"}), ExtractAll(entry));
  EXPECT_EQ(b.data, ReadFileBytes(out + "\\b.dat"));
  EXPECT_EQ(c.data, ReadFileBytes(out + "\\c.dat"));
  EXPECT_EQ(3, entry.GetDisketteNumber());
  EXPECT_EQ((std::vector<int>{2, 3}), drive.asked);
  EXPECT_EQ("velt.ar3", entry.GetPathName().GetFileName());
  EXPECT_EQ(static_cast<int>((3000 + 20000 + 100) / 4096), ticks);
}

TEST_F(FileEntryTest, PartsMayEndRightAfterAHeaderOrOneByteBeforeTheDataEnds) {
  Member a{"a.dat", Data(700, 4), 2};
  Member b{"b.dat", Data(900, 5)};  // deflate
  a.continued = 1;
  b.continued = 1;
  archive_bytes::Bytes archive = archive_bytes::Archive({a, b});
  const std::size_t bData = 346 + 700 + 346;
  const std::size_t bSize = archive.size() - 8 - bData;
  // Part 1 ends right after a's header, part 2 one byte before the end of
  // b's data; the CD layout finds every part in its numbered directory.
  Lay(archive_bytes::Split(archive, {346, bData + bSize - 1}), {"DISK01", "DISK02", "DISK03"});
  CSourceMedia cd;
  cd.SetSourceDir(dir / "DISK01");
  CMediaReader entry(cd, "velt.ar1", 1);
  EXPECT_EQ((std::vector<std::string>{"a.dat", "b.dat"}), ExtractAll(entry));
  EXPECT_EQ(a.data, ReadFileBytes(out + "\\a.dat"));
  EXPECT_EQ(b.data, ReadFileBytes(out + "\\b.dat"));
  EXPECT_EQ(dir / "DISK03\\", cd.GetSourceDir().GetPath());
}

TEST_F(FileEntryTest, AMissingOrUnnamablePartEndsTheRead) {
  Member a{"a.dat", Data(5000, 6), 2};
  a.continued = 1;
  const auto parts = archive_bytes::Split(archive_bytes::Archive({a}), {2000});

  // The user gives up at the diskette prompt.
  Lay({parts[0]}, {DisketteDrive::Folder(1)});
  DisketteDrive drive(dir);
  drive.refuse = true;
  CMediaReader entry(drive, "velt.ar1", 1);
  EXPECT_THROW(ExtractAll(entry), CUserException);
  EXPECT_EQ((std::vector<int>{2}), drive.asked);

  // The next part would need a name ending in ':'.
  Lay({parts[0]}, {DisketteDrive::Folder(1)}, "velt.ar9");
  DisketteDrive drive9(dir);
  CMediaReader entry9(drive9, "velt.ar9", 1);
  try {
    ExtractAll(entry9);
    FAIL() << "nothing thrown";
  } catch (CMultiFileException& e) {
    EXPECT_EQ(CMultiFileException::corruptTable, e.GetErrorCode());
  }

  // A next part that is not an archive part.
  Lay({parts[0], archive_bytes::Bytes{'n', 'o', 'p', 'e', 0, 0, 0, 0, 1}}, {DisketteDrive::Folder(1), DisketteDrive::Folder(2)});
  DisketteDrive drive2(dir);
  CMediaReader entry2(drive2, "velt.ar1", 1);
  try {
    ExtractAll(entry2);
    FAIL() << "nothing thrown";
  } catch (CMultiFileException& e) {
    EXPECT_EQ(CMultiFileException::notAnArchive, e.GetErrorCode());
  }
}
