// The setup program as a user meets it: the walk through the pages, the
// questions it asks, batch mode and the status report.
#include "SetupFixture.h"

using namespace setup_e2e;

TEST_F(SetupTest, CancelOnTheFirstPageAsksThenEndsOnTheFailurePageAndLogsTheMissingStatusLibrary) {
  HWND failed = CancelToTheFailurePage();
  ASSERT_NE(nullptr, failed);
  Picture(failed, "116");
  Press(failed, "&OK");
  ExpectEndsWithin();
  EXPECT_EQ(std::vector<std::string>{kSmsEvent}, Events());
}

TEST_F(SetupTest, StatusLibraryReceivesTheReportInItsOwnOrder) {
  InstallStatusLibrary();
  HWND failed = CancelToTheFailurePage();
  ASSERT_NE(nullptr, failed);
  Press(failed, "&OK");
  ExpectEndsWithin();
  const std::vector<std::string> expected = {"veltapp", "Tarvo Inc.", "Veltrane",        "2.0",
                                             "ENU",     "(null)",     "Install failed.", "0"};
  EXPECT_EQ(expected, Lines(mifLog));
  EXPECT_TRUE(Events().empty()) << "a report that was sent leaves no event";
}

TEST_F(SetupTest, RemoveModeStartsOnTheRemovePageAndCancelFailsWithoutAQuestionOrAReport) {
  InstallStatusLibrary();
  Start("/U");
  HWND confirm = Expect(kRemoveConfirm);
  ASSERT_NE(nullptr, confirm);
  EXPECT_FALSE(::IsWindowEnabled(ui::FindChild(confirm, "< &Back", "Button"))) << "the first page has no Back";
  Press(confirm, "Cancel");
  HWND failed = Expect(kNotRemoved);
  ASSERT_NE(nullptr, failed);
  EXPECT_TRUE(setup.NoWindowFor({kAppTitle, "#32770", kConfirmExit}, 0)) << "no exit question";
  Press(failed, "&OK");
  ExpectEndsWithin();
  EXPECT_TRUE(Events().empty()) << "remove mode sends no report";
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(mifLog.c_str())) << "remove mode sends no report";
}

TEST_F(SetupTest, AlreadyInstalledQuestionOnlyWhenAppPathsNamesAWindowsProgram) {
  InstallStatusLibrary();
  // A Windows program: the question names its directory; No ends the run
  // before any page, as a failed one.
  WriteString(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr, exe);
  Start();
  Answer("Veltrane appears to be already installed in directory\n\n" + kit.path() + "\n\nDo you want to continue?",
         IDNO);
  ExpectEndsWithin();
  EXPECT_TRUE(setup.NoWindowFor({kWelcome.caption, "#32770", kWelcome.text}, 0));
  const std::vector<std::string> lines = Lines(mifLog);
  ASSERT_EQ(8u, lines.size());
  EXPECT_EQ("Install failed.", lines[6]);

  // Yes goes on to the Welcome page.
  Start();
  Answer("Veltrane appears to be already installed", IDYES);
  EXPECT_NE(nullptr, Expect(kWelcome));
  setup.Kill();

  // Not a Windows program: no question.
  for (const std::string& notAProgram : {kit / "_setupx.ini", kit / "missing.exe"}) {
    WriteString(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr, notAProgram);
    Start();
    EXPECT_NE(nullptr, Expect(kWelcome)) << notAProgram;
    EXPECT_TRUE(setup.NoWindowFor({kAppTitle, "#32770", "appears to be already installed"}, 0)) << notAProgram;
    setup.Kill();
  }
}

TEST_F(SetupTest, AltF4AsksTheExitQuestionAndYesOnlyMarksTheRunFailed) {
  InstallStatusLibrary();
  Start();
  HWND welcome = Expect(kWelcome);
  ASSERT_NE(nullptr, welcome);
  HWND main = MainWindow();
  ASSERT_NE(nullptr, main);

  ::PostMessageA(main, WM_CLOSE, 0, 0);
  Answer(kConfirmExit, IDNO);
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  Answer(kConfirmExit, IDYES);
  EXPECT_TRUE(ui::WaitUntil([&] { return setup.NoWindowFor({kAppTitle, "#32770", kConfirmExit}, 0); }));
  EXPECT_TRUE(::IsWindow(main)) << "the background window is never closed";
  EXPECT_TRUE(::IsWindowVisible(welcome)) << "the wizard goes on";

  // The walk goes on as before, and ends on the failure page.
  HWND ready = WalkToReadyToCopy(kit / "Veltrane");
  ASSERT_NE(nullptr, ready);
  Press(ready, "&Copy");
  HWND failed = Expect(kFailed);
  ASSERT_NE(nullptr, failed);
  Press(failed, "&OK");
  ExpectExitCode(1602);  // the user ended the run
  const std::vector<std::string> lines = Lines(mifLog);
  ASSERT_EQ(8u, lines.size());
  EXPECT_EQ("Install failed.", lines[6]);
  EXPECT_EQ("0", lines[7]);
}

