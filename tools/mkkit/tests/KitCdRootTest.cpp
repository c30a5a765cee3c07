#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KitTestSupport.h"
#include "tools/mkkit/KitException.h"

namespace {

class KitCdRootTest : public ::testing::Test, public KitFolder {
protected:
  void SetUp() override {
    Source("app.exe", TextOf(5000, 'p'));
    Source("cdlaunch.exe", ProgramImage(700));
    ::CreateDirectoryA((dir / "menu").c_str(), nullptr);
    for (const char* name : {"menu.bmp", "go1.bmp", "go2.bmp", "click.wav", "readme.txt", "tool.exe"}) {
      WriteFileBytes(dir / (std::string("menu\\") + name), std::string("picture, sound or text: ") + name);
    }
  }

  std::string CdDescription(const std::string& cd) {
    return Description("media=cd\r\ncapacity=8192\r\n", "[files.Main]\r\napp.exe=src\\app.exe|0\r\n[files.More]\r\nmore.exe=src\\app.exe|1\r\n",
                       cd);
  }

  KitExitCode BuildCd(const CKitDescription& d, const std::string& menu = {}) {
    KitBuildOptions options;
    options.outputDir = dir / "out";
    options.clean = true;
    options.cdMenu = menu;
    options.defaultLauncher = dir / "src\\cdlaunch.exe";
    return CKitBuilder(d, options).Build();
  }

  static const char kMenu[];
};

const char KitCdRootTest::kMenu[] =
    "[cd]\r\nmenu=menu\r\nlauncher=src\\cdlaunch.exe\r\ncaption=Test CD\r\nbitmap=menu.bmp\r\nsound=click.wav\r\n"
    "centerbuttons=1\r\nregistry=HKEY_LOCAL_MACHINE\\Software\\Test|Version, 1.0\r\n"
    "[cd.buttons]\r\nGo=_setupx.exe /x|go.bmp|click.wav\r\nRead Me=readme.txt\r\nTool=tool\r\n"
    "Browse=explorer.exe\r\nExit=QuitProgram\r\n";

}  // namespace

TEST_F(KitCdRootTest, TheRootHoldsTheMenuWhoseSetupButtonStartsTheKitsSetupProgram) {
  const CKitDescription d = Load(CdDescription(kMenu));
  ASSERT_EQ(kExitOk, BuildCd(d));
  EXPECT_EQ((std::vector<std::string>{"DISK01", "DISK02", "autorun.inf", "cdlaunch.exe", "click.wav", "go1.bmp",
                                      "go2.bmp", "menu.bmp", "readme.txt", "tool.exe"}),
            ListFolder(dir / "out"));
  EXPECT_EQ(Read(dir / "src\\cdlaunch.exe"), Read(dir / "out\\cdlaunch.exe"));
  EXPECT_EQ(Read(dir / "menu\\go2.bmp"), Read(dir / "out\\go2.bmp"));
  EXPECT_EQ(
      "[autorun]\r\nopen=cdlaunch.exe /autorun\r\nicon=cdlaunch.exe\r\n"
      "\r\n[Application Info]\r\nBitmap=menu.bmp\r\nCaption=Test CD\r\nPlaySound=click.wav\r\nCenterButtons=1\r\n"
      "\r\n[Commands]\r\n1=Go\r\n2=Read Me\r\n3=Tool\r\n4=Browse\r\n5=Exit\r\n"
      "\r\n[Go]\r\nBitmap=go.bmp\r\nCommand=DISK01\\_setupx.exe /x\r\nPlaySound=click.wav\r\n"
      "\r\n[Read Me]\r\nCommand=readme.txt\r\n\r\n[Tool]\r\nCommand=tool\r\n\r\n[Browse]\r\nCommand=explorer.exe\r\n"
      "\r\n[Exit]\r\nCommand=QuitProgram\r\n"
      "\r\n[Registry]\r\nKey=HKEY_LOCAL_MACHINE\\Software\\Test\r\nValue=Version, 1.0\r\n",
      Read(dir / "out\\autorun.inf"));

  KitVerifyOptions options;
  options.description = &d;
  CKitVerifier verifier(dir / "out", options);
  EXPECT_EQ(kExitOk, verifier.Verify());
  EXPECT_EQ(11, verifier.GetCdMenuNames()) << "open, icon, background, sound; Go's command, pair and sound; three commands";
  EXPECT_EQ(kExitOk, BuildCd(d)) << "--clean replaces a CD with its root";

  CKitDescription diskettes = d;
  diskettes.media = MediaKind::diskettes;
  ASSERT_EQ(kExitOk, BuildCd(diskettes));
  EXPECT_EQ((std::vector<std::string>{"disk1", "disk2"}), ListFolder(dir / "out")) << "diskettes have no menu";
}

