// The sample CD as a user meets it: built by the kit builder from the
// sample product's one description, verified, its menu started from the
// CD's root, and its Install button starting the real setup program of the
// kit, which reads the kit's profile and can be walked and left.
#include <windows.h>

#include <psapi.h>

#include "SampleCd.h"
#include "SetupFixture.h"
#include "TopLevelWindows.h"

using namespace setup_e2e;

namespace {

// The first visible top-level window of another program that matches
// (caption, class, a text of the window or of one of its controls); null
// after timeoutMs.
HWND WaitForWindowOfAnotherProgram(const ui::WindowMatch& match, DWORD timeoutMs = ui::kDefaultTimeout) {
  HWND found = nullptr;
  ui::WaitUntil(
      [&] {
        for (HWND w : top_level::Windows()) {
          if (top_level::ProcessOf(w) == ::GetCurrentProcessId() || !::IsWindowVisible(w)) continue;
          if (!match.caption.empty() && ui::WindowText(w) != match.caption) continue;
          if (!match.className.empty() && ui::ClassName(w) != match.className) continue;
          bool shows = match.containsText.empty() || ui::WindowText(w).find(match.containsText) != std::string::npos;
          for (HWND child : ui::Children(w)) {
            shows = shows || ui::WindowText(child).find(match.containsText) != std::string::npos;
          }
          if (shows) {
            found = w;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

// A program that another one started, found by one of its windows; ended
// when the object goes if it still runs.
class StartedProgram {
public:
  explicit StartedProgram(HWND window) {
    process_.reset(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                 top_level::ProcessOf(window)));
  }
  ~StartedProgram() {
    if (process_.valid() && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(process_.get(), 1);
      ::WaitForSingleObject(process_.get(), 5000);
    }
  }
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  std::string Path() const {
    char path[MAX_PATH] = {};
    const DWORD n = process_.valid() ? ::GetModuleFileNameExA(process_.get(), nullptr, path, MAX_PATH) : 0;
    return std::string(path, n < MAX_PATH ? n : 0);
  }
  std::optional<DWORD> WaitForExit(DWORD timeoutMs) const {
    DWORD code = 0;
    if (!process_.valid() || ::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process_.get(), &code)) {
      return std::nullopt;
    }
    return code;
  }

private:
  CHandle process_;
};

HWND Expect(const Page& page) {
  HWND found = WaitForWindowOfAnotherProgram({page.caption, "#32770", page.text});
  EXPECT_NE(nullptr, found) << "page \"" << page.caption << "\" / \"" << page.text << "\" did not appear";
  return found;
}

void Press(HWND window, const std::string& label) {
  HWND button = ui::FindChild(window, label, "Button");
  ASSERT_NE(nullptr, button) << "no button " << label;
  ui::Click(button);
}

}  // namespace

TEST(SampleCdTest, TheMenusInstallButtonStartsTheKitsSetupProgram) {
  TempDir work;
  const std::string cd = BuildSampleCd(work);
  ASSERT_EQ(std::optional<DWORD>(0), RunKitBuilder("--verify --quiet \"" + cd + "\"")) << "the sample CD verifies";

  ui::Process menu = ui::Process::Start(cd + "\\cdlaunch.exe");
  ASSERT_TRUE(menu.started());
  HWND frame = menu.WaitForWindow({"Veltrane CD-ROM", "", ""});
  ASSERT_NE(nullptr, frame) << "the menu opens";
  HWND install = ui::FindChild(frame, "Install Veltrane", "Button");
  ASSERT_NE(nullptr, install);
  ui::Click(install);

  HWND welcome = Expect(kWelcome);
  ASSERT_NE(nullptr, welcome) << "the Install button starts the setup program";
  StartedProgram setup(welcome);
  EXPECT_EQ(0, ::lstrcmpiA((cd + "\\DISK01\\_setupx.exe").c_str(), setup.Path().c_str()))
      << "the kit's setup program runs: " << setup.Path();
  EXPECT_TRUE(menu.IsRunning()) << "the menu stays open";

  // Past the page that reads the kit's profile, then left as a user leaves it.
  Press(welcome, "&Next >");
  HWND agreement = Expect(kAgreement);
  ASSERT_NE(nullptr, agreement) << "the setup program read the profile on the CD";
  Press(agreement, "< &Back");
  welcome = Expect(kWelcome);
  ASSERT_NE(nullptr, welcome);
  Press(welcome, "Cancel");
  HWND question = Expect({kAppTitle, kConfirmExit});
  ASSERT_NE(nullptr, question);
  ui::AnswerDialog(question, IDYES);
  HWND failed = Expect(kFailed);
  ASSERT_NE(nullptr, failed);
  Press(failed, "&OK");
  EXPECT_EQ(std::optional<DWORD>(1602), setup.WaitForExit(30000)) << "ended by the user";
}

// The sample kit for 720 KB diskettes: the setup program, its profile and
// the seal fit the first one beside a part of the product, and a batch
// installation asks for each further diskette.
class SampleKitTest : public SetupTest {
protected:
  TempDir work;
  ShortcutGuard programGuard{kKitProgramGroup, "Veltrane.lnk"};
  ShortcutGuard readmeGuard{kKitProgramGroup, "Veltrane Read Me.lnk"};
};

TEST_F(SampleKitTest, TheKitFor720KDiskettesBuildsVerifiesAndInstalls) {
  const std::string kitDir = BuildSampleKit(work, "diskettes", "kit-720k", "--capacity=737280");
  ASSERT_EQ(std::optional<DWORD>(0), RunKitBuilder("--verify --quiet \"" + kitDir + "\"")) << "the kit verifies";
  const std::vector<std::string> diskettes = DiskettesOneAtATime(kitDir);
  ASSERT_GE(diskettes.size(), 2u);
  for (const std::string& disk : diskettes) {
    std::uint64_t bytes = 0;
    for (const std::string& name : ListFolder(disk)) bytes += (ReadFileBytes(disk + "\\" + name).size() + 511) / 512 * 512;
    EXPECT_LE(bytes, 737280u) << disk << " fits a 720 KB diskette";
  }

  const std::string target = work / "Veltrane";
  Start("/B /T:" + target + " /G:" + kKitProgramGroup + " /N:Tester", diskettes[0] + "\\_setupx.exe");
  for (std::size_t n = 1; n < diskettes.size(); ++n) {
    ASSERT_TRUE(InsertDiskette(diskettes[n])) << "diskette " << n + 1 << "; windows shown: " << DescribeWindows();
  }
  ExpectExitCode(0, 60000);
  EXPECT_TRUE(ReadFileBytes(target + "\\veltapp.exe") == ReadFileBytes(ui::ProgramBesideTest("veltapp.exe")));
  EXPECT_TRUE(ReadFileBytes(target + "\\_setupx.exe") == ReadFileBytes(diskettes[0] + "\\_setupx.exe"));
  EXPECT_EQ("0|1|0", ReadString(logPath, "Program", "veltapp.exe")) << "the install log records the program";

  // Taken off again, as the uninstall entry does it.
  Start("/U /S", target + "\\_setupx.exe");
  ExpectExitCode(0, 60000);
}
