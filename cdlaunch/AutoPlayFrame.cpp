#include "cdlaunch/AutoPlayFrame.h"

#include <mmsystem.h>
#include <shellapi.h>

#include "cdlaunch/ConfigFile.h"
#include "framework/DeviceName.h"
#include "cdlaunch/NetworkPath.h"
#include "cdlaunch/Resource.h"
#include "cdlaunch/TheApp.h"
#include "framework/Exception.h"
#include "framework/Resources.h"
#include "framework/ScopedHandle.h"
#include "framework/SystemLibrary.h"

namespace {

constexpr int kColumnRightMargin = 2 + 25;
constexpr int kCentredRightMargin = 2 + 5;

bool IsRelative(const std::string& path) { return !path.empty() && path[0] != '\\' && path.find(':') == std::string::npos; }

// Plays a sound file. A device name is never handed to the sound system,
// which would read the device for ever. The sound functions come from the
// system directory's WINMM.DLL, loaded with the first sound and kept for
// the run (an asynchronous sound plays on after the call).
void PlaySoundFile(const std::string& file, UINT flags) {
  if (file.empty() || IsDeviceName(file)) return;
  using SndPlaySoundFn = BOOL(WINAPI*)(LPCSTR, UINT);
  static const CSystemLibrary winmm("winmm.dll");
  if (const auto play = winmm.Find<SndPlaySoundFn>("sndPlaySoundA")) play(file.c_str(), flags);
}

}  // namespace

CAutoPlayFrame::~CAutoPlayFrame() {
  // The window goes first, while the whole object still answers its messages.
  DestroyWindow();
  buttons_.clear();
}

bool CAutoPlayFrame::Create() {
  return CFrameWnd::Create(nullptr, "AUTORUN", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
}

int CAutoPlayFrame::OnCreate(CREATESTRUCTA* cs) {
  const int result = CFrameWnd::OnCreate(cs);
  if (result == -1) return result;
  if (!ReadSettings()) return -1;

  ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadAppIcon(IDI_MAIN)));
  if (!background_.IsEmpty()) FitToBackground(*cs);
  SetWindowText(caption_);
  try {
    CreateButtons();
  } catch (const CResourceException&) {
    return -1;
  }
  RecalcLayout();
  ShowWindow(SW_SHOW);
  return 0;
}

bool CAutoPlayFrame::ReadSettings() {
  CTheApp* app = TheApp();
  if (!app) return false;
  configPath_ = app->GetConfigurationPath();
  const CConfigFile config(configPath_);
  const std::string section = LoadResourceString(IDS_SECTION_APPLICATION);

  bool loaded = true;
  const std::string bitmap = config.GetString(section, LoadResourceString(IDS_KEY_BITMAP));
  if (!bitmap.empty()) {
    loaded = background_.LoadFromFile(bitmap) != FALSE;
    // A picture the display cannot take is shown as no picture.
    if (loaded && !background_.GetDeviceBitmap()) background_.Free();
  }
  const std::string sound = config.GetString(section, LoadResourceString(IDS_KEY_PLAYSOUND));
  PlaySoundFile(ResolveSound(app->GetProgramDirectory(), sound), SND_ASYNC);
  caption_ = config.GetString(section, LoadResourceString(IDS_KEY_CAPTION));
  if (caption_.empty()) caption_ = LoadResourceString(IDS_DEFAULT_CAPTION);
  centerButtons_ = config.GetInt(section, LoadResourceString(IDS_KEY_CENTER_BUTTONS), 0);
  return loaded;
}

