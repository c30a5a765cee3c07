#include "tests/support/UiDriver.h"

#include <tlhelp32.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <utility>

#include "framework/Gdi.h"
#include "framework/Wnd.h"
#include "tests/support/TestRegistry.h"

namespace ui {

namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kSendTimeoutMs = 5000;

struct EnumState {
  DWORD processId;
  std::vector<HWND>* windows;
  bool hiddenToo = false;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lParam) {
  try {
    auto* state = reinterpret_cast<EnumState*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == state->processId && (state->hiddenToo || ::IsWindowVisible(hwnd))) state->windows->push_back(hwnd);
    return TRUE;
  } catch (...) {
    AfxHandleCurrentException(nullptr);
    return FALSE;
  }
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lParam) {
  try {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
  } catch (...) {
    AfxHandleCurrentException(nullptr);
    return FALSE;
  }
}

bool Matches(HWND window, const WindowMatch& match) {
  if (!match.className.empty() && ClassName(window) != match.className) return false;
  const std::string caption = WindowText(window);
  if (!match.caption.empty() && caption != match.caption) return false;
  if (match.containsText.empty() || caption.find(match.containsText) != std::string::npos) return true;
  for (HWND child : Children(window)) {
    if (WindowText(child).find(match.containsText) != std::string::npos) return true;
  }
  return false;
}

HWND DeepestChildAt(HWND top, POINT screen) {
  HWND current = top;
  for (;;) {
    POINT local = screen;
    ::ScreenToClient(current, &local);
    HWND child = ::ChildWindowFromPointEx(current, local, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!child || child == current) return current;
    current = child;
  }
}

std::string ToWindowsPath(std::string path) {
  // Wine maps the Unix root to drive Z:.
  if (!path.empty() && path[0] == '/') {
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    path = "Z:" + path;
  }
  return path;
}

bool RunsOnNullDriver() {
  const std::optional<std::string> graphics =
      testreg::ReadString(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", "Graphics");
  return graphics && ::lstrcmpiA(graphics->c_str(), "null") == 0;
}

void Put16(std::ofstream& out, std::uint16_t v) {
  const char bytes[2] = {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
  out.write(bytes, 2);
}
void Put32(std::ofstream& out, std::uint32_t v) {
  const char bytes[4] = {static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff),
                         static_cast<char>((v >> 16) & 0xff), static_cast<char>(v >> 24)};
  out.write(bytes, 4);
}

}  // namespace

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Kill();
    process_ = std::move(other.process_);
    id_ = std::exchange(other.id_, 0);
    startError_ = std::exchange(other.startError_, 0);
  }
  return *this;
}

Process::~Process() { Kill(); }

Process Process::Start(const std::string& exe, const std::string& arguments, const std::string& workingDirectory) {
  std::string commandLine = "\"" + exe + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  return Launch(exe.c_str(), commandLine, workingDirectory);
}

Process Process::StartCommand(const std::string& commandLine, const std::string& workingDirectory) {
  return Launch(nullptr, commandLine, workingDirectory);
}

Process Process::Launch(const char* exe, std::string commandLine, const std::string& workingDirectory) {
  Process p;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  // Wine now and then fails a start with ERROR_INTERNAL_ERROR on a busy
  // machine (seen twice in a day's thousands of starts); such a start is
  // tried again, any other failure is the test's.
  for (int attempt = 1;; ++attempt) {
    if (::CreateProcessA(exe, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &info)) {
      break;
    }
    p.startError_ = ::GetLastError();
    if (p.startError_ != ERROR_INTERNAL_ERROR || attempt == 3) return p;
    ::Sleep(250);
  }
  p.startError_ = 0;
  const CHandle thread(info.hThread);
  p.process_.reset(info.hProcess);
  p.id_ = info.dwProcessId;
  return p;
}

bool Process::IsRunning() const {
  return process_.valid() && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(DWORD timeoutMs) const {
  if (!process_.valid() || ::WaitForSingleObject(process_.get(), Stretched(timeoutMs)) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process_.get(), &code);
  return code;
}

void Process::Kill() {
  if (IsRunning()) {
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), kDefaultTimeout);
  }
}

std::vector<HWND> Process::Windows(bool hiddenToo) const {
  std::vector<HWND> windows;
  EnumState state{id_, &windows, hiddenToo};
  ::EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&state));
  return windows;
}

std::vector<DWORD> ThreadsOf(DWORD processId) {
  std::vector<DWORD> threads;
  const CHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot.valid()) return threads;
  THREADENTRY32 thread{};
  thread.dwSize = sizeof thread;
  for (BOOL more = ::Thread32First(snapshot.get(), &thread); more; more = ::Thread32Next(snapshot.get(), &thread)) {
    if (thread.th32OwnerProcessID == processId) threads.push_back(thread.th32ThreadID);
  }
  return threads;
}

bool Process::PostToThreads(UINT message) const {
  bool taken = false;
  for (const DWORD thread : ThreadsOf(id_)) {
    if (::PostThreadMessageA(thread, message, 0, 0)) taken = true;
  }
  return taken;
}

HWND Process::WaitForWindow(const WindowMatch& match, DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND w : Windows()) {
          if (Matches(w, match)) {
            found = w;
            return true;
          }
        }
        return !IsRunning();
      },
      timeoutMs);
  return found;
}

bool Process::NoWindowFor(const WindowMatch& match, DWORD durationMs) const {
  return WaitForWindow(match, durationMs) == nullptr;
}

