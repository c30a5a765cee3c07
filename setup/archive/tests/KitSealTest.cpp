// The kit's seal as text: what mkkit writes reads back the same, and a
// seal that is not one, or that would lead the setup program outside the
// kit's folders, is refused as a whole.
#include <gtest/gtest.h>

#include <string>

#include "setup/archive/KitSeal.h"

namespace {

const std::string kDigestA(64, 'a');
const std::string kDigestB(64, 'b');
const std::string kDigestC(64, 'c');

TEST(KitSeal, ReadsBackWhatItWritesAndFindsFilesAsWindowsNamesThem) {
  CKitSeal written(MediaKind::cd);
  written.Add(SealEntry{"autorun.inf", 40, kDigestA, 0});
  written.Add(SealEntry{"_setupx.ini", 1200, kDigestB, 1});
  written.Add(SealEntry{"velt.ar1", 1457664, kDigestC, 1}, kDigestA);
  written.Add(SealEntry{"velt.ar2", 1000, kDigestA, 2}, kDigestB);
  const std::string text = written.Render();
  EXPECT_EQ(0u, text.find("mkkit seal 2 media=cd\r\n"));
  EXPECT_NE(std::string::npos, text.find("headers " + kDigestB + " 2 velt.ar2\r\n"));

  CKitSeal read;
  ASSERT_TRUE(read.Parse(text));
  EXPECT_EQ(text, read.Render());
  EXPECT_TRUE(read.CoversEntryHeaders());
  const SealEntry* part = read.Find(1, "VELT.AR1");
  ASSERT_NE(nullptr, part);
  EXPECT_EQ(1457664u, part->size);
  EXPECT_EQ(kDigestA, read.HeaderDigest(*part));
  EXPECT_EQ(nullptr, read.Find(2, "velt.ar1")) << "the diskette is part of the name";
  EXPECT_EQ(nullptr, read.Find(1, "other.txt"));
}

TEST(KitSeal, ReadsTheFirstVersionWithoutHeaderDigests) {
  CKitSeal read;
  ASSERT_TRUE(read.Parse("mkkit seal 1 media=diskettes\r\n" + kDigestA + " 10 1 _setupx.ini\r\n" + kDigestB +
                         " 2000 2 velt.ar2\r\n"));
  EXPECT_EQ(1, read.GetVersion());
  EXPECT_FALSE(read.CoversEntryHeaders());
  ASSERT_NE(nullptr, read.Find(2, "velt.ar2"));
  EXPECT_TRUE(read.HeaderDigest(*read.Find(2, "velt.ar2")).empty());
}

// mkkit writes a part's headers line right after the part's line; a seal
// whose headers lines come later, in any order, gives each part its own.
TEST(KitSeal, HeaderDigestsMayComeAfterLaterLines) {
  CKitSeal read;
  ASSERT_TRUE(read.Parse("mkkit seal 2 media=diskettes\r\n" + kDigestA + " 10 1 a.ar1\r\n" + kDigestA +
                         " 10 1 b.ar1\r\n" + kDigestA + " 10 1 c.txt\r\nheaders " + kDigestC +
                         " 1 b.ar1\r\nheaders " + kDigestB + " 1 a.ar1\r\n"));
  EXPECT_EQ(kDigestB, read.HeaderDigest(*read.Find(1, "a.ar1")));
  EXPECT_EQ(kDigestC, read.HeaderDigest(*read.Find(1, "b.ar1")));
  EXPECT_TRUE(read.HeaderDigest(*read.Find(1, "c.txt")).empty());
  const SealEntry elsewhere = *read.Find(1, "a.ar1");
  EXPECT_TRUE(read.HeaderDigest(elsewhere).empty()) << "an entry of no seal has no header digest";
}

TEST(KitSeal, RefusesWhatIsNotASealMkkitWrote) {
  const std::string head = "mkkit seal 2 media=diskettes\r\n";
  const std::string good = kDigestA + " 10 1 readme.txt\r\n";
  const struct {
    const char* why;
    std::string text;
  } rows[] = {
      {"empty", ""},
      {"another first line", "seal 2 media=cd\r\n" + good},
      {"an unknown version", "mkkit seal 3 media=cd\r\n" + good},
      {"an unknown media", "mkkit seal 2 media=tape\r\n" + good},
      {"a short digest", head + std::string(63, 'a') + " 10 1 readme.txt\r\n"},
      {"an upper-case digest", head + std::string(64, 'A') + " 10 1 readme.txt\r\n"},
      {"a size that is no number", head + kDigestA + " ten 1 readme.txt\r\n"},
      {"a negative diskette", head + kDigestA + " 10 -1 readme.txt\r\n"},
      {"the CD's root on diskettes", head + kDigestA + " 10 0 readme.txt\r\n"},
      {"a name with a parent folder", head + kDigestA + " 10 1 ..\\..\\Windows\\win.ini\r\n"},
      {"a name with a drive", head + kDigestA + " 10 1 C:\\evil.exe\r\n"},
      {"a name with a forward slash", head + kDigestA + " 10 1 ../evil.exe\r\n"},
      {"a device name", head + kDigestA + " 10 1 CON\r\n"},
      {"no name", head + kDigestA + " 10 1 \r\n"},
      {"a file listed twice", head + good + kDigestB + " 11 1 README.TXT\r\n"},
      {"header digest of a file not listed", head + "headers " + kDigestB + " 1 velt.ar1\r\n" + good},
      {"two header digests", head + good + "headers " + kDigestB + " 1 readme.txt\r\nheaders " + kDigestB +
                                 " 1 readme.txt\r\n"},
      {"two header digests, apart", head + good + kDigestB + " 11 1 velt.ar1\r\nheaders " + kDigestB +
                                        " 1 readme.txt\r\nheaders " + kDigestC + " 1 velt.ar1\r\nheaders " +
                                        kDigestB + " 1 readme.txt\r\n"},
      {"header digests in the first version", "mkkit seal 1 media=cd\r\n" + good + "headers " + kDigestB + " 1 readme.txt\r\n"},
  };
  for (const auto& row : rows) {
    CKitSeal seal;
    seal.Add(SealEntry{"kept.txt", 1, kDigestC, 1});
    EXPECT_FALSE(seal.Parse(row.text)) << row.why;
    EXPECT_NE(nullptr, seal.Find(1, "kept.txt")) << row.why << ": a refused text changes nothing";
  }
}

// The setup program reads the seal block by block: any cut of the text,
// also inside a line and between CR and LF, reads as the whole text does,
// and a seal of 20,000 files finds each of them.
TEST(KitSeal, ReadsTheSameInPiecesOfAnySize) {
  CKitSeal written(MediaKind::cd);
  for (int i = 0; i < 20000; ++i) {
    written.Add(SealEntry{"file" + std::to_string(i) + ".dat", static_cast<std::uint64_t>(i), i % 2 ? kDigestA : kDigestB,
                          1 + i % 3},
                i % 1000 ? std::string() : kDigestC);
  }
  const std::string text = written.Render();
  for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{70}, std::size_t{16384}, text.size()}) {
    CKitSealReader reader(piece == 7 ? 0 : text.size());
    for (std::size_t at = 0; at < text.size(); at += piece) {
      ASSERT_TRUE(reader.Feed(std::string_view(text).substr(at, piece))) << "pieces of " << piece << " at " << at;
    }
    CKitSeal read;
    ASSERT_TRUE(reader.Finish(read)) << "pieces of " << piece;
    EXPECT_EQ(text, read.Render()) << "pieces of " << piece;
    for (int i = 0; i < 20000; i += 997) {
      const SealEntry* e = read.Find(1 + i % 3, "FILE" + std::to_string(i) + ".DAT");
      ASSERT_NE(nullptr, e) << i;
      EXPECT_EQ(static_cast<std::uint64_t>(i), e->size);
      EXPECT_EQ(i % 1000 == 0, !read.HeaderDigest(*e).empty()) << i;
    }
  }
  // A damaged line in the middle refuses the whole text, in pieces too.
  std::string damaged = text;
  damaged[text.size() / 2] = '\t';
  CKitSealReader reader(damaged.size());
  for (std::size_t at = 0; at < damaged.size(); at += 16384) reader.Feed(std::string_view(damaged).substr(at, 16384));
  CKitSeal kept;
  kept.Add(SealEntry{"kept.txt", 1, kDigestC, 1});
  EXPECT_FALSE(reader.Finish(kept));
  EXPECT_NE(nullptr, kept.Find(1, "kept.txt"));
}

}  // namespace
