// The read-ahead of the kit's plain files: what the copy takes is the file
// as it lies on the media, whole, with its status and digest, or nothing
// (and the copy reads the file itself); never another file's bytes, a
// file cut short, or a wait that does not end. Then the media reader with
// it, against the seal.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "setup/archive/KitSealException.h"
#include "setup/archive/MediaReader.h"
#include "setup/archive/Sha256.h"
#include "setup/archive/SourceReadAhead.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

std::string Digest(const std::string& bytes) {
  CSha256 sha;
  sha.Update(bytes.data(), bytes.size());
  return sha.FinishHex();
}

std::string Pattern(std::size_t size) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>(i * 7 + i / 251);
  return s;
}

// The kit's folder: small.txt (100 bytes), large.bin (70,000: more than one
// piece of a read), empty.dat (0 bytes).
class ReadAheadTest : public ::testing::Test {
protected:
  ReadAheadTest() {
    for (const auto& [name, bytes] : files) EXPECT_TRUE(WriteFileBytes(dir / name, bytes));
  }

  // What Take gives for name: its bytes, or "none".
  std::string Taken(CSourceReadAhead& ahead, const std::string& name) {
    const std::optional<CReadAheadFile> file = ahead.Take(dir / name);
    if (!file) return "none";
    EXPECT_EQ(dir / name, file->path);
    const std::string bytes(file->bytes.begin(), file->bytes.end());
    EXPECT_EQ(CSealDigest(Digest(bytes)), file->sha256) << name;
    EXPECT_EQ(bytes.size(), file->status.m_size) << name;
    return bytes;
  }

  // The bytes of the kit's file name; "none" for a file not in the kit.
  std::string Bytes(const std::string& name) const {
    for (const auto& [file, bytes] : files) {
      if (file == name) return bytes;
    }
    return "none";
  }

  TempDir dir;
  const std::vector<std::pair<std::string, std::string>> files{
      {"small.txt", Pattern(100)}, {"large.bin", Pattern(70000)}, {"empty.dat", ""}};
};

// A request: a file asked for with a size (-1: its own), or taken.
struct Step {
  enum Kind { want, take } kind;
  const char* name;
  long long size = -1;
  const char* taken = nullptr;  // for take: the file whose bytes come, or "none"
};

struct ReadAheadRow {
  const char* name;
  std::vector<Step> steps;
};

class ReadAheadTableTest : public ReadAheadTest, public ::testing::WithParamInterface<ReadAheadRow> {};

TEST_P(ReadAheadTableTest, GivesTheFileAsItLiesOrNothing) {
  CSourceReadAhead ahead;
  for (const Step& step : GetParam().steps) {
    if (step.kind == Step::want) {
      const std::string bytes = Bytes(step.name);
      const long long size = step.size >= 0 ? step.size : bytes == "none" ? 0 : static_cast<long long>(bytes.size());
      ahead.Want(dir / step.name, static_cast<std::uint64_t>(size));
      continue;
    }
    EXPECT_EQ(Bytes(step.taken), Taken(ahead, step.name)) << "take " << step.name;
  }
}

const ReadAheadRow kReadAheadRows[] = {
    {"EachFileWholeInTheOrderAsked",
     {{Step::want, "small.txt"}, {Step::want, "large.bin"}, {Step::want, "empty.dat"},
      {Step::take, "small.txt", -1, "small.txt"}, {Step::take, "large.bin", -1, "large.bin"},
      {Step::take, "empty.dat", -1, "empty.dat"}}},
    {"AMissingFileIsNotGivenAndTheNextOneIs",
     {{Step::want, "missing.txt", 10}, {Step::want, "small.txt"}, {Step::take, "missing.txt", -1, "none"},
      {Step::take, "small.txt", -1, "small.txt"}}},
    {"AFileOfAnotherSizeThanAskedIsNotGiven",
     {{Step::want, "small.txt", 99}, {Step::take, "small.txt", -1, "none"}}},
    {"AFileNotAskedForIsNotGivenAndLeavesTheOthers",
     {{Step::want, "small.txt"}, {Step::take, "large.bin", -1, "none"}, {Step::take, "small.txt", -1, "small.txt"}}},
    {"TakingALaterFileGivesUpTheEarlierOnes",
     {{Step::want, "small.txt"}, {Step::want, "large.bin"}, {Step::want, "empty.dat"},
      {Step::take, "empty.dat", -1, "empty.dat"}, {Step::take, "small.txt", -1, "none"}}},
    {"AFileAskedForTwiceIsGivenTwice",
     {{Step::want, "small.txt"}, {Step::want, "small.txt"}, {Step::take, "small.txt", -1, "small.txt"},
      {Step::take, "small.txt", -1, "small.txt"}, {Step::take, "small.txt", -1, "none"}}},
    {"AFileLargerThanTheLimitIsNotAskedFor",
     {{Step::want, "large.bin", static_cast<long long>(CSourceReadAhead::kMaxFileSize) + 1},
      {Step::take, "large.bin", -1, "none"}}},
};