std::optional<MessageBoxInfo> WaitForMessageBox(const Process& process, DWORD timeoutMs,
                                                const std::string& containsText) {
  WindowMatch match;
  match.className = "#32770";
  match.containsText = containsText;
  HWND box = nullptr;
  WaitUntil(
      [&] {
        box = process.WaitForWindow(match, 0);
        if (!box) return !process.IsRunning();
        // A box is ready once its text and buttons are there.
        for (HWND child : Children(box)) {
          if (ClassName(child) == "Button") return true;
        }
        return false;
      },
      timeoutMs);
  if (!box) return std::nullopt;
  MessageBoxInfo info;
  info.box = box;
  info.caption = WindowText(box);
  for (HWND child : Children(box)) {
    const std::string cls = ClassName(child);
    if (cls == "Button") {
      info.buttons.push_back(WindowText(child));
    } else if (cls == "Static") {
      const std::string text = WindowText(child);
      if (!text.empty()) info.text += info.text.empty() ? text : "\n" + text;
    }
  }
  return info;
}

bool AnswerDialog(HWND dialog, int buttonId) {
  HWND button = ::GetDlgItem(dialog, buttonId);
  return ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != 0;
}

std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &copied)) {
    return {};
  }
  text.resize(copied < text.size() ? static_cast<std::size_t>(copied) : text.size() - 1);
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = {};
  const int n = ::GetClassNameA(window, name, sizeof name);
  return std::string(name, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  ::EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND FindChild(HWND parent, const std::string& text, const std::string& className) {
  for (HWND child : Children(parent)) {
    if ((className.empty() || ClassName(child) == className) && WindowText(child) == text) return child;
  }
  return nullptr;
}

RECT RectIn(HWND window, HWND reference) {
  RECT rc{};
  ::GetWindowRect(window, &rc);
  ::MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

void Click(HWND button) { ::PostMessageA(button, BM_CLICK, 0, 0); }

HWND CaptureOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
  if (!thread || !::GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndCapture;
}

void MoveMouse(HWND window, POINT point, WPARAM keys) {
  POINT screen = point;
  ::ClientToScreen(window, &screen);
  HWND target = CaptureOf(window);
  if (!target) target = DeepestChildAt(::GetAncestor(window, GA_ROOT), screen);
  POINT local = screen;
  ::ScreenToClient(target, &local);
  DWORD_PTR result = 0;
  ::SendMessageTimeoutA(target, WM_MOUSEMOVE, keys,
                        MAKELPARAM(static_cast<WORD>(static_cast<short>(local.x)), static_cast<WORD>(static_cast<short>(local.y))),
                        SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
}

DWORD Stretched(DWORD timeoutMs) {
  static const DWORD scale = [] {
    char text[16] = {};
    const DWORD length = ::GetEnvironmentVariableA("VELT_TIMEOUT_SCALE", text, sizeof text);
    const long value = length > 0 && length < sizeof text ? std::strtol(text, nullptr, 10) : 1;
    return value > 1 && value <= 100 ? static_cast<DWORD>(value) : 1u;
  }();
  return timeoutMs == INFINITE ? timeoutMs : timeoutMs * scale;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  timeoutMs = Stretched(timeoutMs);
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount() - start >= timeoutMs) return false;
    ::Sleep(kPollMs);
  }
}

std::string ScreenshotFolder() {
  char value[MAX_PATH] = {};
  const DWORD n = ::GetEnvironmentVariableA("VELT_SCREENSHOTS", value, sizeof value);
  if (n == 0 || n >= sizeof value || RunsOnNullDriver()) return {};
  const std::string folder = ToWindowsPath(value);
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

bool SaveScreenshot(HWND window, const std::string& name, ShotArea area) {
  const std::string folder = ScreenshotFolder();
  if (folder.empty() || !::IsWindow(window)) return false;

  // Let the program finish painting first.
  DWORD_PTR ignored = 0;
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
  ::Sleep(500);

  RECT rc{};
  if (area == ShotArea::ClientArea) {
    ::GetClientRect(window, &rc);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rc), 2);
  } else {
    ::GetWindowRect(window, &rc);
  }
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  if (width <= 0 || height <= 0) return false;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  CClientDC screen(nullptr);
  CMemoryDC memory(screen);
  CBitmap bitmap;
  bitmap.Attach(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory.GetSafeHdc() || !bitmap.GetSafeHandle()) return false;
  {
    CSelectObject select(memory, bitmap);
    if (!memory.BitBlt(0, 0, width, height, screen, rc.left, rc.top, SRCCOPY | CAPTUREBLT)) return false;
    ::GdiFlush();
  }

  const std::uint32_t stride = ((static_cast<std::uint32_t>(width) * 24 + 31) / 32) * 4;
  const std::uint32_t pixelBytes = stride * static_cast<std::uint32_t>(height);
  std::ofstream out(folder + "\\" + name + ".bmp", std::ios::binary);
  Put16(out, 0x4D42);
  Put32(out, 14 + 40 + pixelBytes);
  Put32(out, 0);
  Put32(out, 14 + 40);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, BI_RGB);
  Put32(out, pixelBytes);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  out.write(static_cast<const char*>(bits), pixelBytes);
  return static_cast<bool>(out);
}

std::string ProgramBesideTest(const std::string& fileName) {
  char path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n < MAX_PATH ? n : 0);
  dir.erase(dir.find_last_of('\\') + 1);
  return dir + fileName;
}

}  // namespace ui