TEST_F(SetupTest, SourceDirectorySwitchNeedsItsColon) {
  // The program lies in a folder without a profile; the kit is named on
  // the command line.
  TempDir elsewhere;
  const std::string program = elsewhere / "_setupx.exe";
  ASSERT_TRUE(::CopyFileA(exe.c_str(), program.c_str(), FALSE));

  Start("/D:" + kit.path(), program);
  HWND welcome = Expect(kWelcome);
  ASSERT_NE(nullptr, welcome);
  Press(welcome, "&Next >");
  EXPECT_NE(nullptr, Expect(kAgreement)) << "the profile was read from the kit";
  setup.Kill();

  // Without the colon the key is "DC" (or whatever follows the D): ignored,
  // so the program looks beside itself and finds no profile.
  const std::string withoutColon = "/D" + kit.path();
  Start(withoutColon, program);
  ASSERT_TRUE(PressOn(kWelcome, "&Next >"));
  HWND error = Expect(kErrorDialog);
  ASSERT_NE(nullptr, error);
  EXPECT_NE(nullptr, ui::FindChild(error, "9.0 (CInstallProfileException)")) << "error information line";
  ui::AnswerDialog(error, IDOK);
  EXPECT_NE(nullptr, Expect(kFailed));
}

TEST_F(SetupTest, OldWindowsVersionShowsTheConditionsPageAndOnlyTheIgnoreSwitchPassesIt) {
  RegistryStringGuard version(HKEY_CURRENT_USER, kWineAppDefaults, "Version");
  WriteString(HKEY_CURRENT_USER, kWineAppDefaults, "Version", "win31");
  struct Case {
    const char* arguments;
    Page after;
  } cases[] = {{"", kFailed}, {"/I", kDirectory}};
  for (const auto& c : cases) {
    Start(c.arguments);
    HWND welcome = Expect(kWelcome);
    ASSERT_NE(nullptr, welcome) << c.arguments;
    Press(welcome, "&Next >");
    HWND agreement = Expect(kAgreement);
    ASSERT_NE(nullptr, agreement) << c.arguments;
    Press(agreement, "&Yes");
    HWND conditions = Expect(kConditions);
    ASSERT_NE(nullptr, conditions) << c.arguments;
    EXPECT_NE(nullptr, ui::FindChild(conditions,
                                     "- This program requires either Windows 95 or later, or Windows NT version 4 "
                                     "or later to be running.\r\n"))
        << c.arguments;
    Press(conditions, "&Next >");
    EXPECT_NE(nullptr, Expect(c.after)) << c.arguments;
    setup.Kill();
  }
}

