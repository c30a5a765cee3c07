// The CD menu as a user meets it: the real cdlaunch.exe, copied with its
// configuration into a folder of the test's own, started under Wine and
// driven from outside.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <sstream>

#include "SampleCd.h"
#include "tests/support/BmpBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/UiDriver.h"

namespace {

const char kCaption[] = "Veltrane CD-ROM";


// An image pair name1.bmp / name2.bmp: a coloured bar on white.
void WriteImagePair(const std::string& dir, const std::string& name, int w, int h) {
  for (int which : {1, 2}) {
    BmpBuilder b;
    b.width = w;
    b.height = h;
    b.colors.assign(256, RGBQUAD{255, 255, 255, 0});
    b.colors[1] = which == 1 ? RGBQUAD{160, 60, 20, 0} : RGBQUAD{20, 160, 230, 0};
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) b.indices.push_back(y > 3 && y < h - 4 ? 1 : 0);
    }
    b.Write(dir + "\\" + name + std::to_string(which) + ".bmp");
  }
}

class CdLaunchTest : public ::testing::Test {
protected:
  void SetUp() override {
    exe = dir / "cdlaunch.exe";
    ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("cdlaunch.exe").c_str(), exe.c_str(), FALSE))
        << "cdlaunch.exe is built beside the test program";
    probeLog = dir / "probe.log";
    ::SetEnvironmentVariableA("VELT_PROBE_LOG", probeLog.c_str());
    subkey = "Software\\VeltTests\\cdlaunch-e2e" + std::to_string(::GetCurrentProcessId());
  }
  void TearDown() override {
    menu.Kill();
    ::SHDeleteKeyA(HKEY_CURRENT_USER, subkey.c_str());
    ::SetEnvironmentVariableA("VELT_PROBE_LOG", nullptr);
  }

  void Config(const std::string& text) { WriteFileBytes(dir / "autorun.inf", text); }
  // Starts the menu from another directory than its own, as AutoPlay would.
  void Start(const std::string& arguments = {}) {
    char windows[MAX_PATH];
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    menu = ui::Process::Start(exe, arguments, windows);
    ASSERT_TRUE(menu.started()) << "CreateProcess error " << menu.startError();
  }
  HWND WaitForMenu(const std::string& caption = kCaption, DWORD timeoutMs = ui::kDefaultTimeout) {
    ui::WindowMatch match;
    match.caption = caption;
    return menu.WaitForWindow(match, timeoutMs);
  }
  void InstalledKey(const std::string& version) const {
    testreg::WriteString(HKEY_CURRENT_USER, subkey, "Version", version);
  }
  std::string RegistrySection(const std::string& value) const {
    return "[Registry]\r\nKey=HKEY_CURRENT_USER\\" + subkey + "\r\nValue=" + value + "\r\n";
  }
  std::vector<std::string> ButtonLabels(HWND frame) const {
    std::vector<std::string> labels;
    for (HWND child : ui::Children(frame)) {
      if (ui::ClassName(child) == "Button") labels.push_back(ui::WindowText(child));
    }
    return labels;
  }
  std::vector<std::string> ProbeRuns() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFileBytes(probeLog));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  TempDir dir;
  std::string exe;
  std::string probeLog;
  std::string subkey;
  ui::Process menu;
};

}  // namespace

TEST_F(CdLaunchTest, OnlyTheAutorunSwitchLetsAnInstalledProductKeepTheMenuClosed) {
  InstalledKey("2.0 ");
  Config("[Application Info]\r\nCaption=Veltrane CD-ROM\r\n" + RegistrySection("Version, 2.0"));
  struct Case {
    const char* arguments;
    bool opens;
  } cases[] = {{"", true}, {"autorun", true}, {"/autorun", false}, {"-AUTORUN", false}};
  for (const auto& c : cases) {
    Start(c.arguments);
    if (c.opens) {
      EXPECT_NE(nullptr, WaitForMenu()) << "arguments: " << c.arguments;
      menu.Kill();
    } else {
      EXPECT_EQ(std::optional<DWORD>(0), menu.WaitForExit()) << "arguments: " << c.arguments;
    }
  }
}

