// setupx_walk: walks the setup program through a kit as a user who accepts
// every default would, and tells what it sees. Used by the demo:
//
//   setupx_walk KIT\_setupx.exe [SWITCHES...]
//   setupx_walk --command "COMMAND LINE"
//
// The second form starts a whole command line as Windows' list of
// removable programs does (an uninstall entry's command, for example).
//
// It starts the program, and for every page or message box that appears
// names it and presses the button a user would (Next, Yes, Copy, OK,
// Finished). It ends when the program ends, or when nothing new has
// happened for a while (the walk then stops where the built pages stop, and
// the program is closed). With VELT_SCREENSHOTS set, each step is pictured.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: setupx_walk KIT\\_setupx.exe [SWITCHES...] | --command \"COMMAND LINE\"\n");
    return 2;
  }
  const bool wholeCommand = std::string(argv[1]) == "--command";
  if (wholeCommand && argc != 3) {
    std::fprintf(stderr, "usage: setupx_walk --command \"COMMAND LINE\"\n");
    return 2;
  }
  std::string arguments;
  for (int i = 2; !wholeCommand && i < argc; ++i) arguments += (arguments.empty() ? "" : " ") + std::string(argv[i]);
  const std::string program = wholeCommand ? argv[2] : argv[1];
  ui::Process setup = wholeCommand ? ui::Process::StartCommand(program) : ui::Process::Start(program, arguments);
  if (!setup.started()) {
    std::fprintf(stderr, "setupx_walk: cannot start %s (error %lu)\n", program.c_str(), setup.startError());
    return 1;
  }
  std::printf("walk: started %s %s\n", program.c_str(), arguments.c_str());

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
      return 0;
    }
    ::Sleep(100);
  }
  std::printf("walk: the program ended\n");
  return 0;
}
