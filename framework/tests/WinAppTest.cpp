#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "TestApp.h"
#include "framework/FrameWnd.h"

namespace {

constexpr UINT kFinish = WM_APP + 20;

// A main window that ends the program when told to.
class MainFrame : public CFrameWnd {
protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kFinish) {
      DestroyWindow();
      return 0;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
  }
};

class LifecycleApp : public CWinApp {
public:
  explicit LifecycleApp(bool startOk) : CWinApp("Lifecycle"), startOk_(startOk) {}
  std::string calls;

  BOOL InitInstance() override {
    calls += "init;";
    frame_ = std::make_unique<MainFrame>();
    if (!frame_->Create(nullptr, "Lifecycle main")) return FALSE;
    m_pMainWnd = frame_.get();
    if (startOk_) frame_->PostMessage(kFinish);
    return startOk_;
  }
  int ExitInstance() override {
    calls += mainWindowGone() ? "exit-after-main;" : "exit-with-main;";
    return CWinApp::ExitInstance() + 7;
  }
  bool mainWindowGone() const { return frame_->m_hWnd == nullptr; }

private:
  bool startOk_;
  std::unique_ptr<MainFrame> frame_;
};

// Presses a button of the first message box that this process shows, and
// reports the box's caption and text.
class MessageBoxAnswerer {
public:
  explicit MessageBoxAnswerer(int button) : thread_([this, button] { Run(button); }) {}
  ~MessageBoxAnswerer() { Join(); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  std::string caption, text;

private:
  void Run(int button) {
    for (int i = 0; i < 500; ++i) {
      HWND box = nullptr;
      ::EnumThreadWindows(mainThread_, &Find, reinterpret_cast<LPARAM>(&box));
      if (box) {
        char buf[256];
        ::GetWindowTextA(box, buf, sizeof buf);
        caption = buf;
        ::GetDlgItemTextA(box, 0xffff, buf, sizeof buf);
        text = buf;
        ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return;
      }
      ::Sleep(10);
    }
  }
  static BOOL CALLBACK Find(HWND wnd, LPARAM param) {
    char cls[16];
    if (::GetClassNameA(wnd, cls, sizeof cls) && std::string(cls) == "#32770" && ::IsWindowVisible(wnd)) {
      *reinterpret_cast<HWND*>(param) = wnd;
      return FALSE;
    }
    return TRUE;
  }
  DWORD mainThread_ = ::GetCurrentThreadId();
  std::thread thread_;
};

}  // namespace

TEST(WinAppTest, RunsInitLoopAndExitUntilTheMainWindowEnds) {
  LifecycleApp app(true);
  EXPECT_EQ(&app, AfxGetApp());
  EXPECT_EQ(7, app.WinMainEntry(::GetModuleHandleA(nullptr), "/x", SW_SHOW));
  EXPECT_EQ("init;exit-after-main;", app.calls);
  EXPECT_EQ("/x", app.m_lpCmdLine);
  EXPECT_TRUE(app.mainWindowGone());
}

TEST(WinAppTest, FailedStartDestroysTheMainWindowAndStillExits) {
  {
    LifecycleApp app(false);
    EXPECT_EQ(7, app.WinMainEntry(::GetModuleHandleA(nullptr), "", SW_SHOW));
    EXPECT_EQ("init;exit-after-main;", app.calls);
  }
  EXPECT_EQ(&TestApp(), AfxGetApp()) << "the earlier application is current again";
  DrainMessages();
}

TEST(WinAppTest, MessageBoxesCarryTheApplicationsTitle) {
  std::string caption, text;
  int answer = 0;
  {
    MessageBoxAnswerer answerer(IDNO);
    answer = AfxMessageBox("Do you really want to exit?", MB_YESNO | MB_ICONQUESTION);
    answerer.Join();
    caption = answerer.caption;
    text = answerer.text;
  }
  EXPECT_EQ(IDNO, answer);
  EXPECT_EQ("Framework Tests", caption);
  EXPECT_EQ("Do you really want to exit?", text);
}
