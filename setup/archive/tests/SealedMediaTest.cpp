// The media reader against the kit's seal: a multi-part archive whose
// member's data crosses two part boundaries, and a plain file, each read
// intact and then damaged in one way. The header digests the seal carries
// are worked out here from the parts as the test cut them, not by the
// walk under test.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "setup/archive/KitSeal.h"
#include "setup/archive/KitSealException.h"
#include "setup/archive/MediaFileName.h"
#include "setup/archive/MediaReader.h"
#include "setup/archive/Sha256.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"

namespace {

using archive_bytes::Bytes;
using archive_bytes::Member;

std::string Digest(const std::string& bytes) {
  CSha256 sha;
  sha.Update(bytes.data(), bytes.size());
  return sha.FinishHex();
}
std::string Digest(const Bytes& bytes) { return Digest(std::string(bytes.begin(), bytes.end())); }

std::string Noise(std::size_t size, unsigned seed) {
  std::string s(size, '\0');
  for (char& c : s) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 16);
  }
  return s;
}

// What a damage does to the kit: the seal and the files as the reader
// will find them.
struct Kit {
  CKitSeal seal;
  std::vector<std::pair<std::string, Bytes>> files;
  Bytes& File(const std::string& name) {
    for (auto& [n, bytes] : files) {
      if (n == name) return bytes;
    }
    throw std::runtime_error("no file " + name);
  }
};

struct SealRow {
  const char* name;
  std::function<void(Kit&)> damage;
  // The members extracted before the read stops, and how it stops (0: it
  // does not; else the CKitSealException code).
  std::vector<std::string> extracted;
  int sealCode;
};

class SealedMediaTest : public ::testing::TestWithParam<SealRow> {
protected:
  // Three members; the second, stored, is larger than a part, so its data
  // runs from the first part through the whole second into the third.
  // Part 1: header 1, data 1, header 2, the start of data 2. Part 2: data 2
  // only. Part 3: the end of data 2, header 3, data 3.
  Kit MakeKit() {
    Member first{"first.txt", std::string(3000, 'x'), 2};
    Member spanning{"spanning.bin", Noise(50000, 3), 2};
    spanning.continued = 1;
    Member last{"last.txt", "the last member\r\n", 2};
    const Bytes whole = archive_bytes::Archive({first, spanning, last});
    // The stream after the part header: header 1 and its data, header 2,
    // then 50,000 bytes of data 2.
    const std::size_t data1 = first.data.size();
    const std::size_t data2At = 346 + data1 + 346;
    std::vector<Bytes> parts = archive_bytes::Split(whole, {data2At + 10000, data2At + 30000});
    // The continued flag belongs to the member whose data goes on; the
    // last member's header in part 3 follows the end of data 2 there.
    Kit kit;
    kit.seal = CKitSeal(MediaKind::flat);
    const auto header = [&](std::size_t at) { return std::string(whole.begin() + 8 + at, whole.begin() + 8 + at + 346); };
    const std::string headers1 = header(0) + header(346 + data1);
    const std::string headers3 = header(data2At + 50000);
    const std::string partDigests[] = {Digest(headers1), Digest(std::string()), Digest(headers3)};
    for (int i = 0; i < 3; ++i) {
      const std::string name = std::string("test.ar") + char('1' + i);
      kit.seal.Add(SealEntry{name, parts[i].size(), Digest(parts[i]), i + 1}, partDigests[i]);
      kit.files.emplace_back(name, parts[i]);
    }
    const Bytes plain(plainText.begin(), plainText.end());
    kit.seal.Add(SealEntry{"readme.txt", plain.size(), Digest(plain), 1});
    kit.files.emplace_back("readme.txt", plain);
    return kit;
  }

