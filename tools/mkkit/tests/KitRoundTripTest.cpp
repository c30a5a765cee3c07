#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KitTestSupport.h"
#include "setup/profile/FileEntry.h"
#include "setup/transfer/MediaFileName.h"
#include "tools/mkkit/KitException.h"

namespace {

class KitRoundTrip : public ::testing::Test, public KitFolder {
protected:
  // Reads every member of the archive name that starts on diskette 1 of the
  // kit, as the setup program does; returns the member names and the number
  // of the diskette the last part was on.
  std::pair<std::vector<std::string>, int> ReadArchive(MediaKind kind, const std::string& name) {
    class Drive : public CSourceMedia {
    public:
      Drive(std::string root, MediaKind kind) : root_(std::move(root)), kind_(kind) {}

    protected:
      bool PromptForDiskette(const CPathName& expected, int n) override {
        SetSourceDir(CKitBuilder::DisketteFolder(root_, kind_, n));
        return GetSourcePath(expected.GetFileName()).Exists();
      }

    private:
      std::string root_;
      MediaKind kind_;
    } drive(dir / "out", kind);
    drive.SetSourceDir(CKitBuilder::DisketteFolder(dir / "out", kind, 1));
    CFileEntry entry(drive, name, 1);
    entry.OpenArchive(entry.GetSourcePath());
    auto member = entry.CreateMemberFile();
    std::vector<std::string> names;
    ::CreateDirectoryA((dir / "x").c_str(), nullptr);
    while (entry.NextEntry(*member)) {
      names.push_back(member->GetMemberName());
      member->SetOutputPath(CPathName(dir / ("x\\" + FileNamePart(member->GetMemberName()))));
      entry.Extract(*member);
    }
    return {names, entry.GetDisketteNumber()};
  }
};

}  // namespace

TEST_F(KitRoundTrip, EveryMediaKindBuildsAndReadsBack) {
  Source("prog.exe", NoiseOf(9000, 1));
  Source("empty.txt", "");
  Source("big.dat", NoiseOf(30000, 2));  // spans three diskettes of 12 KiB
  Source("read.me", TextOf(4000, 'r'));
  Source("shared.dll", TextOf(20000, 's'));
  const std::string files =
      "[files.Main]\r\nprog.exe=src\\prog.exe|0\r\nread.me=src\\read.me|0|main.ar1\r\n"
      "empty.txt=src\\empty.txt|0|main.ar1\r\nbig.dat=src\\big.dat|1|main.ar1\r\nempty2.txt=src\\empty.txt|-1|main.ar1\r\n"
      "[files.More]\r\nshared.dll=src\\shared.dll|-3|more.ar1\r\n";
  for (MediaKind kind : {MediaKind::diskettes, MediaKind::cd, MediaKind::flat}) {
    SCOPED_TRACE(MediaKindName(kind));
    CKitDescription d = Load(Description("capacity=12288\r\n", files));
    d.media = kind;
    ASSERT_EQ(kExitOk, Build(d));
    EXPECT_EQ(kExitOk, Verify(&d));
    const auto [names, lastDiskette] = ReadArchive(kind, "main.ar1");
    EXPECT_EQ((std::vector<std::string>{"read.me", "empty.txt", "big.dat", "empty2.txt"}), names);
    EXPECT_EQ(Read(dir / "src\\big.dat"), Read(dir / "x\\big.dat"));
    EXPECT_EQ("", Read(dir / "x\\empty.txt"));
    EXPECT_EQ(kind == MediaKind::flat ? 1 : 4, lastDiskette);  // 1: setup, prog.exe, start; 2, 3, 4
    if (kind == MediaKind::diskettes) {
      // The spanning archive is listed as marked, so that it is read after
      // the other files of its first diskette.
      const std::string profile = Read(dir / "out\\disk1\\_setupx.ini");
      EXPECT_NE(std::string::npos, profile.find("main.ar1=34000|1|4|-1|0|")) << profile;
      EXPECT_NE(std::string::npos, profile.find("prog.exe=9000|0|1|1|0|")) << profile;
    }
  }
}

TEST_F(KitRoundTrip, PartBoundariesNearMemberBoundaries) {
  // Stored members, so that sizes on the media are known exactly: a (3000
  // bytes), b (5000), an empty c, d (2000). The first diskette holds the
  // setup program (100 bytes), the profile's room (2048) and the archive's
  // first part, which would end at offset `end` of the archive's entries.
  Source("a", TextOf(3000, 'a'));
  Source("b", TextOf(5000, 'b'));
  Source("c", "");
  Source("d", TextOf(2000, 'd'));
  const std::string files =
      "[files.Main]\r\na=src\\a|0|set.ar1\r\nb=src\\b|0|set.ar1\r\nc=src\\c|0|set.ar1\r\nd=src\\d|0|set.ar1\r\n";
  const std::int64_t aEnd = 346 + 3000, bEnd = aEnd + 346 + 5000;
  std::vector<std::int64_t> ends;
  for (std::int64_t shift : {-347, -346, -345, -1, 0, 1, 345, 346, 347}) ends.push_back(aEnd + shift);
  for (std::int64_t shift : {-1, 0, 1, 346, 347, 692, 693}) ends.push_back(bEnd + shift);
  for (std::int64_t end : ends) {
    SCOPED_TRACE("first part ends at " + std::to_string(end));
    const std::uint64_t capacity = 100 + 2048 + 8 + end;
    CKitDescription d = Load(Description("cluster=1\r\nmethod=stored\r\ncapacity=" + std::to_string(capacity) + "\r\n", files));
    ASSERT_EQ(kExitOk, Build(d));
    EXPECT_EQ(kExitOk, Verify(&d));
  }
}