TEST_F(SetupTest, InstallWalkForwardsAndBackwardsEndsOnTheFinishedPage) {
  InstallStatusLibrary();
  Start();
  // The splash on the background window, before the first page.
  HWND splash = nullptr;
  ui::WaitUntil([&] {
    for (HWND w : setup.Windows()) {
      const RECT rc = ui::RectIn(w, nullptr);
      if (ui::ClassName(w) == "#32770" && rc.right - rc.left == 520 && rc.bottom - rc.top == 316) splash = w;
    }
    return splash != nullptr || !setup.IsRunning();
  });
  EXPECT_NE(nullptr, splash) << "the splash shows its 520 x 316 picture";
  // The program answers no message while the splash shows: the picture is
  // taken of the whole screen, whose window answers for it.
  if (splash) Picture(::GetDesktopWindow(), "splash");

  HWND welcome = Expect(kWelcome);
  ASSERT_NE(nullptr, welcome);
  HWND main = MainWindow();
  ASSERT_NE(nullptr, main);
  EXPECT_TRUE(::IsZoomed(main)) << "the background covers the screen, whatever the launcher asked for";
  EXPECT_FALSE(Enabled(welcome, "< &Back")) << "the first page has no Back";
  Press(welcome, "&Next >");
  HWND agreement = Expect(kAgreement);
  ASSERT_NE(nullptr, agreement);
  EXPECT_EQ(nullptr, ui::FindChild(agreement, "&Next >")) << "Next reads Yes";
  // Back from the agreement passes over the Reading page to Welcome.
  Press(agreement, "< &Back");
  ASSERT_EQ(welcome, Expect(kWelcome));
  Press(welcome, "&Next >");
  ASSERT_EQ(agreement, Expect(kAgreement));
  Press(agreement, "&Yes");
  // Back from the directory page returns to the agreement: the skipped
  // Install Conditions page is not on the way.
  HWND directoryPage = Expect(kDirectory);
  ASSERT_NE(nullptr, directoryPage);
  Press(directoryPage, "< &Back");
  ASSERT_EQ(agreement, Expect(kAgreement));
  Press(agreement, "&Yes");
  ASSERT_EQ(directoryPage, Expect(kDirectory));
  setup.Kill();

  // Once more, all the way, with pictures, and with a program item in a
  // Start Menu folder of the test's own.
  const std::string target = kit / "Veltrane";
  const std::string group = "Veltrane Test " + std::to_string(::GetCurrentProcessId());
  WriteFileBytes(kit / "_setupx.ini", std::string(kProfile) + "[PMGroup]\r\nPMGroup=" + group +
                                     "\r\n[targets]\r\nveltapp.exe=0|0|0|Veltrane Viewer|-v||" + target +
                                     "\\veltapp.exe\r\nreadme.txt=0|0|0|Read Me|||\r\n");
  const ShortcutGuard shortcutGuard(group, "Veltrane Viewer.lnk");
  const ShortcutGuard readMeGuard(group, "Read Me.lnk");
  Start();
  HWND ready = WalkToReadyToCopy(target, true);
  ASSERT_NE(nullptr, ready);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(target.c_str()))
      << "the directory page created the directory only to check it";
  Press(ready, "&Copy");
  HWND finished = Expect(kFinished);
  ASSERT_NE(nullptr, finished);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(target.c_str())) << "Ready to Copy created it";
  Press(finished, "Finished");
  ExpectEndsWithin();
  const std::vector<std::string> expected = {"veltapp", "Tarvo Inc.", "Veltrane", "2.0", "ENU", "(null)",
                                             "Successful installation.", "1"};
  EXPECT_EQ(expected, Lines(mifLog));
  // The fixture's kit is made by hand, without mkkit's seal.
  EXPECT_EQ(std::vector<std::string>{"Kit not checked: it has no seal (_kitseal.sha)"}, Events());
  // Registered: the installed program, and the setup program's name in the
  // installation directory as the command that removes the product.
  EXPECT_EQ(target + "\\veltapp.exe", ReadString(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr));
  EXPECT_EQ(target + "\\" + exe.substr(exe.find_last_of('\\') + 1) + " /U",
            ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
  // The file was copied, recorded, and its program item points at it.
  EXPECT_EQ(kReadme, ReadFileBytes(target + "\\readme.txt"));
  EXPECT_EQ("0|1|0", ReadString(logPath, "Program", "readme.txt"));
  EXPECT_EQ("0|0|0|Read Me|||" + target + "\\readme.txt", ReadString(logPath, "targets", "readme.txt"));
  // The program items' shortcuts: the one whose program the profile names,
  // and the one whose program the copy installed.
  const std::string groupFolder = ProgramsFolder() + "\\" + group;
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((groupFolder + "\\Veltrane Viewer.lnk").c_str()));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((groupFolder + "\\Read Me.lnk").c_str()));

  // And off again: the removal reads the install log, group sections and
  // all, with the loaders of the profile.
  Start("/U");
  ASSERT_TRUE(PressOn(kRemoveConfirm, "&Next >"));
  ASSERT_TRUE(PressOn(kRemoved, "&OK"));
  ExpectEndsWithin();
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(target.c_str())) << "the file and its directory went";
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(groupFolder.c_str())) << "the shortcuts and their folder";
  EXPECT_EQ(std::nullopt, ReadString(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr));
  EXPECT_EQ(std::nullopt, ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(logPath.c_str())) << "the log is in the Recycle Bin";
}

TEST_F(SetupTest, BatchModeWalksByItselfWithHiddenWindowsAndStopsWhereValidationFails) {
  const std::optional<std::string> programFiles =
      ReadString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
  ASSERT_TRUE(programFiles.has_value());
  const std::string defaultDirectory = *programFiles + "\\Veltrane";
  if (::GetFileAttributesA(defaultDirectory.c_str()) != INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << defaultDirectory << " exists: the directory page would accept it without creating it";
  }
  // No registered owner: the User Information page has no name to go on
  // with.
  const testreg::ScopedStringValue windowsOwner(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                                                "RegisteredOwner", "");
  const testreg::ScopedStringValue ntOwner(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion",
                                           "RegisteredOwner", "");

  Start("/B");
  // Nobody presses anything: the directory page takes its default
  // directory, which does not exist, without asking whether to create it.
  HWND userInfo = Expect(kUserInfo);
  ASSERT_NE(nullptr, userInfo);
  EXPECT_TRUE(setup.NoWindowFor({kAppTitle, "#32770", "Do you want to create it?"}, 0));
  const RECT rc = ui::RectIn(userInfo, nullptr);
  EXPECT_EQ(0, rc.right - rc.left) << "pages have no size in batch mode";
  EXPECT_EQ(0, rc.bottom - rc.top) << "pages have no size in batch mode";
  HWND main = MainWindow();
  ASSERT_NE(nullptr, main);
  EXPECT_TRUE(::IsIconic(main)) << "the background window is minimised";
  EXPECT_TRUE(setup.NoWindowFor({kReadyToCopy.caption, "#32770", kReadyToCopy.text}, 2000))
      << "the walk stopped on the page without a user name";
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(defaultDirectory.c_str()))
      << "the directory was made only to see that it can be made";
}