  // Reads the archive as the copy engine does, then the plain file;
  // returns the names extracted until the read stopped, and the seal's
  // complaint (0 when none).
  std::vector<std::string> ReadKit(Kit& kit, int& sealCode) {
    ::CreateDirectoryA(out.c_str(), nullptr);
    for (const auto& [name, bytes] : kit.files) WriteFileBytes(dir / name, bytes);
    CSourceMedia media(CPathName(dir.path() + "\\"));
    media.SetSeal(kit.seal);
    std::vector<std::string> names;
    sealCode = 0;
    try {
      CMediaReader archive(media, "test.ar1");
      archive.OpenArchive(archive.GetSourcePath());
      auto member = archive.CreateMemberFile();
      while (archive.NextEntry(*member)) {
        const std::string name = FileNamePart(member->GetMemberName());
        member->SetOutputPath(CPathName(out + "\\" + name));
        archive.Extract(*member);
        EXPECT_EQ(ReadFileBytes(out + "\\" + name).size(), member->GetHeader().GetSize()) << name;
        names.push_back(name);
      }
      CMediaReader plain(media, "readme.txt");
      plain.OpenPlainFile();
      CArchiveMember copy;
      copy.GetHeader().SetMethod(2);
      copy.GetHeader().SetSize(static_cast<std::uint32_t>(plainText.size()));
      copy.GetHeader().SetCompressedSize(static_cast<std::uint32_t>(plainText.size()));
      copy.SetOutputPath(CPathName(out + "\\readme.txt"));
      plain.Extract(copy);
      names.push_back("readme.txt");
    } catch (const CKitSealException& e) {
      sealCode = e.GetErrorCode();
    }
    return names;
  }

  TempDir dir;
  std::string out = dir / "out";
  const std::string plainText = "Read me before you install.\r\n";
};

const std::vector<std::string> kAll{"first.txt", "spanning.bin", "last.txt", "readme.txt"};

const SealRow kRows[] = {
    {"IntactKit", [](Kit&) {}, kAll, 0},
    {"SecondMemberHeaderDestinationChanged",
     // Part 1: its part header, header 1, the 3,000 bytes of data 1, header 2.
     [](Kit& k) { archive_bytes::Put16(k.File("test.ar1"), 8 + 346 + 3000 + 300, static_cast<std::uint16_t>(-2)); },
     {}, CKitSealException::headersDamaged},
    {"LastMemberHeaderInTheThirdPartChanged",
     [](Kit& k) {
       Bytes& part = k.File("test.ar3");
       // Part 3: its part header, then the 20,000 bytes of data 2 left for it.
       archive_bytes::Put16(part, 8 + 20000 + 300, static_cast<std::uint16_t>(-2));
     },
     {"first.txt"}, CKitSealException::headersDamaged},
    {"MiddlePartCutShort", [](Kit& k) { k.File("test.ar2").resize(5000); }, {"first.txt"},
     CKitSealException::fileDamaged},
    {"PartTheSealDoesNotList",
     [](Kit& k) {
       CKitSeal fewer(MediaKind::flat);
       for (const SealEntry& e : k.seal.GetEntries()) {
         if (e.name != "test.ar2") fewer.Add(e, k.seal.HeaderDigest(e));
       }
       k.seal = fewer;
     },
     {"first.txt"}, CKitSealException::fileUnlisted},
    {"PlainFileWithAByteFlipped", [](Kit& k) { k.File("readme.txt")[3] ^= 0x20; }, {"first.txt", "spanning.bin", "last.txt"},
     CKitSealException::fileDamaged},
    {"PlainFileCutShort", [](Kit& k) { k.File("readme.txt").pop_back(); }, {"first.txt", "spanning.bin", "last.txt"},
     CKitSealException::fileDamaged},
};

TEST_P(SealedMediaTest, ExtractsNothingFromAFileThatDiffersFromTheSeal) {
  Kit kit = MakeKit();
  GetParam().damage(kit);
  int code = -1;
  EXPECT_EQ(GetParam().extracted, ReadKit(kit, code));
  EXPECT_EQ(GetParam().sealCode, code);
}

INSTANTIATE_TEST_SUITE_P(Kits, SealedMediaTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<SealRow>& row) { return std::string(row.param.name); });

}  // namespace