TEST_F(KitRoundTrip, TheSameInputsGiveTheSameBytes) {
  Source("one.txt", TextOf(7000, '1'));
  Source("two.bin", NoiseOf(15000, 2));
  const std::string path = Description("capacity=10240\r\n",
                                       "[files.Main]\r\none.txt=src\\one.txt|0|k.ar1\r\ntwo.bin=src\\two.bin|1|k.ar1\r\n");
  const CKitDescription d = Load(path);
  ASSERT_EQ(kExitOk, Build(d, "first"));
  ASSERT_EQ(kExitOk, Build(d, "second"));
  for (const char* file : {"disk1\\_setupx.ini", "disk1\\_setupx.exe", "disk1\\k.ar1", "disk2\\k.ar2"}) {
    const std::string a = Read(dir / ("first\\" + std::string(file)));
    EXPECT_FALSE(a.empty()) << file;
    EXPECT_EQ(a, Read(dir / ("second\\" + std::string(file)))) << file;
  }
}

TEST_F(KitRoundTrip, VerifyNamesTheFirstProblem) {
  Source("plain.txt", TextOf(3000, 'p'));
  Source("m1.txt", TextOf(6000, 'm'));
  Source("m2.bin", NoiseOf(3000, 3));
  const CKitDescription d = Load(Description(
      "capacity=8192\r\n",
      "[files.Main]\r\nplain.txt=src\\plain.txt|0\r\nm1.txt=src\\m1.txt|0|v.ar1\r\nm2.bin=src\\m2.bin|1|v.ar1\r\n"));
  ASSERT_EQ(kExitOk, Build(d));
  ASSERT_EQ(kExitOk, Verify(&d));
  const std::string ar1 = dir / "out\\disk1\\v.ar1";
  const std::string ar2 = dir / "out\\disk2\\v.ar2";
  const std::uint64_t ar2Size = Read(ar2).size();
  const struct {
    std::string file;
    std::uint64_t offset;
    bool withDescription;
    const char* message;
  } rows[] = {
      {ar1, 0, false, "File is not an archive file."},
      {ar1, 8 + 2, false, "Archive file damaged (missing entry header)."},
      {ar1, 8 + 346 + 1, false, "Archive file damaged (data error)."},
      {ar1, 8 + 284, false, "Archive file damaged (CRC Mismatch)"},
      {ar1, 8 + 292, false, "Unknown compression method."},
      {ar1, 8 + 16, true, "not in the description"},  // a member name only the description knows
      {ar2, 3, false, "File is not an archive file."},
      {ar2, ar2Size - 1, false, "m2.bin"},       // stored data: the checksum catches it
      {dir / "out\\disk1\\plain.txt", 100, true, "plain.txt differs from its source"},
      {dir / "out\\disk1\\_setupx.ini", 40, true, "[destinations] 1 is \"Dat;|0|\"; the description says \"Data|0|\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file + " @" + std::to_string(row.offset));
    std::string bytes = Read(row.file);
    ASSERT_LT(row.offset, bytes.size());
    const std::string original = bytes;
    bytes[row.offset] = static_cast<char>(bytes[row.offset] ^ 0x5A);
    WriteFileBytes(row.file, bytes);
    try {
      Verify(row.withDescription ? &d : nullptr);
      ADD_FAILURE() << "the damage went unnoticed";
    } catch (CKitException& e) {
      EXPECT_EQ(kExitVerifyFailed, e.GetExitCode());
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find(row.message)) << e.GetErrorMessage();
    }
    WriteFileBytes(row.file, original);
  }
  // A missing part, and a kit without its setup program.
  ::MoveFileA(ar2.c_str(), (ar2 + ".x").c_str());
  EXPECT_THROW(Verify(nullptr), CKitException);
  ::MoveFileA((ar2 + ".x").c_str(), ar2.c_str());
  ::DeleteFileA((dir / "out\\disk1\\_setupx.exe").c_str());
  try {
    Verify(nullptr);
    ADD_FAILURE() << "a kit without its setup program passed";
  } catch (CKitException& e) {
    EXPECT_NE(std::string::npos, e.GetErrorMessage().find("_setupx.exe is missing"));
  }
  KitVerifyOptions lenient;
  lenient.allowMissingSetup = true;
  EXPECT_EQ(kExitIncomplete, CKitVerifier(dir / "out", lenient).Verify());
}

TEST_F(KitRoundTrip, MissingSetupProgramIsAnErrorUnlessAllowed) {
  Source("f.txt", "f");
  const CKitDescription d =
      Load(Description("setup=src\\nothere.exe\r\n", "[files.Main]\r\nf.txt=src\\f.txt|0\r\n"));
  try {
    Build(d);
    ADD_FAILURE() << "built without the setup program";
  } catch (CKitException& e) {
    EXPECT_EQ(kExitBadInput, e.GetExitCode());
    EXPECT_NE(std::string::npos, e.GetErrorMessage().find("nothere.exe is missing"));
  }
  KitBuildOptions options;
  options.outputDir = dir / "out";
  options.allowMissingSetup = true;
  EXPECT_EQ(kExitIncomplete, CKitBuilder(d, options).Build());
}
