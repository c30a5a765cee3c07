// The setup program's end-to-end fixture: the real _setupx.exe, copied with a
// setup profile into a kit folder of the test's own, started under Wine
// with switches and driven from outside: pages are told apart by their
// captions and texts, buttons are pressed, message boxes answered, and the
// outcome is read from the install log, the status report and the windows.
// Every end-to-end test of the setup program builds on it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
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

namespace setup_e2e {

inline const char kAppTitle[] = "Veltrane Setup";
inline const char kConfirmExit[] = "Veltrane installation not complete. Do you really want to exit Setup?";
inline const char kSmsEvent[] = "Could not write SMS status.";
inline const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\veltapp.exe";
inline const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane";
inline const char kWineAppDefaults[] = "Software\\Wine\\AppDefaults\\_setupx.exe";

// A small installation: one directory, one group with one file.
inline const char kProfile[] =
    "[destinations]\r\n"
    "0=Veltrane|-1|C:\\Program Files\\Veltrane\r\n"
    "[groups]\r\n"
    "Program=Program files|Veltrane|1|1|1\r\n"
    "[Program]\r\n"
    "readme.txt=10|0|1|1|0|\r\n"
    "[diskettes]\r\n"
    "1=Veltrane Setup Disk 1|\r\n";

// The one file of that installation, as it lies in the kit.
inline const char kReadme[] = "Read me!\r\n";

// A page or dialog: caption and a text it shows.
struct Page {
  const char* caption;
  const char* text;
};
inline const Page kWelcome{"Welcome", "Welcome to Veltrane."};
inline const Page kAgreement{"License Agreement", "Please read the following License Agreement."};
inline const Page kConditions{"Install Conditions", "Cannot install  Veltrane."};
inline const Page kDirectory{"Select Directory", ""};
inline const Page kStartMenu{"Select Start Menu Folder", ""};
inline const Page kUserInfo{"User Information", ""};
inline const Page kReadyToCopy{kAppTitle, "This Setup program will now copy Veltrane to your computer."};
inline const Page kFinished{kAppTitle, "Thank you for choosing Veltrane."};
inline const Page kRestart{kAppTitle, "Before you can run Veltrane, you will need to restart"};
inline const Page kFailed{kAppTitle, "Veltrane has NOT been properly installed."};
inline const Page kNotRemoved{kAppTitle, "Veltrane has NOT been properly removed."};
inline const Page kRemoved{kAppTitle, "Veltrane has been removed from your computer."};
inline const Page kRemoveConfirm{"Removing Veltrane", "You have chosen to remove Veltrane."};
inline const Page kErrorDialog{"Warning", "Setup cannot continue"};

inline std::vector<std::string> Lines(const std::string& path) {
  std::istringstream in(ReadFileBytes(path));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::string WindowsDirectory() {
  char path[MAX_PATH] = {};
  ::GetWindowsDirectoryA(path, MAX_PATH);
  return path;
}

inline std::string WindowsSystemDirectory() {
  char path[MAX_PATH] = {};
  ::GetSystemDirectoryA(path, MAX_PATH);
  return path;
}

using testreg::ReadString;
using testreg::WriteString;

// A key of an INI file (the install log); nothing when it is missing.
inline std::optional<std::string> ReadString(const std::string& iniFile, const char* section, const char* key) {
  char value[1024] = {};
  ::GetPrivateProfileStringA(section, key, "\x01", value, sizeof value, iniFile.c_str());
  if (std::string(value) == "\x01") return std::nullopt;
  return std::string(value);
}


inline const char kSharedDlls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The SharedDLLs count of the file at path; nothing when it has none.
inline std::optional<DWORD> SharedCount(const std::string& path) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
  const CRegistryKeyHandle key(opened);
  DWORD value = 0;
  DWORD size = sizeof value;
  if (::RegQueryValueExA(key.get(), path.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

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
inline std::string ProgramsFolder() {
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

// One file of a product built into a kit: its installed name, its group
// (Program or Data), its destination (0 the installation directory, 1 its
// Data folder), the archive it travels in (none: a plain file) and its
// bytes.
struct ProductFile {
  std::string name;
  std::string group;
  int destination;
  std::string archive;
  std::string bytes;
};

// Bytes that do not compress (a fixed linear congruential sequence), so
// that a few of them fill diskettes.
inline std::string Noise(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  for (char& c : out) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return out;
}

inline std::string Text(std::size_t size, const std::string& line) {
  std::string out;
  while (out.size() < size) out += line;
  out.resize(size);
  return out;
}

// The keys the User Information page reads the registered owner from.
inline const char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
inline const char kWindowsNtKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";

// A small product: a program in an archive on its own, a plain file and a
// data file in another archive.
inline std::vector<ProductFile> SmallProduct() {
  return {{"veltapp.exe", "Program", 0, "velt.ar1", Noise(60000, 7)},
          {"readme.txt", "Program", 0, "", "Read me.\r\n"},
          {"samples.csv", "Data", 1, "data.ar1", Text(30000, "1,2,3\r\n")}};
}

// Damages a file of a kit: one byte in its middle inverted.
inline void DamageTheMiddleOf(const std::string& path) {
  std::string bytes = ReadFileBytes(path);
  ASSERT_GT(bytes.size(), 20000u) << path;
  bytes[bytes.size() / 2] = static_cast<char>(~bytes[bytes.size() / 2]);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
}

// The restart that a replacement at the next restart waits for, so that no
// rename stays pending for later runs.
inline void CompletePendingRenames() {
  ui::Process boot = ui::Process::Start(WindowsSystemDirectory() + "\\wineboot.exe", "-r");
  ASSERT_TRUE(boot.started());
  EXPECT_TRUE(boot.WaitForExit(60000).has_value());
}

// The bytes of a file that a running program may still be writing (a
// journal): read with every sharing mode; empty when it cannot be read.
inline std::string ReadSharedFile(const std::string& path) {
  const CHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.valid()) return {};
  std::string bytes(::GetFileSize(file.get(), nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty() && !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return {};
  bytes.resize(read);
  return bytes;
}

// The files the system's list of pending renames deletes at the restart,
// one a line, as the list names them.
inline std::string PendingRenames() {
  return testreg::ReadMultiString(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                                  "PendingFileRenameOperations")
      .value_or("");
}

// What a removal leaves in the product's folder: only the running setup
// program, which goes at the restart, under its own name or under the name
// it was moved aside to (a rollback puts back the older copy of a program
// that runs).
inline void ExpectOnlyTheRunningSetupProgramLeft(const std::string& folder) {
  const std::string pending = PendingRenames();
  for (const std::string& name : ListFolder(folder)) {
    if (name == "_setupx.exe") continue;
    EXPECT_NE(std::string::npos, pending.find(folder + "\\" + name)) << name << " is left, and not deleted at the restart";
  }
}

// The Start Menu folder of the kits that BuildKit makes.
inline const char kKitProgramGroup[] = "Veltrane Kit Test";

// Writes the product's files into work\product and their kit description
// into work\kit.ini (destination 0 named folderName, so proposed as
// <Program Files>\<folderName>; destination 1 its Data folder; one program item
// for the first file, veltapp.exe), and builds the kit for media
// ("diskettes" or "cd") with the real kit builder; sections adds to the
// description (a [product], say). Returns the kit's folder,
// work\kit-<media>.
inline std::string BuildKit(const TempDir& work, const std::vector<ProductFile>& files, const std::string& media,
                            unsigned capacity, const std::string& folderName = "Veltrane",
                            const std::string& sections = "") {
  const std::string product = work / "product";
  ::CreateDirectoryA(product.c_str(), nullptr);
  std::string description =
      "[kit]\r\nmedia=" + media + "\r\ncapacity=" + std::to_string(capacity) +
      "\r\nsetup=" + ui::ProgramBesideTest("_setupx.exe") + "\r\npmgroup=" + kKitProgramGroup +
      "\r\n[destinations]\r\n0=" + folderName + "||C:\\Program Files\\" + folderName + "\r\n1=Data|0|\r\n"
      "[groups]\r\nProgram=Program files|The program|1|1|1\r\nData=Data files|Its data|1|1|1\r\n"
      "[targets]\r\n" + files.front().name + "=0|0|0|Veltrane Kit Test|||\r\n" + sections + "[diskettes]\r\n";
  for (int n = 1; n <= 9; ++n) description += std::to_string(n) + "=Kit Test Disk " + std::to_string(n) + "|\r\n";
  for (const char* group : {"Program", "Data"}) {
    description += std::string("[files.") + group + "]\r\n";
    for (const ProductFile& file : files) {
      if (file.group != group) continue;
      WriteFileBytes(product + "\\" + file.name, file.bytes);
      description += file.name + "=product\\" + file.name + "|" + std::to_string(file.destination) +
                     (file.archive.empty() ? "" : "|" + file.archive) + "\r\n";
    }
  }
  WriteFileBytes(work / "kit.ini", description);
  const std::string out = work / ("kit-" + media);
  ui::Process mkkit =
      ui::Process::Start(ui::ProgramBesideTest("mkkit.exe"), "--quiet \"" + (work / "kit.ini") + "\" \"" + out + "\"");
  EXPECT_TRUE(mkkit.started());
  const std::optional<DWORD> code = mkkit.WaitForExit(60000);
  EXPECT_EQ(std::optional<DWORD>(0), code) << "mkkit";
  return out;
}

// The diskette folders of a kit built for diskettes (disk1, disk2, ...),
// the first one first. The further ones are each moved into a folder of
// their own, whose name holds no number, as if each were in the drive only
// when it is asked for: side by side, the setup program finds them without
// asking.
inline std::vector<std::string> DiskettesOneAtATime(const std::string& kitDir) {
  std::vector<std::string> diskettes{kitDir + "\\disk1"};
  for (int n = 2;; ++n) {
    const std::string folder = kitDir + "\\disk" + std::to_string(n);
    if (::GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) break;
    const std::string drive = kitDir + "\\drive" + std::to_string(n);
    const std::string inserted = drive + "\\floppy";
    EXPECT_TRUE(::CreateDirectoryA(drive.c_str(), nullptr) && ::MoveFileA(folder.c_str(), inserted.c_str())) << folder;
    diskettes.push_back(inserted);
  }
  return diskettes;
}

class SetupTest : public ::testing::Test {
protected:
  void SetUp() override {
    exe = kit / "_setupx.exe";
    ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("_setupx.exe").c_str(), exe.c_str(), FALSE))
        << "_setupx.exe is built beside the test program";
    WriteFileBytes(kit / "_setupx.ini", kProfile);
    WriteFileBytes(kit / "readme.txt", kReadme);
    mifLog = kit / "mif.txt";
    ::SetEnvironmentVariableA("VELT_MIF_LOG", mifLog.c_str());
  }
  void TearDown() override {
    setup.Kill();
    ::SetEnvironmentVariableA("VELT_MIF_LOG", nullptr);
  }

  // Installs the recording status library where a systems-management
  // client puts it, in the Windows directory (the setup program never looks
  // beside itself); the fixture takes it away again.
  void InstallStatusLibrary() {
    const std::string library = WindowsDirectory() + "\\ismif32.dll";
    statusLibraryGuard.emplace(library);
    ASSERT_TRUE(::CopyFileA(ui::ProgramBesideTest("mif\\ismif32.dll").c_str(), library.c_str(), FALSE));
  }

  // An older copy (1996-01-01) of a file at path, held open without sharing
  // as a running program holds its DLL; invalid when it could not be made.
  static CHandle HoldOlderCopy(const std::string& path, const std::string& bytes) {
    EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
    EXPECT_TRUE(SetModificationTime(path, 820454400)) << path;
    return CHandle(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
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
  HWND Expect(const Page& page, DWORD timeoutMs = ui::kDefaultTimeout) {
    HWND found = WaitFor(page, timeoutMs);
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
  // Presses label on the page once it has come; false when it did not.
  [[nodiscard]] bool PressOn(const Page& page, const std::string& label, DWORD timeoutMs = ui::kDefaultTimeout) {
    HWND found = Expect(page, timeoutMs);
    if (found) Press(found, label);
    return found != nullptr;
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
  // The program ends within timeoutMs, with the exit code code.
  void ExpectExitCode(DWORD code, DWORD timeoutMs = ui::kDefaultTimeout) {
    const std::optional<DWORD> exitCode = setup.WaitForExit(timeoutMs);
    ASSERT_TRUE(exitCode.has_value()) << "the program did not end; windows shown: " << DescribeWindows();
    EXPECT_EQ(code, *exitCode) << "events of the install log: " << ::testing::PrintToString(Events());
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
  // Starts the program and cancels on the Welcome page, confirming the
  // question: returns the failure page (null when it did not come).
  HWND CancelToTheFailurePage() {
    Start();
    HWND welcome = Expect(kWelcome);
    if (!welcome) return nullptr;
    Press(welcome, "Cancel");
    Answer(kConfirmExit, IDYES);
    return Expect(kFailed);
  }

  // With directoryExists the directory page asks nothing about it.
  HWND WalkToReadyToCopy(const std::string& directory, bool pictures = false, bool directoryExists = false) {
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
    if (!directoryExists) {
      Answer("The destination folder: \n\n" + directory + "\ndoes not exist.  Do you want to create it?", IDYES);
    }
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

  // Answers the Insert Diskette dialog as a user would: More>>, the folder
  // typed, OK.
  bool InsertDiskette(const std::string& folder) {
    HWND dialog = WaitFor({"Insert Diskette", ""}, 30000);
    if (!dialog) return false;
    Press(dialog, "&More>>");
    Type(dialog, 1001, folder);
    Press(dialog, "OK");
    return ui::WaitUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 10000);
  }

  // The texts of the install log's [Events].
  std::vector<std::string> Events() const {
    std::vector<std::string> events;
    for (const auto& [time, text] : ReadIniSection(logPath, "Events")) events.push_back(text);
    return events;
  }

  TempDir kit;
  std::string exe;
  std::string mifLog;
  const std::string logPath = WindowsDirectory() + "\\veltapp.log";
  FileGuard logGuard{logPath};
  // A run that a test ends from outside leaves its journal, which the next
  // run would merge into its log.
  const std::string journalPath = WindowsDirectory() + "\\veltapp.jnl";
  FileGuard journalGuard{journalPath};
  // And a silent run its rollback journal, which the next run would undo.
  const std::string rollbackPath = WindowsDirectory() + "\\veltapp.rbk";
  FileGuard rollbackGuard{rollbackPath};
  RegistryStringGuard appPathGuard{HKEY_LOCAL_MACHINE, kAppPathKey, nullptr};
  RegistryStringGuard uninstallGuard{HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"};
  std::optional<FileGuard> statusLibraryGuard;
  ui::Process setup;
};

// A machine on which the product was never installed: no earlier
// installation to ask about (the guard puts back what was).
class FreshMachineSetupTest : public SetupTest {
protected:
  void SetUp() override {
    SetupTest::SetUp();
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathKey);
  }

  // Ends the run and takes away what an installation into productFolder
  // leaves on the machine: that folder, the install log and its journal,
  // the rollback journal, the App Paths and uninstall entries (shortcuts
  // are the caller's).
  void ClearTheInstallation(const std::string& productFolder) {
    setup.Kill();
    RemoveTree(productFolder);
    ::DeleteFileA(logPath.c_str());
    ::DeleteFileA(journalPath.c_str());
    ::DeleteFileA(rollbackPath.c_str());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathKey);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
  }
};

}  // namespace setup_e2e
