// setupx_walk: walks the setup program through a kit as a user who accepts
// every default would, and tells what it sees. Used by the demo:
//
//   setupx_walk KIT\_setupx.exe [SWITCHES...]
//   setupx_walk --command "COMMAND LINE"
//   setupx_walk --menu CD\cdlaunch.exe "BUTTON"
//
// The second form starts a whole command line as Windows' list of
// removable programs does (an uninstall entry's command, for example). The
// third starts a CD's menu, presses its button and walks the setup program
// that the button starts; the menu is closed at the end.
//
// It starts the program, and for every page or message box that appears
// names it and presses the button a user would (Next, Yes, Copy, OK,
// Finished). It ends when the program ends, or when nothing new has
// happened for a while (the walk then stops where the built pages stop, and
// the program is closed). With VELT_SCREENSHOTS set, each step is pictured.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "TopLevelWindows.h"
#include "tests/support/UiDriver.h"

namespace {

// Labels of the buttons that move a walk on, in order of preference.
const char* const kForward[] = {"&Next >", "&Yes", "&Copy", "Finished", "&OK", "OK", "&Don't Restart"};

// The text a window shows besides its caption, shortened for one line.
std::string Summary(HWND window) {
  for (HWND child : ui::Children(window)) {
    if (ui::ClassName(child) != "Static" || !::IsWindowVisible(child)) continue;
    const LONG style = ::GetWindowLongA(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON || (style & SS_TYPEMASK) == SS_BITMAP) continue;
    std::string text = ui::WindowText(child);
    if (text.empty()) continue;
    for (char& c : text) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    if (text.size() > 70) text = text.substr(0, 67) + "...";
    return text;
  }
  return {};
}

// The visible button that moves on from window (perhaps still disabled).
HWND ForwardButton(HWND window) {
  for (const char* label : kForward) {
    HWND button = ui::FindChild(window, label, "Button");
    if (button && ::IsWindowVisible(button)) return button;
  }
  return nullptr;
}

// The User Information page keeps Next disabled until a name is typed.
void TypeNameWhenEmpty(HWND window) {
  if (ui::WindowText(window) != "User Information") return;
  HWND name = ::GetDlgItem(window, 1030);
  if (name && ui::WindowText(name).empty()) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Demo User"), SMTO_ABORTIFHUNG, 5000,
                          &ignored);
  }
}

// The program being walked: one the walker started, or one that a CD's
// menu started, known by its process.
class Walked {
public:
  explicit Walked(ui::Process process) : started_(std::move(process)) {}
  explicit Walked(DWORD id)
      : id_(id), process_(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, id)) {}

  bool IsRunning() const {
    if (id_ == 0) return started_.IsRunning();
    return process_.valid() && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
  }
  // Its visible top-level windows, topmost first.
  std::vector<HWND> Windows() const {
    if (id_ == 0) return started_.Windows();
    std::vector<HWND> windows;
    for (HWND w : top_level::Windows()) {
      if (top_level::ProcessOf(w) == id_ && ::IsWindowVisible(w)) windows.push_back(w);
    }
    return windows;
  }
  void Kill() {
    if (id_ == 0) {
      started_.Kill();
    } else if (process_.valid()) {
      ::TerminateProcess(process_.get(), 1);
      ::WaitForSingleObject(process_.get(), 5000);
    }
  }

private:
  ui::Process started_;
  DWORD id_ = 0;
  CHandle process_;
};

