// Removal for real: a product of the test's own is packed by the kit
// builder and installed by the real setup program, then taken off again by
// the command its uninstall entry holds. The machine afterwards must be the
// machine before: every file under drive C and every key and value under
// HKLM\Software, HKCU\Software and HKCR, except what the user made and the
// setup program itself, which goes at the next restart.
#include <algorithm>
#include <cctype>
#include <set>

#include "SetupFixture.h"

using namespace setup_e2e;

namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

// What the machine holds, one line per file, folder, key and value.
using Snapshot = std::set<std::string>;

void AddFiles(const std::string& folder, const std::vector<std::string>& skipped, Snapshot& out) {
  WIN32_FIND_DATAA found;
  const HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    const auto below = [&path](const std::string& s) { return StartsWithIgnoringCase(path, s); };
    if (std::any_of(skipped.begin(), skipped.end(), below)) {
      continue;
    }
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out.insert("folder " + path);
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) AddFiles(path, skipped, out);
    } else {
      out.insert("file " + path + " (" + std::to_string(found.nFileSizeLow) + " bytes)");
    }
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
}

void AddKeys(HKEY root, const std::string& name, const std::string& path, Snapshot& out) {
  if (StartsWithIgnoringCase(path + "\\", "Software\\Wine\\")) return;
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
  const CRegistryKeyHandle key(opened);
  const std::string full = name + "\\" + path;
  out.insert("key " + full);
  std::vector<char> valueName(16384);
  std::vector<BYTE> data(65536);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(valueName.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = 0;
    const LONG rc = ::RegEnumValueA(key.get(), i, valueName.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
    if (rc == ERROR_MORE_DATA) {
      out.insert("value " + full + " #" + std::to_string(i) + " too long to compare");
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    out.insert("value " + full + " [" + std::string(valueName.data(), nameSize) + "] type " + std::to_string(type) +
               " = " + std::string(reinterpret_cast<const char*>(data.data()), dataSize));
  }
  std::vector<std::string> children;
  char child[256];
  for (DWORD i = 0; ::RegEnumKeyA(key.get(), i, child, sizeof child) == ERROR_SUCCESS; ++i) children.push_back(child);
  for (const std::string& c : children) AddKeys(root, name, path.empty() ? c : path + "\\" + c, out);
}

// Lines of a that b lacks.
std::vector<std::string> Missing(const Snapshot& a, const Snapshot& b) {
  std::vector<std::string> lines;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(lines));
  return lines;
}

class RemovalTest : public SetupTest {
protected:
  void SetUp() override {
    SetupTest::SetUp();
    programFiles =
        ReadString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir").value_or("");
    ASSERT_FALSE(programFiles.empty());
    target = programFiles + "\\Veltrane Removal " + id;
    extras = programFiles + "\\Veltrane Extras " + id;
    shared = WindowsSystemDirectory() + "\\velt" + id + ".dll";
  }
  void TearDown() override {
    SetupTest::TearDown();
    RemoveTree(target);
    RemoveTree(extras);
    ::DeleteFileA(shared.c_str());
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_ALL_ACCESS, &opened) == ERROR_SUCCESS) {
      const CRegistryKeyHandle key(opened);
      ::RegDeleteValueA(key.get(), shared.c_str());
    }
  }

  // The product: a program and its read-me in the installation directory,
  // data in Data and Data\Samples below it, an extra file in a directory of
  // its own, and a library shared with other products in the System
  // directory; two program items.
  std::string BuildKit() {
    const std::string product = work / "product";
    ::CreateDirectoryA(product.c_str(), nullptr);
    const struct {
      const char* name;
      const char* group;
      const char* destination;
      const char* archive;
    } files[] = {
        {"veltapp.exe", "Program", "0", "velt.ar1"}, {"readme.txt", "Program", "0", ""},
        {"shared.dll", "Program", "-3", "velt.ar1"}, {"samples.csv", "Data", "1", "data.ar1"},
        {"deep.dat", "Data", "2", ""},               {"extra.txt", "Data", "3", ""},
    };
    std::string description =
        "[kit]\r\nmedia=cd\r\ncapacity=2000000\r\nsetup=" + ui::ProgramBesideTest("_setupx.exe") +
        "\r\npmgroup=" + group + "\r\n[destinations]\r\n0=Veltrane||C:\\Program Files\\Veltrane\r\n1=Data|0|\r\n" +
        "2=Samples|1|\r\n3=Extras||" + extras + "\r\n[groups]\r\nProgram=Program files|The program|1|1|1\r\n" +
        "Data=Data files|Its data|1|1|1\r\n[targets]\r\nveltapp.exe=0|0|0|Veltrane Removal|||\r\n" +
        "readme.txt=0|0|0|Removal Read Me|||\r\n[diskettes]\r\n1=Removal Test Disk 1|\r\n";
    for (const char* section : {"Program", "Data"}) {
      description += std::string("[files.") + section + "]\r\n";
      for (const auto& file : files) {
        if (std::string(file.group) != section) continue;
        WriteFileBytes(product + "\\" + file.name, std::string(file.name) + " of the product\r\n");
        description += std::string(file.name) + "=product\\" + file.name + "|" + file.destination +
                       (*file.archive ? std::string("|") + file.archive : std::string()) + "\r\n";
      }
    }
    // The shared library is the kit's own file under the name it is
    // installed by.
    description.replace(description.find("shared.dll="), 10, shared.substr(shared.find_last_of('\\') + 1));
    WriteFileBytes(work / "kit.ini", description);
    const std::string out = work / "kit";
    ui::Process mkkit = ui::Process::Start(ui::ProgramBesideTest("mkkit.exe"),
                                           "--quiet \"" + (work / "kit.ini") + "\" \"" + out + "\"");
    EXPECT_TRUE(mkkit.started());
    EXPECT_EQ(std::optional<DWORD>(0), mkkit.WaitForExit(60000)) << "mkkit";
    return out;
  }

  // Drive C with the test's own folders left out, and the keys that the
  // installation may touch (but Wine's own settings, which Wine changes as
  // programs run).
  Snapshot Machine() const {
    Snapshot snapshot;
    AddFiles("C:", {kit.path(), work.path()}, snapshot);
    AddKeys(HKEY_LOCAL_MACHINE, "HKLM", "Software", snapshot);
    AddKeys(HKEY_CURRENT_USER, "HKCU", "Software", snapshot);
    AddKeys(HKEY_CLASSES_ROOT, "HKCR", "", snapshot);
    return snapshot;
  }

  TempDir work;
  const std::string id = std::to_string(::GetCurrentProcessId());
  const std::string group = "Veltrane Removal " + id;
  std::string programFiles;
  std::string target;
  std::string extras;
  std::string shared;
  ShortcutGuard programGuard{group, "Veltrane Removal.lnk"};
  ShortcutGuard readMeGuard{group, "Removal Read Me.lnk"};
};

}  // namespace

