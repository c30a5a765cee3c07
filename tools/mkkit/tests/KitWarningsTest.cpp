#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "KitTestSupport.h"
#include "tools/mkkit/KitException.h"

namespace {

class KitWarningsTest : public ::testing::Test, public KitFolder {
protected:
  void SetUp() override {
    Source("a.txt", TextOf(1000, 'a'));
    Source("b.bin", NoiseOf(3000, 1));
    Source("c.bin", NoiseOf(3000, 2));
    Source("x.exe", TextOf(500, 'x'));
    Source("t.txt", TextOf(2000, 't'));
    for (unsigned n = 1; n <= 3; ++n) Source("n" + std::to_string(n) + ".bin", NoiseOf(1500, 10 + n));
    Source("tiny.bin", NoiseOf(100, 7));
  }

  // Builds into out, with warnings as errors or not; the warnings, and the
  // exit code the build ends with.
  std::pair<std::vector<std::string>, int> Build(const CKitDescription& d, bool asErrors) {
    KitBuildOptions options;
    options.outputDir = dir / "out";
    options.clean = true;
    options.warningsAsErrors = asErrors;
    std::vector<std::string> told;
    options.warn = [&](const std::string& w) { told.push_back(w); };
    CKitBuilder builder(d, options);
    int code = kExitOk;
    try {
      code = builder.Build();
    } catch (CKitException& e) {
      code = e.GetExitCode();
    }
    EXPECT_EQ(told, builder.GetWarnings()) << "every warning is told as it is found";
    return {told, code};
  }
};

}  // namespace

// Lines of the description (see KitFolder::Description with the kit
// "capacity=4096"): 12 [diskettes], 14 the label of diskette 2, 15 the
// first line of the extra sections; the files follow them. The plain kit
// takes two diskettes of 4096 bytes: a.txt beside the setup program, b.bin
// on the second.
TEST_F(KitWarningsTest, EachOddityIsToldWithItsLineAndMakesAnErrorOnlyWhenAsked) {
  const std::string plain = "[files.Main]\r\na.txt=src\\a.txt|0\r\n[files.More]\r\nb.bin=src\\b.bin|1\r\n";
  // Archive members instead of b.bin, from line 18 on.
  const std::string members = "[files.Main]\r\na.txt=src\\a.txt|0\r\n[files.More]\r\n";
  const struct {
    const char* what;
    std::string kit, extra, files;
    std::map<std::string, std::string> defines;
    std::vector<std::string> warnings;  // "LINE: text"; LINE 0: the description's file alone
  } rows[] = {
      {"none", "", "", plain, {}, {}},
      {"3 diskettes, 2 labels", "", "", plain + "c.bin=src\\c.bin|1\r\n", {},
       {"12: diskette 3 of 3 has no label in [diskettes]: the Insert Diskette dialog would ask for a diskette with "
        "an empty name"}},
      {"an empty label", "", "[diskettes]\r\n3=|\r\n", plain + "c.bin=src\\c.bin|1\r\n", {},
       {"12: diskette 3 of 3 has no label in [diskettes]: the Insert Diskette dialog would ask for a diskette with "
        "an empty name"}},
      {"labels beyond the kit", "", "[diskettes]\r\n3=Disk three|\r\n4=Disk four|\r\n", plain, {},
       {"16: [diskettes] labels diskettes 3, 4, but the kit takes 2: the labels are never shown (a capacity other "
        "than intended?)"}},
      {"a group without files", "", "[groups]\r\nEmpty=Nothing||0|1|0\r\n", plain, {},
       {"16: group Empty has no files ([files.Empty] is missing or empty): the setup program lists it, and installs "
        "nothing with it"}},
      {"an unused destination", "", "[destinations]\r\n2=Unused|1|\r\n", plain, {},
       {"16: destination 2 (Unused) receives no file: a removal leaves it alone, but the setup program creates the "
        "folder"}},
      {"an unused -D", "", "", plain, {{"version", "3.1"}},
       {"0: -D version is given, but the description never uses ${version}: a misspelt name?"}},
      {"a program item of a group no installation selects", "",
       "[groups]\r\nExtra=Extras||1|0|1\r\n[files.Extra]\r\nx.exe=src\\x.exe|0\r\n[targets]\r\nx.exe=0|0|0|X|||\r\n",
       plain, {},
       {"20: program item x.exe starts a file that only group Extra installs, which is not in setup type 2: "
        "installations never install it, and the item is never made"}},
      {"most members of a group stored", "", "",
       members + "n1.bin=src\\n1.bin|1|n.ar1\r\nn2.bin=src\\n2.bin|1|n.ar1\r\nt.txt=src\\t.txt|1|n.ar1\r\n", {},
       {"18: 2 of the 3 archive members of group More are stored, because deflate did not make them smaller (n1.bin "
        "and n2.bin): they are probably compressed already, and deflating them at every build is wasted "
        "(method=stored in [kit] skips it)"}},
      {"half of a group stored", "", "", members + "n1.bin=src\\n1.bin|1|n.ar1\r\nt.txt=src\\t.txt|1|n.ar1\r\n", {}, {}},
      {"small members do not count", "", "",
       members + "tiny.bin=src\\tiny.bin|1|n.ar1\r\ntiny2.bin=src\\tiny.bin|1|n.ar1\r\nt.txt=src\\t.txt|1|n.ar1\r\n", {},
       {}},
      {"stored by choice", "method=stored\r\n", "",
       members + "n1.bin=src\\n1.bin|1|n.ar1\r\nn2.bin=src\\n2.bin|1|n.ar1\r\n", {}, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    // The method line goes after capacity, so that the lines stay put.
    const std::string path = Description("capacity=4096\r\n" + row.kit, row.files, row.extra);
    CKitDescription d;
    d.Load(path, row.defines);
    std::vector<std::string> expected;
    for (const std::string& w : row.warnings) {
      const auto colon = w.find(": ");
      const std::string line = w.substr(0, colon);
      expected.push_back((line == "0" ? path : path + ":" + line) + ": warning: " + w.substr(colon + 2));
    }
    RemoveTree(dir / "out");
    const auto [asErrors, errorCode] = Build(d, true);
    EXPECT_EQ(expected, asErrors);
    EXPECT_EQ(expected.empty() ? kExitOk : kExitBadInput, errorCode) << "with --warnings-as-errors";
    if (!expected.empty()) {
      EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((dir / "out").c_str())) << "nothing was written";
    }
    const auto [told, code] = Build(d, false);
    EXPECT_EQ(expected, told);
    EXPECT_EQ(kExitOk, code) << "without --warnings-as-errors";
  }
}