void CAutoPlayFrame::FitToBackground(const CREATESTRUCTA& cs) {
  RECT rc{0, 0, background_.GetWidth(), background_.GetHeight()};
  ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&rc.left));
  ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&rc.right));
  ::AdjustWindowRectEx(&rc, static_cast<DWORD>(cs.style), FALSE, cs.dwExStyle);
  ::SetWindowPos(m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CAutoPlayFrame::CreateButtons() {
  const CConfigFile config(configPath_);
  const std::string section = LoadResourceString(IDS_SECTION_COMMANDS);
  const std::string browse = LoadResourceString(IDS_BROWSE_CD);
  UINT created = 0;
  for (const std::string& key : config.GetKeys(section)) {
    const std::string label = config.GetString(section, key);
    if (label.empty()) continue;
    // Old Windows NT has no shell to browse the CD with.
    if (label == browse && CTheApp::IsOldWindowsNT()) continue;
    std::unique_ptr<CActionButton> button = CreateButton(label);
    if (!button) AfxThrowResourceException();
    if (button->Create(label, this, kFirstButtonId + created)) buttons_.push_back(std::move(button));
    ++created;
  }
}

std::unique_ptr<CActionButton> CAutoPlayFrame::CreateButton(const std::string& section) {
  const CConfigFile config(configPath_);
  auto button = std::make_unique<CActionButton>();
  const std::string bitmap = config.GetString(section, LoadResourceString(IDS_KEY_BITMAP));
  if (!bitmap.empty()) button->LoadImages(bitmap);
  const std::string command = config.GetString(section, LoadResourceString(IDS_KEY_COMMAND));
  if (command.empty()) {
    if (CTheApp* app = TheApp()) app->ShowMessage(AfxFormatString1(IDS_NO_COMMAND, section), MB_OK);
    return nullptr;
  }
  button->SetCommand(command);
  button->SetSound(config.GetString(section, LoadResourceString(IDS_KEY_PLAYSOUND)));
  return button;
}

CAutoPlayFrame::ButtonLayout CAutoPlayFrame::PlaceButtons(bool centred, const RECT& client,
                                                          const std::vector<SIZE>& sizes) {
  ButtonLayout layout;
  int total = 0;
  for (const SIZE& size : sizes) total += size.cy;
  int top = centred ? client.top + (client.bottom - client.top - total) / 2 : client.top;
  const int margin = centred ? kCentredRightMargin : kColumnRightMargin;
  for (const SIZE& size : sizes) {
    layout.positions.push_back(POINT{client.right - margin - size.cx, top});
    top += size.cy;
    layout.requiredHeight += centred ? size.cy : size.cy + 1;
  }
  return layout;
}

void CAutoPlayFrame::RecalcLayout() {
  if (buttons_.empty() || !m_hWnd) return;
  const RECT client = GetClientRect();
  std::vector<SIZE> sizes;
  for (const auto& button : buttons_) {
    const RECT rc = button->GetWindowRect();
    sizes.push_back(SIZE{rc.right - rc.left, rc.bottom - rc.top});
  }
  const ButtonLayout layout = PlaceButtons(centerButtons_ != 0, client, sizes);

  HDWP positions = ::BeginDeferWindowPos(static_cast<int>(buttons_.size()));
  for (std::size_t i = 0; i < buttons_.size() && positions; ++i) {
    positions = ::DeferWindowPos(positions, buttons_[i]->m_hWnd, nullptr, layout.positions[i].x, layout.positions[i].y,
                                 sizes[i].cx, sizes[i].cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (positions) ::EndDeferWindowPos(positions);

  if (client.bottom - client.top < layout.requiredHeight) {
    RECT grown = client;
    grown.bottom = grown.top + layout.requiredHeight;
    ::AdjustWindowRectEx(&grown, static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, grown.right - grown.left, grown.bottom - grown.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CAutoPlayFrame::OnSize(UINT type, int cx, int cy) {
  CFrameWnd::OnSize(type, cx, cy);
  if (type != SIZE_MINIMIZED) RecalcLayout();
}

BOOL CAutoPlayFrame::OnEraseBkgnd(HDC dc) {
  RECT image{0, 0, 0, 0};
  if (!background_.IsEmpty()) {
    image = RECT{0, 0, background_.GetWidth(), background_.GetHeight()};
    background_.Draw(dc, 0, 0, image.right, image.bottom, SRCCOPY, FALSE, TRUE, FALSE);
  }
  // The rest of the client area gets the class background.
  const RECT client = GetClientRect();
  CRgn rest;
  CRgn picture;
  if (rest.CreateRectRgn(client.left, client.top, client.right, client.bottom) &&
      picture.CreateRectRgn(image.left, image.top, image.right, image.bottom)) {
    ::CombineRgn(rest, rest, picture, RGN_DIFF);
    const int saved = ::SaveDC(dc);
    ::SelectClipRgn(dc, rest);
    Default();
    if (saved) ::RestoreDC(dc, saved);
  }
  return FALSE;
}

void CAutoPlayFrame::OnMouseMove(UINT flags, POINT point) {
  CFrameWnd::OnMouseMove(flags, point);
  for (const auto& button : buttons_) {
    RECT rc = button->GetWindowRect();
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    if (button->SetHighlighted(::PtInRect(&rc, point) != FALSE)) {
      ::InvalidateRect(m_hWnd, &rc, TRUE);
      UpdateWindow();
    }
  }
}

BOOL CAutoPlayFrame::OnCommand(UINT id, UINT code, HWND control) {
  if (id < kFirstButtonId || id > kLastButtonId || code != BN_CLICKED) {
    return CFrameWnd::OnCommand(id, code, control);
  }
  const auto* button = dynamic_cast<const CActionButton*>(CWnd::FromHandle(GetDlgItem(static_cast<int>(id))));
  if (button) RunCommand(*button);
  return TRUE;
}

std::string CAutoPlayFrame::ResolveCommand(const std::string& programDirectory, const std::string& command) {
  if (!IsRelative(command)) return command;
  const std::string candidate = programDirectory + command;
  const std::string pattern = candidate.find('.') == std::string::npos ? candidate + ".*" : candidate;
  WIN32_FIND_DATAA found;
  const CFindHandle search(::FindFirstFileA(pattern.c_str(), &found));
  if (!search) return command;
  // Unquoted, a CD in "D:\Veltrane CD" would start D:\Veltrane.exe first.
  return candidate.find(' ') == std::string::npos ? candidate : "\"" + candidate + "\"";
}

CAutoPlayFrame::SplitCommandLine CAutoPlayFrame::SplitCommand(std::string_view command) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!command.empty() && isBlank(command.front())) command.remove_prefix(1);
  SplitCommandLine split;
  if (!command.empty() && ::GetFileAttributesA(std::string(command).c_str()) != INVALID_FILE_ATTRIBUTES) {
    split.program = std::string(command);  // a document whose unquoted path has blanks
    return split;
  }
  std::size_t end = 0;
  if (!command.empty() && command.front() == '"') {
    end = command.find('"', 1);
    if (end == std::string_view::npos) end = command.size();
    split.program = std::string(command.substr(1, end - 1));
    if (end < command.size()) ++end;
  } else {
    while (end < command.size() && !isBlank(command[end])) ++end;
    split.program = std::string(command.substr(0, end));
  }
  while (end < command.size() && isBlank(command[end])) ++end;
  split.parameters = std::string(command.substr(end));
  return split;
}

std::string CAutoPlayFrame::ResolveSound(const std::string& programDirectory, const std::string& sound) {
  if (IsNetworkPath(sound)) return std::string();
  return IsRelative(sound) ? programDirectory + sound : sound;
}

void CAutoPlayFrame::RunCommand(const CActionButton& button) {
  CTheApp* app = TheApp();
  const std::string directory = app ? app->GetProgramDirectory() : std::string();
  const std::string command = ResolveCommand(directory, button.GetCommand());
  const std::string sound = ResolveSound(directory, button.GetSound());
  PlaySoundFile(sound, SND_SYNC);

  if (::lstrcmpiA(command.c_str(), LoadResourceString(IDS_QUIT_PROGRAM).c_str()) == 0) {
    ::PostQuitMessage(0);
    return;
  }
  if (::WinExec(command.c_str(), SW_SHOW) >= 32) return;
  // WinExec cannot start a program that asks for elevation (error 740 on
  // today's Windows); the shell can, after asking the user. It takes the
  // program and its parameters apart.
  const SplitCommandLine split = SplitCommand(command);
  ::SetLastError(ERROR_SUCCESS);
  const auto shell = reinterpret_cast<INT_PTR>(::ShellExecuteA(
      m_hWnd, "open", split.program.c_str(), split.parameters.empty() ? nullptr : split.parameters.c_str(), nullptr,
      SW_SHOW));
  // A user who declined the elevation has been asked enough.
  if (shell <= 32 && ::GetLastError() != ERROR_CANCELLED && app) {
    app->ShowMessage(AfxFormatString1(IDS_EXEC_FAILED, command), MB_OK);
  }
}