TEST_F(CdLaunchTest, MalformedValueIsReportedAndTheMenuOpensAnyway) {
  InstalledKey("2.0");
  Config("[Application Info]\r\nCaption=Veltrane CD-ROM\r\n" + RegistrySection("Version"));
  Start("/autorun");
  const auto box = ui::WaitForMessageBox(menu);
  ASSERT_TRUE(box);
  EXPECT_EQ("The Value entry in the Registry section was not specified properly.   Expected 'Value=Name, Value'.",
            box->text);
  EXPECT_EQ("cdlaunch", box->caption);
  ui::AnswerDialog(box->box, IDOK);
  EXPECT_NE(nullptr, WaitForMenu());
}

TEST_F(CdLaunchTest, ButtonWithoutACommandIsReportedAndTheProgramEnds) {
  Config(
      "[Application Info]\r\nCaption=Veltrane CD-ROM\r\n"
      "[Commands]\r\n1=Exit\r\n2=Install Veltrane\r\n[Exit]\r\nCommand=QuitProgram\r\n[Install Veltrane]\r\n");
  Start();
  const auto box = ui::WaitForMessageBox(menu);
  ASSERT_TRUE(box);
  EXPECT_EQ("The 'Install Veltrane' command was not given a command line to execute.", box->text);
  ui::AnswerDialog(box->box, IDOK);
  EXPECT_EQ(std::optional<DWORD>(0), menu.WaitForExit());
}

TEST_F(CdLaunchTest, BackgroundThatCannotBeLoadedEndsTheProgramWithoutAWord) {
  Config("[Application Info]\r\nBitmap=missing.bmp\r\nCaption=Veltrane CD-ROM\r\n");
  Start();
  EXPECT_EQ(std::optional<DWORD>(0), menu.WaitForExit());
}

TEST_F(CdLaunchTest, ButtonsRunTheirCommandsFromTheProgramDirectoryAndTheMenuStays) {
  ::CreateDirectoryA((dir / "setup").c_str(), nullptr);
  ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("velt_probe.exe").c_str(), (dir / "setup\\probe.exe").c_str(), FALSE));
  ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("velt_probe.exe").c_str(), (dir / "tool.exe").c_str(), FALSE));
  Config(
      "[Application Info]\r\nCaption=Veltrane CD-ROM\r\n"
      "[Commands]\r\n1=Install\r\n2=Tool\r\n"
      "[Install]\r\nCommand=setup\\probe.exe /q\r\n[Tool]\r\nCommand=tool\r\n");
  Start();
  HWND frame = WaitForMenu();
  ASSERT_NE(nullptr, frame);

  ui::Click(ui::FindChild(frame, "Install", "Button"));
  ASSERT_TRUE(ui::WaitUntil([&] { return ProbeRuns().size() == 1; }));
  const std::string run = ProbeRuns()[0];
  EXPECT_EQ("setup\\probe.exe /q", run.substr(0, run.find('\t'))) << "run as written";
  EXPECT_EQ(0, ::lstrcmpiA(dir.path().c_str(), run.substr(run.find('\t') + 1).c_str()))
      << "in the program directory: " << run;

  ui::Click(ui::FindChild(frame, "Tool", "Button"));
  ASSERT_TRUE(ui::WaitUntil([&] { return ProbeRuns().size() == 2; }));
  const std::string tool = ProbeRuns()[1];
  EXPECT_EQ(dir / "tool", tool.substr(0, tool.find('\t'))) << "a name without extension is found in the program directory";
  EXPECT_TRUE(menu.IsRunning()) << "the menu stays open after starting a program";
}

TEST_F(CdLaunchTest, AProgramOfACdCopiedIntoAFolderWithABlankRunsQuotedAndNotTheFolderNamesPrefix) {
  // Unquoted, "...\Veltrane CD\tool" would start ...\Veltrane.exe first.
  const std::string cd = dir / "Veltrane CD";
  ::CreateDirectoryA(cd.c_str(), nullptr);
  exe = cd + "\\cdlaunch.exe";
  ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("cdlaunch.exe").c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("velt_probe.exe").c_str(), (cd + "\\tool.exe").c_str(), FALSE));
  ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("velt_probe.exe").c_str(), (dir / "Veltrane.exe").c_str(), FALSE));
  WriteFileBytes(cd + "\\autorun.inf",
                 "[Application Info]\r\nCaption=Veltrane CD-ROM\r\n[Commands]\r\n1=Tool\r\n[Tool]\r\nCommand=tool\r\n");
  Start();
  HWND frame = WaitForMenu();
  ASSERT_NE(nullptr, frame);
  ui::Click(ui::FindChild(frame, "Tool", "Button"));
  ASSERT_TRUE(ui::WaitUntil([&] { return ProbeRuns().size() == 1; }));
  const std::string run = ProbeRuns()[0];
  EXPECT_EQ("\"" + cd + "\\tool\"", run.substr(0, run.find('\t')));
}

