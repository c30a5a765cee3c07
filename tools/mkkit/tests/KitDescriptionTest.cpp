#include <gtest/gtest.h>

#include <string>

#include "KitTestSupport.h"
#include "tools/mkkit/KitException.h"

namespace {

class KitDescriptionTest : public ::testing::Test, public KitFolder {};

}  // namespace

TEST_F(KitDescriptionTest, ReadsRecordsVariablesAndLenientText) {
  Source("a.exe", "a");
  const std::string path = dir / "desc.ini";
  WriteFileBytes(path,
      "; comment\n[Kit]\nmedia = cd\ncapacity=737280\nsetup=${bin}\\_setupx.exe\n\n"
      "[destinations]\r\n0=Prog||C:\\Prog\r\n2=Sub|0|\r\n3=Other|-1|D:\\Other\r\n[groups]\r\nG=one|two|1|1|1\r\n"
      "[targets]\r\na.exe=3|0|1|The A|/x|a.ico|\r\n[files.G]\r\na.exe = ${bin}\\a.exe | 2 |  | member text\r\n"
      "\x1A junk");
  CKitDescription d;
  d.Load(path, {{"bin", dir / "src"}});
  EXPECT_EQ(MediaKind::cd, d.media);
  EXPECT_EQ(737280u, d.capacity);
  EXPECT_EQ(dir / "src\\_setupx.exe", d.setupProgram);
  ASSERT_EQ(3u, d.destinations.size());
  EXPECT_EQ(-1, d.destinations[0].parent) << "an empty parent field: no parent";
  EXPECT_EQ(0, d.destinations[1].parent);
  EXPECT_EQ(-1, d.destinations[2].parent) << "-1: no parent, as in the profile";
  ASSERT_EQ(1u, d.groups.size());
  EXPECT_EQ(1, d.groups[0].setupType[2]);
  ASSERT_EQ(1u, d.targets.size());
  EXPECT_EQ(3, d.targets[0].iconIndex);
  EXPECT_EQ("a.ico", d.targets[0].iconFile);
  ASSERT_EQ(1u, d.files.size());
  EXPECT_EQ(dir / "src\\a.exe", d.files[0].source);
  EXPECT_EQ(2, d.files[0].destination);
  EXPECT_EQ("G", d.SetupGroup().key) << "the first group installs the setup program";
}