INSTANTIATE_TEST_SUITE_P(Requests, ReadAheadTableTest, ::testing::ValuesIn(kReadAheadRows),
                         [](const ::testing::TestParamInfo<ReadAheadRow>& row) { return std::string(row.param.name); });

TEST_F(ReadAheadTest, GivesTheStatusTheFileHasOnTheMedia) {
  ASSERT_TRUE(SetModificationTime(dir / "small.txt", 1000000000u));
  ASSERT_TRUE(::SetFileAttributesA((dir / "small.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  CFileStatus direct;
  ASSERT_TRUE(CFile::GetStatus(dir / "small.txt", direct));
  CSourceReadAhead ahead;
  ahead.Want(dir / "small.txt", 100);
  const std::optional<CReadAheadFile> file = ahead.Take(dir / "small.txt");
  ::SetFileAttributesA((dir / "small.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(file);
  EXPECT_EQ(direct.m_mtime.dwLowDateTime, file->status.m_mtime.dwLowDateTime);
  EXPECT_EQ(direct.m_mtime.dwHighDateTime, file->status.m_mtime.dwHighDateTime);
  EXPECT_EQ(direct.m_attribute, file->status.m_attribute);
}

TEST_F(ReadAheadTest, RunsAheadOnlyWithinItsLimitsAndStopsWithFilesNotTaken) {
  std::optional<CSourceReadAhead> ahead(std::in_place);
  EXPECT_TRUE(ahead->RunsLow());
  for (std::size_t i = 0; i < CSourceReadAhead::kMaxFiles; ++i) {
    ASSERT_TRUE(ahead->HasRoomFor(100)) << i;
    ahead->Want(dir / "small.txt", 100);
  }
  EXPECT_FALSE(ahead->HasRoomFor(100));
  EXPECT_FALSE(ahead->RunsLow());
  EXPECT_EQ(Pattern(100), Taken(*ahead, "small.txt"));
  EXPECT_TRUE(ahead->HasRoomFor(100));
  ahead->GiveUp();
  EXPECT_TRUE(ahead->RunsLow());
  EXPECT_EQ("none", Taken(*ahead, "small.txt"));
  // Bytes count as well as files.
  for (int i = 0; i < 3; ++i) ahead->Want(dir / "large.bin", CSourceReadAhead::kMaxFileSize);
  EXPECT_FALSE(ahead->RunsLow());
  // Ends while requests are waiting: the thread stops after the one it reads.
  for (int i = 0; i < 8; ++i) ahead->Want(dir / "small.txt", 100);
  ahead.reset();
}

// A few buffers serve every file: each file's buffer given back holds a file
// read later, whole and nothing else (a file shorter than the one before it
// in the buffer, an empty one). The media reader gives back what it took.
TEST_F(ReadAheadTest, ReadsTheNextFilesIntoTheBuffersGivenBack) {
  CSourceReadAhead ahead;
  ahead.Want(dir / "large.bin", 70000);
  std::optional<CReadAheadFile> large = ahead.Take(dir / "large.bin");
  ASSERT_TRUE(large);
  large->bytes.resize(CSourceReadAhead::kSpareBytes);  // a buffer no larger than a spare
  large->bytes.shrink_to_fit();
  const std::uint8_t* const buffer = large->bytes.data();
  ahead.GiveBack(std::move(large->bytes));
  for (const std::string name : {"small.txt", "empty.dat", "small.txt"}) {
    ahead.Want(dir / name, Bytes(name).size());
    std::optional<CReadAheadFile> file = ahead.Take(dir / name);
    ASSERT_TRUE(file) << name;
    EXPECT_EQ(buffer, file->bytes.data()) << name << " is read into the buffer given back";
    EXPECT_EQ(Bytes(name), std::string(file->bytes.begin(), file->bytes.end())) << name;
    ahead.GiveBack(std::move(file->bytes));
  }
  {
    CSourceMedia media(CPathName(dir.path() + "\\"));
    ahead.Want(dir / "small.txt", 100);
    CMediaReader plain(media, "small.txt");
    plain.OpenPlainFile(&ahead);
    char first = 0;
    EXPECT_EQ(1u, plain.Read(&first, 1));
    EXPECT_EQ(Pattern(100)[0], first);
    plain.Abort();
  }
  ahead.Want(dir / "small.txt", 100);
  const std::optional<CReadAheadFile> after = ahead.Take(dir / "small.txt");
  ASSERT_TRUE(after);
  EXPECT_EQ(buffer, after->bytes.data()) << "the media reader gives back the buffer it took";
}

// The media reader takes a plain file from the read-ahead, and the seal
// still decides: a file changed on the media after the kit was sealed is
// refused as it is when the reader reads it itself (SealedMediaTest).
struct SealedPlainRow {
  const char* name;
  std::string onMedia;  // the file's bytes when it is read
  int sealCode;         // 0: the copy is the file
};

class SealedPlainFileTest : public ::testing::TestWithParam<SealedPlainRow> {};

TEST_P(SealedPlainFileTest, IsCopiedOnlyAsTheSealHasIt) {
  const SealedPlainRow& row = GetParam();
  const std::string sealed = Pattern(5000);
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir / "readme.txt", row.onMedia));
  CKitSeal seal(MediaKind::flat);
  seal.Add(SealEntry{"readme.txt", sealed.size(), Digest(sealed), 1});
  CSourceMedia media(CPathName(dir.path() + "\\"));
  media.SetSeal(seal);
  CSourceReadAhead ahead;
  ahead.Want(dir / "readme.txt", sealed.size());
  int code = 0;
  try {
    CMediaReader plain(media, "readme.txt");
    plain.OpenPlainFile(&ahead);
    EXPECT_EQ(row.onMedia.size(), plain.GetLength());
    EXPECT_EQ(row.onMedia.size(), plain.GetPlainFileStatus().m_size);
    CArchiveMember copy;
    copy.GetHeader().SetMethod(2);
    copy.GetHeader().SetSize(static_cast<std::uint32_t>(sealed.size()));
    copy.GetHeader().SetCompressedSize(static_cast<std::uint32_t>(sealed.size()));
    copy.SetOutputPath(CPathName(dir / "copy.txt"));
    plain.Extract(copy);
    EXPECT_EQ(sealed, ReadFileBytes(dir / "copy.txt"));
  } catch (const CKitSealException& e) {
    code = e.GetErrorCode();
  }
  EXPECT_EQ(row.sealCode, code);
}

std::string Flipped(std::string s) {
  s[4321] ^= 0x01;
  return s;
}

const SealedPlainRow kSealedPlainRows[] = {
    {"Intact", Pattern(5000), 0},
    {"ByteFlipped", Flipped(Pattern(5000)), CKitSealException::fileDamaged},
    // Not read ahead (another size than asked), so read and refused by the reader.
    {"CutShort", Pattern(4999), CKitSealException::fileDamaged},
};

INSTANTIATE_TEST_SUITE_P(Media, SealedPlainFileTest, ::testing::ValuesIn(kSealedPlainRows),
                         [](const ::testing::TestParamInfo<SealedPlainRow>& row) { return std::string(row.param.name); });

}  // namespace
