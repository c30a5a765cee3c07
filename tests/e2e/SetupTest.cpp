// The setup program as a user meets it: the real _setupx.exe, copied with a
// setup profile into a kit folder of the test's own, started under Wine
// with switches and driven from outside: pages are told apart by their
// captions and texts, buttons are pressed, message boxes answered, and the
// outcome is read from the install log, the status report and the windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/UiDriver.h"
#include "framework/ScopedHandle.h"

namespace {

const char kAppTitle[] = "Veltrane Setup";
const char kConfirmExit[] = "Veltrane installation not complete. Do you really want to exit Setup?";
const char kSmsEvent[] = "Could not write SMS status.";
const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\veltapp.exe";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane";
const char kWineAppDefaults[] = "Software\\Wine\\AppDefaults\\_setupx.exe";

// A small installation: one directory, one group with one file.
const char kProfile[] =
    "[destinations]\r\n"
    "0=Veltrane|-1|C:\\Program Files\\Veltrane\r\n"
    "[groups]\r\n"
    "Program=Program files|Veltrane|1|1|1\r\n"
    "[Program]\r\n"
    "readme.txt=10|0|1|1|0|\r\n"
    "[diskettes]\r\n"
    "1=Veltrane Setup Disk 1|\r\n";

// A page or dialog: caption and a text it shows.
struct Page {
  const char* caption;
  const char* text;
};
const Page kWelcome{"Welcome", "Welcome to Veltrane."};
const Page kAgreement{"License Agreement", "Please read the following License Agreement."};
const Page kConditions{"Install Conditions", "Cannot install  Veltrane."};
const Page kDirectory{"Select Directory", ""};
const Page kStartMenu{"Select Start Menu Folder", ""};
const Page kUserInfo{"User Information", ""};
const Page kReadyToCopy{kAppTitle, "This Setup program will now copy Veltrane to your computer."};
const Page kFinished{kAppTitle, "Thank you for choosing Veltrane."};
const Page kFailed{kAppTitle, "Veltrane has NOT been properly installed."};
const Page kNotRemoved{kAppTitle, "Veltrane has NOT been properly removed."};
const Page kRemoved{kAppTitle, "Veltrane has been removed from your computer."};
const Page kRemoveConfirm{"Removing Veltrane", "You have chosen to remove Veltrane."};
const Page kErrorDialog{"Warning", "Setup cannot continue"};

std::vector<std::string> Lines(const std::string& path) {
  std::istringstream in(ReadFileBytes(path));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string WindowsDirectory() {
  char path[MAX_PATH] = {};
  ::GetWindowsDirectoryA(path, MAX_PATH);
  return path;
}

using testreg::ReadString;
using testreg::WriteString;

// Puts a registry string back as it was when the object was made.
class RegistryStringGuard {
public:
  RegistryStringGuard(HKEY root, std::string key, const char* name)
      : root_(root), key_(std::move(key)), name_(name), saved_(ReadString(root_, key_, name_)) {}
  ~RegistryStringGuard() {
    if (saved_) {
      WriteString(root_, key_, name_, *saved_);
    } else {
      ::RegDeleteKeyA(root_, key_.c_str());
    }
  }
  RegistryStringGuard(const RegistryStringGuard&) = delete;
  RegistryStringGuard& operator=(const RegistryStringGuard&) = delete;

private:
  HKEY root_;
  std::string key_;
  const char* name_;
  std::optional<std::string> saved_;
};

// Keeps a file's content (or its absence) and puts it back.
class FileGuard {
public:
  explicit FileGuard(std::string path) : path_(std::move(path)) {
    existed_ = ::GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (existed_) content_ = ReadFileBytes(path_);
    ::DeleteFileA(path_.c_str());
  }
  ~FileGuard() {
    ::DeleteFileA(path_.c_str());
    if (existed_) WriteFileBytes(path_, content_);
  }
  FileGuard(const FileGuard&) = delete;
  FileGuard& operator=(const FileGuard&) = delete;

private:
  std::string path_;
  bool existed_ = false;
  std::string content_;
};

// The current user's Start Menu "Programs" folder, as the shell names it.
std::string ProgramsFolder() {
  const std::optional<std::string> programs = ReadString(
      HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Programs");
  if (programs && !programs->empty()) return *programs;
  return WindowsDirectory() + "\\Start Menu\\Programs";
}

// Removes a shortcut and its Start Menu folder (when that is left empty),
// now and when the object goes. The Programs folder is looked up each time:
// the shell may name it only once a program has asked for it.
class ShortcutGuard {
public:
  ShortcutGuard(std::string group, std::string link) : group_(std::move(group)), link_(std::move(link)) { Remove(); }
  ~ShortcutGuard() { Remove(); }
  ShortcutGuard(const ShortcutGuard&) = delete;
  ShortcutGuard& operator=(const ShortcutGuard&) = delete;

private:
  void Remove() const {
    const std::string folder = ProgramsFolder() + "\\" + group_;
    ::DeleteFileA((folder + "\\" + link_).c_str());
    ::RemoveDirectoryA(folder.c_str());
  }
  std::string group_;
  std::string link_;
};

class SetupTest : public ::testing::Test {
protected:
  void SetUp() override {
    exe = kit / "_setupx.exe";
    ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("_setupx.exe").c_str(), exe.c_str(), FALSE))
        << "_setupx.exe is built beside the test program";
    WriteFileBytes(kit / "_setupx.ini", kProfile);
    mifLog = kit / "mif.txt";
    ::SetEnvironmentVariableA("VELT_MIF_LOG", mifLog.c_str());
  }
  void TearDown() override {
    setup.Kill();
    ::SetEnvironmentVariableA("VELT_MIF_LOG", nullptr);
  }

  // Puts the recording status library beside the setup program.
  void InstallStatusLibrary() {
    ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("mif\\ismif32.dll").c_str(), (kit / "ismif32.dll").c_str(), FALSE));
  }

  void Start(const std::string& arguments = {}, const std::string& program = {}) {
    setup = ui::Process::Start(program.empty() ? exe : program, arguments, WindowsDirectory());
    ASSERT_TRUE(setup.started()) << "CreateProcess error " << setup.startError();
  }

  HWND WaitFor(const Page& page, DWORD timeoutMs = ui::kDefaultTimeout) {
    ui::WindowMatch match;
    match.caption = page.caption;
    match.className = "#32770";
    match.containsText = page.text;
    return setup.WaitForWindow(match, timeoutMs);
  }
  // The page, which must come; a test ends when it does not.
  HWND Expect(const Page& page) {
    HWND found = WaitFor(page);
    EXPECT_NE(nullptr, found) << "page \"" << page.caption << "\" / \"" << page.text << "\" did not appear; "
                              << "windows shown: " << DescribeWindows();
    return found;
  }
  // The program's windows with their texts, for failure messages.
  std::string DescribeWindows() const {
    std::string text;
    for (HWND w : setup.Windows()) {
      text += "\n  [" + ui::ClassName(w) + "] \"" + ui::WindowText(w) + "\":";
      for (HWND child : ui::Children(w)) {
        const std::string childText = ui::WindowText(child);
        if (!childText.empty()) text += " \"" + childText.substr(0, 60) + "\"";
      }
    }
    return text;
  }
  // The background window: the program's one window of a class of the
  // framework's own.
  HWND MainWindow() const {
    for (HWND w : setup.Windows()) {
      if (ui::ClassName(w).rfind("VeltWnd", 0) == 0) return w;
    }
    return nullptr;
  }

  static void Press(HWND page, const std::string& label) {
    HWND button = ui::FindChild(page, label, "Button");
    ASSERT_NE(nullptr, button) << "no button " << label;
    ui::Click(button);
  }
  // A message box of the program with the given text; answered with id.
  void Answer(const std::string& text, int id) {
    const Page box{kAppTitle, text.c_str()};
    HWND found = WaitFor(box);
    ASSERT_NE(nullptr, found) << "no message box \"" << text << "\"";
    ui::AnswerDialog(found, id);
  }
  void ExpectEndsWithin(DWORD timeoutMs = ui::kDefaultTimeout) {
    EXPECT_TRUE(setup.WaitForExit(timeoutMs).has_value()) << "the program did not end";
  }

  // Sets the text of a page's edit control as typing would (the edit
  // tells its page about the change).
  static void Type(HWND page, int editId, const std::string& text) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(::GetDlgItem(page, editId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                          SMTO_ABORTIFHUNG, 5000, &ignored);
  }
  static bool Enabled(HWND page, const std::string& label) {
    HWND button = ui::FindChild(page, label, "Button");
    return button && ::IsWindowEnabled(button);
  }
  static void Picture(HWND window, const std::string& name) { ui::SaveScreenshot(window, "setupx-" + name); }

  // From Welcome to Ready to Copy, installing into directory; returns the
  // Ready to Copy page (null when the walk broke off).
  HWND WalkToReadyToCopy(const std::string& directory, bool pictures = false) {
    HWND welcome = Expect(kWelcome);
    if (!welcome) return nullptr;
    if (pictures) Picture(welcome, "102");
    Press(welcome, "&Next >");
    HWND agreement = Expect(kAgreement);
    if (!agreement) return nullptr;
    if (pictures) Picture(agreement, "150");
    Press(agreement, "&Yes");
    HWND directoryPage = Expect(kDirectory);
    if (!directoryPage) return nullptr;
    Type(directoryPage, 1001, directory);
    Press(directoryPage, "&Next >");
    Answer("The destination folder: \n\n" + directory + "\ndoes not exist.  Do you want to create it?", IDYES);
    HWND startMenu = Expect(kStartMenu);
    if (!startMenu) return nullptr;
    if (pictures) Picture(startMenu, "162");
    Press(startMenu, "&Next >");
    HWND userInfo = Expect(kUserInfo);
    if (!userInfo) return nullptr;
    Type(userInfo, 1030, "");
    EXPECT_TRUE(ui::WaitUntil([&] { return !Enabled(userInfo, "&Next >"); }, 5000)) << "Next needs a name";
    Type(userInfo, 1030, "Ada Lovelace");
    Type(userInfo, 1031, "Analytical Engines Ltd.");
    EXPECT_TRUE(ui::WaitUntil([&] { return Enabled(userInfo, "&Next >"); }, 5000)) << "a name enables Next";
    if (pictures) Picture(userInfo, "126");
    Press(userInfo, "&Next >");
    HWND ready = Expect(kReadyToCopy);
    if (ready && pictures) Picture(ready, "153");
    return ready;
  }

  std::vector<std::string> Events() const {
    char buffer[8192] = {};
    ::GetPrivateProfileSectionA("Events", buffer, sizeof buffer, logPath.c_str());
    std::vector<std::string> events;
    for (const char* p = buffer; *p; p += std::strlen(p) + 1) {
      const std::string entry = p;
      events.push_back(entry.substr(entry.find('=') + 1));
    }
    return events;
  }

  TempDir kit;
  std::string exe;
  std::string mifLog;
  const std::string logPath = WindowsDirectory() + "\\veltapp.log";
  FileGuard logGuard{logPath};
  RegistryStringGuard appPathGuard{HKEY_LOCAL_MACHINE, kAppPathKey, nullptr};
  RegistryStringGuard uninstallGuard{HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"};
  ui::Process setup;
};

}  // namespace