TEST_F(CdLaunchTest, CommandThatCannotRunIsReportedAndTheMenuStays) {
  Config("[Application Info]\r\nCaption=Veltrane CD-ROM\r\n[Commands]\r\n1=Broken\r\n[Broken]\r\nCommand=nothere.exe\r\n");
  Start();
  HWND frame = WaitForMenu();
  ASSERT_NE(nullptr, frame);
  ui::Click(ui::FindChild(frame, "Broken", "Button"));
  const auto box = ui::WaitForMessageBox(menu);
  ASSERT_TRUE(box);
  EXPECT_EQ("There was an error executing the command  'nothere.exe'.", box->text);
  ui::AnswerDialog(box->box, IDOK);
  EXPECT_TRUE(ui::WaitUntil([&] { return menu.Windows().size() == 1; }));
  EXPECT_TRUE(menu.IsRunning());
}

TEST_F(CdLaunchTest, QuitButtonClosesTheMenu) {
  Config("[Application Info]\r\nCaption=Veltrane CD-ROM\r\n[Commands]\r\n1=Exit\r\n[Exit]\r\nCommand=QUITPROGRAM\r\n");
  Start();
  HWND frame = WaitForMenu();
  ASSERT_NE(nullptr, frame);
  ui::Click(ui::FindChild(frame, "Exit", "Button"));
  EXPECT_EQ(std::optional<DWORD>(0), menu.WaitForExit());
}

TEST_F(CdLaunchTest, ImageButtonIsHighlightedWhileTheMouseIsOverIt) {
  BmpBuilder background;
  background.width = 300;
  background.height = 200;
  background.indices.assign(300 * 200, 100);
  background.Write(dir / "menu.bmp");
  WriteImagePair(dir.path(), "go", 80, 30);
  Config(
      "[Application Info]\r\nBitmap=menu.bmp\r\nCaption=Veltrane CD-ROM\r\nCenterButtons=1\r\n"
      "[Commands]\r\n1=Go\r\n2=Exit\r\n[Go]\r\nBitmap=go.bmp\r\nCommand=QuitProgram\r\n[Exit]\r\nCommand=QuitProgram\r\n");
  Start();
  HWND frame = WaitForMenu();
  ASSERT_NE(nullptr, frame);
  HWND go = ui::FindChild(frame, "Go", "Button");
  ASSERT_NE(nullptr, go);
  EXPECT_EQ(static_cast<LONG>(BS_OWNERDRAW), ::GetWindowLongA(go, GWL_STYLE) & BS_TYPEMASK);
  RECT client{};
  ::GetClientRect(frame, &client);
  EXPECT_EQ(300, client.right);
  EXPECT_EQ(200, client.bottom);
  const RECT rc = ui::RectIn(go, frame);
  EXPECT_EQ(300 - 7, rc.right);

  ui::MoveMouse(frame, POINT{rc.left + 10, rc.top + 10});
  EXPECT_EQ(go, ui::CaptureOf(frame)) << "the highlighted button holds the mouse";
  ui::SaveScreenshot(frame, "cdlaunch-highlight-test");
  ui::MoveMouse(frame, POINT{20, 20});
  EXPECT_EQ(nullptr, ui::CaptureOf(frame)) << "leaving the button takes the highlight away";
}

TEST_F(CdLaunchTest, OldWindowsNtHasNoBrowseButton) {
  // Wine reports the Windows version chosen for a program by its file name.
  const std::string name = "cdlold" + std::to_string(::GetCurrentProcessId()) + ".exe";
  const std::string appKey = "Software\\Wine\\AppDefaults\\" + name;
  testreg::WriteString(HKEY_CURRENT_USER, appKey, "Version", "nt351");
  struct RemoveKey {
    std::string path;
    ~RemoveKey() { ::SHDeleteKeyA(HKEY_CURRENT_USER, path.c_str()); }
  } removeKey{appKey};
  exe = dir / name;
  ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("cdlaunch.exe").c_str(), exe.c_str(), FALSE));
  Config(
      "[Application Info]\r\nCaption=Veltrane CD-ROM\r\n"
      "[Commands]\r\n1=Browse the CD-ROM\r\n2=browse the cd-rom\r\n3=Exit\r\n"
      "[Browse the CD-ROM]\r\nCommand=explorer.exe\r\n[browse the cd-rom]\r\nCommand=explorer.exe\r\n"
      "[Exit]\r\nCommand=QuitProgram\r\n");
  Start();
  HWND frame = WaitForMenu();
  ASSERT_NE(nullptr, frame);
  EXPECT_EQ((std::vector<std::string>{"browse the cd-rom", "Exit"}), ButtonLabels(frame));
}