// Starts the CD's menu, presses its button and returns the process of the
// first dialog another program then shows (0 when none came).
DWORD StartFromMenu(ui::Process& menu, const std::string& cdlaunch, const std::string& label) {
  menu = ui::Process::Start(cdlaunch);
  HWND frame = nullptr;
  ui::WaitUntil([&] {
    for (HWND w : menu.Windows()) {
      if (ui::FindChild(w, label, "Button")) frame = w;
    }
    return frame != nullptr;
  });
  if (!frame) return 0;
  std::printf("walk: the CD menu \"%s\" is open; pressing \"%s\"\n", ui::WindowText(frame).c_str(), label.c_str());
  ui::Click(ui::FindChild(frame, label, "Button"));
  DWORD id = 0;
  ui::WaitUntil(
      [&] {
        for (HWND w : top_level::Windows()) {
          const DWORD owner = top_level::ProcessOf(w);
          if (owner != menu.id() && owner != ::GetCurrentProcessId() && ::IsWindowVisible(w) &&
              ui::ClassName(w) == "#32770" && ForwardButton(w)) {
            id = owner;
            return true;
          }
        }
        return false;
      },
      60000);
  return id;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: setupx_walk KIT\\_setupx.exe [SWITCHES...] | --command \"COMMAND LINE\" | "
                         "--menu CD\\cdlaunch.exe \"BUTTON\"\n");
    return 2;
  }
  const bool wholeCommand = std::string(argv[1]) == "--command";
  const bool fromMenu = std::string(argv[1]) == "--menu";
  if ((wholeCommand && argc != 3) || (fromMenu && argc != 4)) {
    std::fprintf(stderr, "usage: setupx_walk --command \"COMMAND LINE\" | --menu CD\\cdlaunch.exe \"BUTTON\"\n");
    return 2;
  }
  std::string arguments;
  for (int i = 2; !wholeCommand && !fromMenu && i < argc; ++i) {
    arguments += (arguments.empty() ? "" : " ") + std::string(argv[i]);
  }
  const std::string program = wholeCommand || fromMenu ? argv[2] : argv[1];
  ui::Process menu;
  std::optional<Walked> walked;
  if (fromMenu) {
    const DWORD id = StartFromMenu(menu, program, argv[3]);
    if (id == 0) {
      std::fprintf(stderr, "setupx_walk: the menu %s did not start a setup program with its button \"%s\"\n",
                   program.c_str(), argv[3]);
      return 1;
    }
    walked.emplace(id);
    std::printf("walk: the button started the setup program (process %lu)\n", id);
  } else {
    ui::Process started = wholeCommand ? ui::Process::StartCommand(program) : ui::Process::Start(program, arguments);
    if (!started.started()) {
      std::fprintf(stderr, "setupx_walk: cannot start %s (error %lu)\n", program.c_str(), started.startError());
      return 1;
    }
    std::printf("walk: started %s %s\n", program.c_str(), arguments.c_str());
    walked.emplace(std::move(started));
  }
  Walked& setup = *walked;

  HWND last = nullptr;
  int step = 0;
  DWORD quietSince = ::GetTickCount();
  while (setup.IsRunning()) {
    HWND current = nullptr;
    for (HWND w : setup.Windows()) {  // topmost first: a message box before its page
      if (ui::ClassName(w) == "#32770" && ForwardButton(w)) {
        current = w;
        break;
      }
    }
    if (current && current != last) {
      ::Sleep(300);  // let the page finish painting
      std::printf("walk: %-26s %s\n", ("\"" + ui::WindowText(current) + "\"").c_str(), Summary(current).c_str());
      std::fflush(stdout);
      ui::SaveScreenshot(current, "walk-" + std::to_string(++step));
      TypeNameWhenEmpty(current);
      HWND button = ForwardButton(current);
      ui::WaitUntil([&] { return ::IsWindowEnabled(button) != 0; }, 2000);
      ui::Click(button);
      last = current;
      quietSince = ::GetTickCount();
    } else if (current == last && current && !::IsWindowVisible(current)) {
      last = nullptr;
    }
    if (::GetTickCount() - quietSince > 20000) {
      std::printf("walk: nothing new for 20 seconds; the built pages end here. Shown:\n");
      for (HWND w : setup.Windows()) {
        std::printf("walk:   \"%s\" %s\n", ui::WindowText(w).c_str(), Summary(w).c_str());
      }
      std::printf("walk: closing the program.\n");
      setup.Kill();
      menu.Kill();
      return 0;
    }
    ::Sleep(100);
  }
  std::printf("walk: the program ended\n");
  if (fromMenu) {
    std::printf("walk: closing the CD menu\n");
    menu.Kill();
  }
  return 0;
}