TEST_F(SetupTest, CancelOnTheFirstPageAsksThenEndsOnTheFailurePageAndLogsTheMissingStatusLibrary) {
  Start();
  HWND welcome = Expect(kWelcome);
  ASSERT_NE(nullptr, welcome);
  Press(welcome, "Cancel");
  Answer(kConfirmExit, IDYES);
  HWND failed = Expect(kFailed);
  ASSERT_NE(nullptr, failed);
  Picture(failed, "116");
  Press(failed, "&OK");
  ExpectEndsWithin();
  EXPECT_EQ(std::vector<std::string>{kSmsEvent}, Events());
}

TEST_F(SetupTest, StatusLibraryReceivesTheReportInItsOwnOrder) {
  InstallStatusLibrary();
  Start();
  HWND welcome = Expect(kWelcome);
  ASSERT_NE(nullptr, welcome);
  Press(welcome, "Cancel");
  Answer(kConfirmExit, IDYES);
  HWND failed = Expect(kFailed);
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
  ExpectEndsWithin();
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
  welcome = Expect(kWelcome);
  ASSERT_NE(nullptr, welcome);
  Press(welcome, "&Next >");
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
  EXPECT_TRUE(Events().empty());
  // Registered: the installed program, and the setup program's name in the
  // installation directory as the command that removes the product.
  EXPECT_EQ(target + "\\veltapp.exe", ReadString(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr));
  EXPECT_EQ(target + "\\" + exe.substr(exe.find_last_of('\\') + 1) + " /U",
            ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
  // The program item's shortcut; the item without a program gets none.
  const std::string groupFolder = ProgramsFolder() + "\\" + group;
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((groupFolder + "\\Veltrane Viewer.lnk").c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((groupFolder + "\\Read Me.lnk").c_str()));

  // And off again: the removal reads the install log, group sections and
  // all, with the loaders of the profile.
  Start("/U");
  HWND confirm = Expect(kRemoveConfirm);
  ASSERT_NE(nullptr, confirm);
  Press(confirm, "&Next >");
  HWND removed = Expect(kRemoved);
  ASSERT_NE(nullptr, removed);
  Press(removed, "&OK");
  ExpectEndsWithin();
}

TEST_F(SetupTest, BatchModeWalksByItselfWithHiddenWindowsAndStopsWhereValidationFails) {
  const std::optional<std::string> programFiles =
      ReadString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
  ASSERT_TRUE(programFiles.has_value());
  const std::string defaultDirectory = *programFiles + "\\Veltrane";
  if (::GetFileAttributesA(defaultDirectory.c_str()) != INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << defaultDirectory << " exists: the directory page would accept it";
  }

  Start("/B");
  // Nobody presses anything: the directory page asks about its default
  // directory by itself.
  Answer("does not exist.  Do you want to create it?", IDNO);
  Answer("Cannot Create Directory", IDOK);
  HWND directoryPage = Expect(kDirectory);
  ASSERT_NE(nullptr, directoryPage);
  const RECT rc = ui::RectIn(directoryPage, nullptr);
  EXPECT_EQ(0, rc.right - rc.left) << "pages have no size in batch mode";
  EXPECT_EQ(0, rc.bottom - rc.top) << "pages have no size in batch mode";
  HWND main = MainWindow();
  ASSERT_NE(nullptr, main);
  EXPECT_TRUE(::IsIconic(main)) << "the background window is minimised";
  EXPECT_TRUE(setup.NoWindowFor({kStartMenu.caption, "#32770", ""}, 2000)) << "the walk stopped on the directory page";
}