TEST_F(KitCdRootTest, WithoutButtonsTheMenuInstallsAndExits) {
  const CKitDescription d = Load(CdDescription(""));
  ASSERT_EQ(kExitOk, BuildCd(d, dir / "menu"));
  EXPECT_EQ(
      "[autorun]\r\nopen=cdlaunch.exe /autorun\r\nicon=cdlaunch.exe\r\n\r\n[Application Info]\r\nCaption=Test\r\n"
      "\r\n[Commands]\r\n1=Install\r\n2=Exit\r\n\r\n[Install]\r\nCommand=DISK01\\_setupx.exe\r\n"
      "\r\n[Exit]\r\nCommand=QuitProgram\r\n",
      Read(dir / "out\\autorun.inf"));
  EXPECT_EQ(kExitOk, Verify(&d));

  CKitDescription diskettes = d;
  diskettes.media = MediaKind::diskettes;
  try {
    BuildCd(diskettes, dir / "menu");
    ADD_FAILURE() << "--cd-menu for diskettes";
  } catch (CKitException& e) {
    EXPECT_EQ(kExitUsage, e.GetExitCode());
  }
}

TEST_F(KitCdRootTest, AMenuThatWouldMissSomethingOnTheCdIsRefusedBeforeAnythingIsWritten) {
  WriteFileBytes(dir / "menu\\half1.bmp", "one of a pair");
  Source("console.exe", ProgramImage(700, 3));
  const struct {
    const char* cd;
    const char* message;
  } rows[] = {
      {"[cd]\r\nmenu=menu\r\nbitmap=missing.bmp\r\n", "the background picture missing.bmp is not on the CD"},
      {"[cd]\r\nmenu=menu\r\nsound=missing.wav\r\n", "the start-up sound missing.wav is not on the CD"},
      {"[cd]\r\nmenu=menu\r\n[cd.buttons]\r\nGo=_setupx.exe|half.bmp\r\n", "the button Go: the picture half2.bmp is not on the CD"},
      {"[cd]\r\nmenu=menu\r\n[cd.buttons]\r\nGo=setup\\_setupx.exe\r\n", "the button Go: starts setup\\_setupx.exe, which is not on the CD"},
      {"[cd]\r\nmenu=menu\r\n[cd.buttons]\r\nGo=manual\r\n", "the button Go: starts manual, which is not on the CD"},
      {"[cd]\r\n[cd.buttons]\r\nGo=_setupx.exe|go.bmp\r\n", "go1.bmp is not on the CD (no menu folder"},
      {"[cd]\r\nmenu=nothere\r\n", "the menu folder"},
      {"[cd]\r\nmenu=menu\r\nlauncher=src\\console.exe\r\n", "console.exe is not a Windows program"},
      {"[cd]\r\nmenu=menu\r\nlauncher=src\\none.exe\r\n", "none.exe is missing"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cd);
    RemoveTree(dir / "out");
    const CKitDescription d = Load(CdDescription(row.cd));
    try {
      BuildCd(d);
      ADD_FAILURE() << "built";
    } catch (CKitException& e) {
      EXPECT_EQ(kExitBadInput, e.GetExitCode());
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find(row.message)) << e.GetErrorMessage();
      EXPECT_EQ(0u, e.GetErrorMessage().rfind(dir / "kit.ini:", 0)) << "names the description: " << e.GetErrorMessage();
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((dir / "out").c_str())) << "nothing was written";
  }
  // Files of the menu folder that cannot lie in the root beside mkkit's own.
  for (const char* name : {"autorun.inf", "CDLAUNCH.EXE", "disk01"}) {
    SCOPED_TRACE(name);
    WriteFileBytes(dir / (std::string("menu\\") + name), "mine");
    EXPECT_THROW(BuildCd(Load(CdDescription("[cd]\r\nmenu=menu\r\n"))), CKitException);
    ::DeleteFileA((dir / (std::string("menu\\") + name)).c_str());
  }
}

TEST_F(KitCdRootTest, VerifyFindsWhatTheMenuNamesMissingFromTheCd) {
  const CKitDescription d = Load(CdDescription(kMenu));
  ASSERT_EQ(kExitOk, BuildCd(d));
  const std::string autorun = Read(dir / "out\\autorun.inf");
  std::string elsewhere = autorun;
  elsewhere.replace(elsewhere.find("DISK01\\_setupx.exe"), 18, "setup\\_setupx.exe");
  const struct {
    const char* removed;     // a file taken off the CD
    std::string autorun;     // or autorun.inf's text
    const char* message;
  } rows[] = {
      {"go2.bmp", "", "autorun.inf: the button Go: the picture go2.bmp is not on the CD"},
      {"menu.bmp", "", "autorun.inf: the background picture menu.bmp is not on the CD"},
      {"cdlaunch.exe", "", "autorun.inf: [autorun] open starts cdlaunch.exe, which is not on the CD"},
      {"tool.exe", "", "the button Tool: starts tool, which is not on the CD"},
      {"readme.txt", "", "the button Read Me: starts readme.txt, which is not on the CD"},
      {nullptr, elsewhere, "the button Go: starts setup\\_setupx.exe, which is not on the CD"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.message);
    const std::string file = row.removed ? dir / (std::string("out\\") + row.removed) : dir / "out\\autorun.inf";
    const std::string original = Read(file);
    if (row.removed) ::DeleteFileA(file.c_str());
    else WriteFileBytes(file, row.autorun);
    try {
      Verify(nullptr);
      ADD_FAILURE() << "verified";
    } catch (CKitException& e) {
      EXPECT_EQ(kExitVerifyFailed, e.GetExitCode());
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find(row.message)) << e.GetErrorMessage();
    }
    WriteFileBytes(file, original);
  }
  EXPECT_EQ(kExitOk, Verify(&d));
}
