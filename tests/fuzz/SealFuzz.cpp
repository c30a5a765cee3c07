// The kit's seal on damaged copies of the seal mkkit wrote: a seal that is
// read at all holds only plain file names, each once, and renders to a
// text that reads back the same; the kit's files checked against it pass or
// end in the seal's typed error.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "SeedKit.h"
#include "setup/archive/KitSealException.h"
#include "setup/archive/KitSealFile.h"
#include "setup/archive/MediaFileName.h"
#include "FuzzTarget.h"

namespace {

using fuzz::Bytes;

bool SameEntries(const CKitSeal& a, const CKitSeal& b) {
  if (a.GetEntries().size() != b.GetEntries().size() || a.GetMedia() != b.GetMedia()) return false;
  for (std::size_t i = 0; i < a.GetEntries().size(); ++i) {
    const SealEntry& x = a.GetEntries()[i];
    const SealEntry& y = b.GetEntries()[i];
    if (x.diskette != y.diskette || x.name != y.name || x.size != y.size || x.sha256 != y.sha256 ||
        a.HeaderDigest(x) != b.HeaderDigest(y)) {
      return false;
    }
  }
  return true;
}

// Reads one seal text; checks what a seal that was read promises.
fuzz::Outcome ReadSeal(const SeedKit& kit, const Bytes& input) {
  CKitSeal seal;
  if (!seal.Parse(std::string_view(reinterpret_cast<const char*>(input.data()), input.size()))) {
    return fuzz::Outcome::refused;
  }
  for (const SealEntry& e : seal.GetEntries()) {
    fuzz::Check(IsUsableFileName(e.name), "the seal names \"" + e.name + "\"");
    fuzz::Check(seal.Find(e.diskette, e.name) == &e, "the seal lists " + e.name + " twice");
    fuzz::Check(e.diskette >= (seal.GetMedia() == MediaKind::cd ? 0 : 1), "diskette " + std::to_string(e.diskette));
  }
  CKitSeal again;
  fuzz::Check(again.Parse(seal.Render()) && SameEntries(seal, again), "the seal does not read back as rendered");
  // The kit's first folder against it, as the setup program checks it.
  for (const SealEntry& e : seal.GetEntries()) {
    if (e.diskette != 1) continue;
    const CPathName path(kit.Out("DISK01\\" + e.name));
    if (!path.Exists()) continue;
    try {
      CheckSealedFile(seal, 1, path);
    } catch (const CKitSealException&) {
    } catch (const CFileException&) {
    }
  }
  return fuzz::Outcome::taken;
}

TEST(SealFuzz, DamagedSealsAreRefusedOrHoldOnlyPlainNamesOnce) {
  SeedKit kit;
  ASSERT_TRUE(kit.built);
  const Bytes seal = kit.BytesOf("DISK01\\_kitseal.sha");
  ASSERT_FALSE(seal.empty());
  fuzz::Corpus corpus{{seal},
                      {"mkkit seal ", "mkkit seal 1 media=diskettes\r\n", " media=cd", "headers ", std::string(64, 'f'),
                       " 0 ", " 1 ", " 99 ", " -1 ", "18446744073709551616", "..\\", "\\", "/", ":", "CON", "NUL.txt",
                       "com1", "a.", "a ", "\r\n", "\n", "\r", std::string(1, '\0'), "*", "\""},
                      true};
  const fuzz::Options options = TargetOptions("seal");
  const fuzz::Result result = fuzz::Run(corpus, [&](const Bytes& input) { return ReadSeal(kit, input); }, options);
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
}

// The same, read from the file beside the profile as the setup program
// reads it: a file that is no seal gives the seal's typed error.
TEST(SealFuzz, DamagedSealFilesGiveTheSealsTypedError) {
  SeedKit kit;
  ASSERT_TRUE(kit.built);
  const std::string sealPath = kit.Out("DISK01\\_kitseal.sha");
  fuzz::Corpus corpus{{kit.BytesOf("DISK01\\_kitseal.sha")}, {"headers ", "\r\n", std::string(64, '0'), "..\\"}, true};
  const fuzz::Options options = TargetOptions("seal.file", 500);
  const fuzz::Result result = fuzz::Run(
      corpus,
      [&](const Bytes& input) {
        WriteFileBytes(sealPath, input);
        try {
          fuzz::Check(ReadKitSealBeside(CPathName(kit.Out("DISK01\\_setupx.ini"))).has_value(), "no seal read");
          return fuzz::Outcome::taken;
        } catch (const CKitSealException&) {
          return fuzz::Outcome::refused;
        }
      },
      options);
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
}

}  // namespace