TEST_F(CdLaunchTest, SampleCdShowsItsMenu) {
  const std::string sample = BuildSampleCd(dir) + "\\cdlaunch.exe";
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(sample.c_str())) << "the sample CD is built";
  menu = ui::Process::Start(sample);
  HWND frame = WaitForMenu();
  ASSERT_NE(nullptr, frame);
  EXPECT_EQ((std::vector<std::string>{"Install Veltrane", "Read Me", "Browse the CD-ROM", "Exit"}), ButtonLabels(frame));
  HWND install = ui::FindChild(frame, "Install Veltrane", "Button");
  ASSERT_NE(nullptr, install);
  const RECT rc = ui::RectIn(install, frame);
  ui::MoveMouse(frame, POINT{rc.left + 20, (rc.top + rc.bottom) / 2});
  EXPECT_EQ(install, ui::CaptureOf(frame));
  if (!ui::ScreenshotFolder().empty()) {
    EXPECT_TRUE(ui::SaveScreenshot(frame, "cdlaunch-sample-menu"));
    EXPECT_TRUE(ui::SaveScreenshot(frame, "cdlaunch-sample-menu-client", ui::ShotArea::ClientArea));
  }
}

TEST_F(CdLaunchTest, DeviceNamesAreNeverOpenedSoTheMenuNeverHangs) {
  // Read as files, a serial port or the console would never end: the menu
  // would show nothing and could not even be closed. Each case must end or
  // open the menu within a second of what a plain menu takes here.
  Config("[Application Info]\r\nCaption=Veltrane CD-ROM\r\n");
  const DWORD started = ::GetTickCount();
  Start();
  ASSERT_NE(nullptr, WaitForMenu());
  const DWORD budget = ::GetTickCount() - started + 1000;
  menu.Kill();

  struct Case {
    const char* what;
    const char* settings;  // more of [Application Info], then more sections
    bool opens;
    const char* click;  // a button to press once the menu is open; the menu must then end
  } cases[] = {
      {"background COM1", "Bitmap=COM1\r\n", false, nullptr},
      {"background in a folder, blank before the extension", "Bitmap=pics\\com1 .bmp\r\n", false, nullptr},
      {"background CON", "Bitmap=CON\r\n", false, nullptr},
      {"background aux.bmp", "Bitmap=aux.bmp\r\n", false, nullptr},
      {"button pair COM.bmp (COM1.bmp, COM2.bmp)",
       "[Commands]\r\n1=Go\r\n[Go]\r\nBitmap=COM.bmp\r\nCommand=QuitProgram\r\n", true, nullptr},
      {"start-up sound COM1.wav", "PlaySound=COM1.wav\r\n", true, nullptr},
      {"button sound sounds\\COM1.wav",
       "[Commands]\r\n1=Exit\r\n[Exit]\r\nCommand=QuitProgram\r\nPlaySound=sounds\\COM1.wav\r\n", true, "Exit"},
  };
  for (const auto& c : cases) {
    Config(std::string("[Application Info]\r\nCaption=Veltrane CD-ROM\r\n") + c.settings);
    Start();
    if (!c.opens) {
      EXPECT_EQ(std::optional<DWORD>(0), menu.WaitForExit(budget)) << c.what << ": the picture cannot be loaded";
      menu.Kill();
      continue;
    }
    HWND frame = WaitForMenu(kCaption, budget);
    EXPECT_NE(nullptr, frame) << c.what;
    if (HWND go = frame ? ui::FindChild(frame, "Go", "Button") : nullptr) {
      EXPECT_NE(static_cast<LONG>(BS_OWNERDRAW), ::GetWindowLongA(go, GWL_STYLE) & BS_TYPEMASK)
          << c.what << ": a pair that cannot be loaded makes a text button";
    }
    if (frame && c.click) {
      ui::Click(ui::FindChild(frame, c.click, "Button"));
      EXPECT_EQ(std::optional<DWORD>(0), menu.WaitForExit(1000)) << c.what << ": the sound is not played";
    }
    menu.Kill();
  }
}
