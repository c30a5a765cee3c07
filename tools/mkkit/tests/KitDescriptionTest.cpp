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
         "[destinations]\r\n0=Prog||C:\\Prog\r\n2=Sub|0|\r\n[groups]\r\nG=one|two|1|0|1\r\n"
         "[targets]\r\na.exe=3|0|1|The A|/x|a.ico\r\n[files.G]\r\na.exe = ${bin}\\a.exe | 2 \r\n\x1A junk");
  CKitDescription d;
  d.Load(path, {{"bin", dir / "src"}});
  EXPECT_EQ(MediaKind::cd, d.media);
  EXPECT_EQ(737280u, d.capacity);
  EXPECT_EQ(dir / "src\\_setupx.exe", d.setupProgram);
  ASSERT_EQ(2u, d.destinations.size());
  EXPECT_EQ(0, d.destinations[1].parent);
  EXPECT_EQ(-1, d.destinations[0].parent);
  ASSERT_EQ(1u, d.groups.size());
  EXPECT_EQ(1, d.groups[0].setupType[2]);
  ASSERT_EQ(1u, d.targets.size());
  EXPECT_EQ(3, d.targets[0].iconIndex);
  EXPECT_EQ("a.ico", d.targets[0].iconFile);
  ASSERT_EQ(1u, d.files.size());
  EXPECT_EQ(dir / "src\\a.exe", d.files[0].source);
  EXPECT_EQ(2, d.files[0].destination);
}

TEST_F(KitDescriptionTest, BadDescriptionsNameTheLineAndTheProblem) {
  Source("a.exe", "a");
  Source("b.dat", std::string(20000, 'b'));
  const struct {
    std::string kit, files, extra;
    const char* message;
  } rows[] = {
      {"", "[files.Main]\r\na.exe=src\\missing.exe|0\r\n", "", "missing source file"},
      {"", "[files.Main]\r\na.exe=src\\a.exe|7\r\n", "", "unknown destination id 7"},
      {"", "[files.Main]\r\na.exe=src\\a.exe|zero\r\n", "", "is not a destination id"},
      {"", "[files.Nope]\r\na.exe=src\\a.exe|0\r\n", "", "no group 'Nope'"},
      {"", "[files.Main]\r\ncon.txt=src\\a.exe|0\r\n", "", "cannot be a file name"},
      {"", "[files.Main]\r\na.exe=src\\a.exe|0|a:b\r\n", "", "cannot be an archive name"},
      {"", "[files.Main]\r\na.exe=src\\a.exe|0\r\n[files.More]\r\na.exe=src\\a.exe|1\r\n", "", "a second file"},
      {"", "[files.Main]\r\na.exe=src\\a.exe|0|x.ar1\r\n[files.More]\r\nb=src\\a.exe|0|x.ar1\r\n", "", "already belongs"},
      {"", "[files.Main]\r\na.exe=src\\a.exe|0|x.ar1\r\na.exe=src\\b.dat|0|x.ar1\r\n", "", "already holds"},
      {"", "[files.Main]\r\na.exe=src\\a.exe|-1\r\n", "[targets]\r\na.exe=0|0|0|A|||\r\n", "names no file the kit installs"},
      {"media=tape\r\n", "", "", "media is diskettes, cd or flat"},
      {"colour=blue\r\n", "", "", "unknown key 'colour'"},
      {"", "", "[stuff]\r\n", "unknown section [stuff]"},
      {"", "oops\r\n", "", "expected key=value"},
      {"", "[files.Main]\r\na.exe=${nope}\\a.exe|0\r\n", "", "${nope} is not defined"},
      {"", "", "[destinations]\r\n5=Five|9|\r\n", "unknown parent 9"},
  };
  for (const auto& row : rows) {
    try {
      Load(Description(row.kit, row.files, row.extra));
      ADD_FAILURE() << "accepted: " << row.message;
    } catch (CKitException& e) {
      EXPECT_EQ(kExitBadInput, e.GetExitCode());
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find(row.message)) << e.GetErrorMessage();
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find("kit.ini")) << e.GetErrorMessage();
    }
  }
}

TEST_F(KitDescriptionTest, WhatOnlyTheLayoutFindsIsBadInputToo) {
  Source("b.dat", NoiseOf(20000, 9));
  const struct {
    std::string files;
    const char* message;
  } rows[] = {
      {"[files.Main]\r\nb.dat=src\\b.dat|0\r\n", "larger than a diskette"},
      {"[files.Main]\r\nb.dat=src\\b.dat|0|b.ar9\r\n", "needs a part after b.ar9"},
  };
  for (const auto& row : rows) {
    const CKitDescription d = Load(Description("capacity=8192\r\n", row.files));
    try {
      Build(d);
      ADD_FAILURE() << "built: " << row.message;
    } catch (CKitException& e) {
      EXPECT_EQ(kExitBadInput, e.GetExitCode());
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find(row.message)) << e.GetErrorMessage();
    }
  }
}