TEST_F(KitDescriptionTest, BadDescriptionsAreRefusedNamingTheLine) {
  Source("a.exe", "a");
  Source("b.dat", NoiseOf(20000, 9));
  Source("console.exe", ProgramImage(600, 3));
  Source("big.bin", NoiseOf(40000, 4));
  Source("licence.txt", "Use it well.");
  std::string hundredDiskettes = "[kit]\r\nmedia=cd\r\ncapacity=65536\r\n[files.Main]\r\n";
  for (int n = 0; n < CKitBuilder::kMaxCdFolders + 1; ++n) {
    hundredDiskettes += "f" + std::to_string(n) + ".bin=src\\big.bin|0\r\n";  // one a diskette
  }
  // Lines 1-9; each row's text follows from line 10 (a section may come
  // again: its keys add to the earlier ones), or stands alone when whole.
  const std::string base =
      "[kit]\r\nsetup=src\\_setupx.exe\r\n[destinations]\r\n0=Prog||C:\\Prog\r\n1=Data|0|\r\n"
      "[groups]\r\nMain=Main files||1|1|1\r\n[files.Main]\r\na.exe=src\\a.exe|0\r\n";
  const std::string longPath = "src\\" + std::string(260, 'x');
  const std::string kProduct = "[product]\r\nname=Korvel Atlas\r\nversion=3.2\r\npublisher=Korvel Maps Ltd\r\nprogram=a.exe\r\n";
  const struct {
    std::string text;
    bool whole;
    int code, line;
    const char* message;
  } rows[] = {
      {"[files.Main]\r\nb.exe=src\\missing.exe|0\r\n", false, 2, 11, "missing source file"},
      {"[files.Main]\r\nb.exe=src|0\r\n", false, 2, 11, "is a folder, not a file"},
      {"[files.Main]\r\nb.exe=" + longPath + "|0\r\n", false, 2, 11, "longer than 259 characters"},
      {"[files.Main]\r\nb.exe=src\\a.exe|7\r\n", false, 2, 11, "unknown destination id 7"},
      {"[files.Main]\r\nb.exe=src\\a.exe|zero\r\n", false, 2, 11, "is not a destination id"},
      {"[files.Nope]\r\nb.exe=src\\a.exe|0\r\n", false, 2, 10, "no group 'Nope'"},
      {"[files.Main]\r\ncon.txt=src\\a.exe|0\r\n", false, 2, 11, "cannot be a file name"},
      {"[files.Main]\r\nb.txt=src\\a.exe|0|a:b\r\n", false, 2, 11, "cannot be an archive name"},
      // Names the install log could not hold as keys.
      {"[files.Main]\r\nb.txt=src\\a.exe|0|x=y.ar1\r\n", false, 2, 11, "cannot be an archive name"},
      {"[files.Main]\r\n[b.txt=src\\a.exe|0|x.ar1\r\n", false, 2, 11, "a section header must end with ']'"},
      {"[files.Main]\r\n_SETUPX.EXE=src\\a.exe|0|x.ar1\r\n", false, 2, 11, "a name mkkit gives its own files"},
      {"[files.Main]\r\na.exe=src\\a.exe|1\r\n", false, 2, 11, "a second file named a.exe on the media"},
      {"[groups]\r\nMore=More||0|1|1\r\n[files.Main]\r\nb=src\\a.exe|0|x.ar1\r\n[files.More]\r\nc=src\\a.exe|0|x.ar1\r\n",
       false, 2, 15, "already belongs"},
      {"[files.Main]\r\nb.txt=src\\a.exe|0|x.ar1\r\nB.TXT=src\\b.dat|0|y.ar1\r\n", false, 2, 12,
       "a second file installed as B.TXT into destination 0 (the first: "},
      {"[files.Main]\r\nA.EXE=src\\b.dat|0|y.ar1\r\n", false, 2, 11, "a second file installed as A.EXE"},
      {"[files.Main]\r\nb.txt=src\\a.exe|-1|x.ar1\r\n", false, 2, 11, "a member of an archive must be installed"},
      {"[files.Main]\r\nb.txt=src\\a.exe|0|x.ar1|" + std::string(40, 't') + "\r\n", false, 2, 11,
       "has at most 39 characters"},
      {"[files.Main]\r\nb.exe=src\\a.exe|0||text|sign|more\r\n", false, 2, 11, "6 '|' fields"},
      // The fifth field marks a program or library for signing (mkkit --sign).
      {"[files.Main]\r\nb.exe=src\\console.exe|0||text|more\r\n", false, 2, 11, "the fifth field is sign"},
      {"[files.Main]\r\nb.dat=src\\b.dat|0|||sign\r\n", false, 2, 11, "b.dat is marked for signing, but"},
      {"[destinations]\r\n2=Two|0||x\r\n", false, 2, 11, "4 '|' fields"},
      {"[targets]\r\na.exe=0|0|0|A|||C:\\a.exe\r\n", false, 2, 11, "leave it empty"},
      {"[files.Main]\r\nn.exe=src\\a.exe|-1\r\n[targets]\r\nn.exe=0|0|0|N|||\r\n", false, 2, 13,
       "names no file the kit installs"},
      {"[groups]\r\nmain=Other||1|1|1\r\n", false, 2, 11, "differs from 'Main' (" },
      {"[targets]\r\na.exe=0|0|0|A||\r\nA.EXE=0|0|0|B||\r\n", false, 2, 12, "only in letter case"},
      {"[destinations]\r\n5=Five|9|\r\n", false, 2, 11, "unknown parent 9"},
      {"[kit]\r\n[destinations]\r\n1=Data||C:\\Data\r\n[groups]\r\nMain=M||1|1|1\r\n", true, 2, 2,
       "has no destination 0"},
      {"[kit]\r\nmedia=tape\r\n", false, 2, 11, "media is diskettes, cd or flat"},
      {"[kit]\r\ncapacity=4294967296\r\n", false, 2, 11, "from 1 to 4294967295"},
      {"[kit]\r\ncolour=blue\r\n", false, 2, 11, "unknown key 'colour'"},
      {"[kit]\r\nsetupgroup=Nope\r\n", false, 2, 11, "setupgroup names no group"},
      {"[groups]\r\nMore=More||1|0|1\r\n[kit]\r\nsetupgroup=More\r\n", false, 2, 13, "is not in setup type 2"},
      {"[stuff]\r\n", false, 2, 10, "unknown section [stuff]"},
      {"oops\r\n", false, 2, 10, "expected key=value"},
      {"[files.Main]\r\nb.exe=${nope}\\a.exe|0\r\n", false, 2, 11, "${nope} is not defined"},
      {"[cd]\r\ncaption=Atlas ${ver} CD-ROM\r\n", false, 2, 11, "${ver} is not defined"},  // texts too
      // The product the kit names: lines 10-15 name it, a row's own lines follow.
      {kProduct + "licence=src\\nolicence.txt\r\n", false, 2, 15, "missing file"},
      {kProduct + "licence=src\\licence.txt\r\nsplash=src\\a.exe\r\n", false, 2, 16, "no picture the setup program"},
      {kProduct + "licence=src\\licence.txt\r\nkey=Korvel:Atlas\r\n", false, 2, 16, "key=Korvel:Atlas: a key is"},
      {kProduct + "licence=src\\licence.txt\r\nkey=..\\..\\x\r\n", false, 2, 16, "a key is"},
      {kProduct + "licence=src\\licence.txt\r\nkey=COM1\r\n", false, 2, 16, "a key is"},
      {kProduct + "licence=src\\licence.txt\r\nname=Korvel%sAtlas\r\n", false, 2, 16, "holds '%'"},
      {kProduct + "licence=src\\licence.txt\r\nhostmenu=maybe\r\n", false, 2, 16, "hostmenu is yes or no"},
      {"[product]\r\nname=Atlas\r\nversion=1\r\npublisher=K\r\nprogram=b.exe\r\nlicence=src\\licence.txt\r\n",
       false, 2, 14, "program b.exe is no file the kit installs into destination 0"},
      {"[product]\r\nname=Atlas\r\nversion=1\r\npublisher=K\r\nprogram=a.exe\r\n", false, 2, 10,
       "[product] has no licence="},
      {kProduct + "licence=src\\licence.txt\r\n[files.Main]\r\n_license.txt=src\\licence.txt|0\r\n", false, 2,
       17, "a name mkkit gives the files of [product]"},
      // What only building finds.
      {"[kit]\r\nsetup=src\\a.exe\r\n", false, 2, 11, "is not a Windows program"},
      {"[kit]\r\nsetup=src\\console.exe\r\n", false, 2, 11, "is not a Windows program"},
      {"[kit]\r\ncapacity=1024\r\n", false, 2, 11, "do not fit on a diskette of 1024 bytes"},
      {"[kit]\r\ncapacity=8192\r\n[files.Main]\r\nb.dat=src\\b.dat|0\r\n", false, 2, 13, "larger than a diskette"},
      {"[kit]\r\ncapacity=8192\r\n[files.Main]\r\nb.dat=src\\b.dat|0|b.ar9\r\n", false, 2, 13, "needs a part after b.ar9"},
      {hundredDiskettes, false, 2, 11, "numbered folders; _setupx finds at most 99"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const std::string path = dir / "kit.ini";
    std::ofstream(path, std::ios::binary) << (row.whole ? row.text : base + row.text);
    try {
      Build(Load(path));
      ADD_FAILURE() << "accepted: " << row.message;
    } catch (CKitException& e) {
      EXPECT_EQ(row.code, e.GetExitCode()) << e.GetErrorMessage();
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find(row.message)) << e.GetErrorMessage();
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find("kit.ini:" + std::to_string(row.line) + ": "))
          << e.GetErrorMessage();
    }
  }
}

TEST_F(KitDescriptionTest, MessagesPrintPathsWithOneSeparator) {
  // Given with '/', as a Unix user types it; the description uses both.
  const std::string path = dir.path() + "/kit.ini";
  Description("", "[files.Main]\r\nx.bin=src/files\\x.bin|0\r\n");
  try {
    CKitDescription d;
    d.Load(path, {});
    ADD_FAILURE() << "a missing source was accepted";
  } catch (CKitException& e) {
    EXPECT_EQ(dir / "kit.ini:15: missing source file " + dir / "src\\files\\x.bin", e.GetErrorMessage());
  }
}
