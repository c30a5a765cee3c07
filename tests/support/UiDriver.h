// A driver for end-to-end tests: starts a Windows program of the kit in the
// same Wine session as the test, finds its windows and dialogs, reads their
// controls, presses buttons, moves the mouse over controls, answers message
// boxes and waits for the program to end, all from outside the program.
// Pictures of windows are saved when the suite runs on a display.
//
// Every wait polls with a timeout; nothing blocks on the program (sent
// messages time out, clicks are posted), so a program that hangs fails the
// test instead of stopping the suite.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/ScopedHandle.h"

namespace ui {

// Long enough for Wine to start a program on a busy machine.
constexpr DWORD kDefaultTimeout = 15000;

// What a window must show to be found. Empty fields match anything.
struct WindowMatch {
  std::string caption;       // the whole caption
  std::string className;     // e.g. "#32770" for dialogs and message boxes
  std::string containsText;  // part of the caption or of some child control's text
};

// One running program. The destructor ends the program if it still runs, so
// a failed test leaves no process behind.
class Process {
public:
  Process() = default;
  Process(Process&&) noexcept = default;
  Process& operator=(Process&&) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();

  // Starts exe with arguments (the text after the program name) in
  // workingDirectory (empty: the test's current directory). The program
  // inherits the test's environment. Check started() for the outcome.
  static Process Start(const std::string& exe, const std::string& arguments = {},
                       const std::string& workingDirectory = {});
  // Starts a whole command line as the system's own launchers do
  // (CreateProcess without an application name: an unquoted program path
  // with blanks is tried blank by blank).
  static Process StartCommand(const std::string& commandLine, const std::string& workingDirectory = {});

  bool started() const { return process_.valid(); }
  // The Win32 error of a failed start.
  DWORD startError() const { return startError_; }
  DWORD id() const { return id_; }
  bool IsRunning() const;
  // The exit code once the program has ended within timeoutMs; nothing otherwise.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs = kDefaultTimeout) const;
  // Ends the program at once (exit code 1) and waits for it; nothing when it has ended.
  void Kill();

  // The program's visible top-level windows; with hiddenToo, the hidden
  // ones as well (a silent run shows none).
  std::vector<HWND> Windows(bool hiddenToo = false) const;
  // The first visible top-level window of the program that matches, as soon
  // as one appears; null after timeoutMs.
  HWND WaitForWindow(const WindowMatch& match, DWORD timeoutMs = kDefaultTimeout) const;
  // True when no window matches for the whole of durationMs (or the program ends).
  bool NoWindowFor(const WindowMatch& match, DWORD durationMs) const;
  // Posts message to every thread of the program, for a program that has
  // no window to post it to; true when a thread took it (a thread takes
  // messages once it has asked for one).
  bool PostToThreads(UINT message) const;

private:
  static Process Launch(const char* exe, std::string commandLine, const std::string& workingDirectory);

  CHandle process_;
  DWORD id_ = 0;
  DWORD startError_ = 0;
};

// A message box as the user sees it.
struct MessageBoxInfo {
  HWND box = nullptr;
  std::string caption;
  std::string text;
  std::vector<std::string> buttons;  // button labels, in window order
};

// Waits for a message box of the program (a dialog of class #32770 with
// buttons) that shows containsText (anything when empty: give a text when the
// program has other dialogs open); nothing after timeoutMs.
std::optional<MessageBoxInfo> WaitForMessageBox(const Process& process, DWORD timeoutMs = kDefaultTimeout,
                                                const std::string& containsText = {});
// Presses the button of the box (or any dialog) with the given command id
// (IDOK, IDYES, ...) as a click would: the dialog gets its WM_COMMAND.
bool AnswerDialog(HWND dialog, int buttonId);

// The text of any window, also of another program's controls; empty when
// the window does not answer in time.
std::string WindowText(HWND window);
std::string ClassName(HWND window);
// All descendants of parent, in window order.
std::vector<HWND> Children(HWND parent);
// The first descendant whose text equals text (and class, when given).
HWND FindChild(HWND parent, const std::string& text, const std::string& className = {});
// A window's rectangle in the client coordinates of another (its parent, say).
RECT RectIn(HWND window, HWND reference);

// Presses a button as a click does. Posted: returns at once, even when the
// click opens a modal dialog.
void Click(HWND button);
// Moves the mouse to point (client coordinates of window): sends WM_MOUSEMOVE
// where a real move would go, to the window holding the mouse capture of the
// program's thread, otherwise to the deepest visible child under the point.
// Returns when that window has handled it. The system's pointer stays where
// it is, so that tests running side by side do not disturb each other.
void MoveMouse(HWND window, POINT point, WPARAM keys = 0);
// The ids of the threads of a process, as the system lists them now.
std::vector<DWORD> ThreadsOf(DWORD processId);

// The window holding the mouse capture in the thread of window; null when none.
HWND CaptureOf(HWND window);

// Every wait of the driver lasts timeoutMs times VELT_TIMEOUT_SCALE (a whole
// number up to 100; 1 when unset), which the harness sets where the programs
// run under an emulator, slower than on the processor.
DWORD Stretched(DWORD timeoutMs);

// Polls condition until it holds or timeoutMs pass.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeout);

// The folder pictures go to: VELT_SCREENSHOTS, when the suite runs on a
// display (not under Wine's null graphics driver); empty otherwise.
std::string ScreenshotFolder();
// What a picture shows of a window.
enum class ShotArea { Window, ClientArea };
// Saves a picture of window (as it shows on the screen) as name.bmp in the
// screenshot folder. False, and nothing written, without a display.
bool SaveScreenshot(HWND window, const std::string& name, ShotArea area = ShotArea::Window);

// A program built beside the running test program.
std::string ProgramBesideTest(const std::string& fileName);

}  // namespace ui