TEST_F(RemovalTest, TheUninstallCommandLeavesTheMachineAsItWasButForTheUsersFiles) {
  const std::string kitDir = BuildKit();
  // Another product installed the shared library before and counts it.
  const std::string sharedName = shared.substr(shared.find_last_of('\\') + 1);
  ASSERT_TRUE(WriteFileBytes(shared, "shared.dll of the product\r\n"));
  const DWORD one = 1;
  testreg::WriteRaw(HKEY_LOCAL_MACHINE, kSharedDlls, shared.c_str(), REG_DWORD,
                    std::string(reinterpret_cast<const char*>(&one), sizeof one));
  const Snapshot before = Machine();

  Start({}, kitDir + "\\DISK01\\_setupx.exe");
  HWND ready = WalkToReadyToCopy(target);
  ASSERT_NE(nullptr, ready);
  Press(ready, "&Copy");
  ASSERT_TRUE(PressOn(kFinished, "Finished", 60000));
  ExpectEndsWithin();
  ASSERT_EQ("Program files|The program|1|1|1", ReadString(logPath, "groups", "Program")) << "installed";
  EXPECT_EQ(std::optional<DWORD>(2), SharedCount(shared));
  const std::string groupFolder = ProgramsFolder() + "\\" + group;
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((groupFolder + "\\Removal Read Me.lnk").c_str()));

  // The user keeps notes beside the product's extra file.
  ASSERT_TRUE(WriteFileBytes(extras + "\\notes.txt", "mine"));

  // The removal, started the way the list of removable programs starts it.
  const std::string command = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").value_or("");
  ASSERT_EQ("\"" + target + "\\_setupx.exe\" /U", command);
  setup = ui::Process::StartCommand(command, WindowsDirectory());
  ASSERT_TRUE(setup.started()) << command;
  ASSERT_TRUE(PressOn(kRemoveConfirm, "&Next >"));
  ASSERT_TRUE(PressOn(kRemoved, "&OK", 60000));
  ExpectEndsWithin();

  const Snapshot after = Machine();
  const std::string setupProgram = target + "\\_setupx.exe";
  const std::vector<std::string> left = {
      "file " + extras + "\\notes.txt (4 bytes)",
      "file " + setupProgram + " (" + std::to_string(ReadFileBytes(ui::ProgramBesideTest("_setupx.exe")).size()) +
          " bytes)",
      "folder " + extras,
      "folder " + target,
  };
  EXPECT_EQ(left, Missing(after, before)) << "only the user's file and the running setup program stay";
  EXPECT_EQ(std::vector<std::string>{}, Missing(before, after)) << "nothing else went";
  EXPECT_EQ(std::optional<DWORD>(1), SharedCount(shared)) << sharedName << " is counted down and stays";
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(logPath.c_str())) << "the log is in the Recycle Bin";

  // Once more: there is no log any more, and the run says so.
  setup = ui::Process::StartCommand(command, WindowsDirectory());
  ASSERT_TRUE(setup.started()) << command;
  ASSERT_TRUE(PressOn(kRemoveConfirm, "&Next >"));
  HWND error = Expect(kErrorDialog);
  ASSERT_NE(nullptr, error);
  EXPECT_NE(nullptr, ui::FindChild(error, "9.0 (CInstallProfileException)"));
  ui::AnswerDialog(error, IDOK);
  ASSERT_TRUE(PressOn(kNotRemoved, "&OK"));
  ExpectEndsWithin();

  // The restart takes the setup program and then its directory.
  ui::Process boot = ui::Process::Start(WindowsSystemDirectory() + "\\wineboot.exe", "-r");
  ASSERT_TRUE(boot.started());
  ASSERT_TRUE(boot.WaitForExit(60000).has_value());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(setupProgram.c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(target.c_str()));
  EXPECT_EQ("mine", ReadFileBytes(extras + "\\notes.txt"));
}
