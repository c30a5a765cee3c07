#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "TestApp.h"
#include "framework/Controls.h"
#include "framework/FrameWnd.h"

namespace {

constexpr UINT kThrowFileError = WM_APP + 1;
constexpr UINT kThrowStdError = WM_APP + 2;
constexpr UINT kDestroyFromInside = WM_APP + 3;

class RecordingFrame : public CFrameWnd {
public:
  bool Create() { return CFrameWnd::Create(nullptr, "Recording", WS_OVERLAPPEDWINDOW); }

  int created = 0;
  UINT lastCommand = 0;
  UINT lastCode = 0;
  int closes = 0;
  int destroys = 0;
  bool* finalCalled = nullptr;
  bool detachedAtFinal = false;
  bool throwAtFinal = false;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case kThrowFileError:
        throw CFileException(CFileException::diskFull);
      case kThrowStdError:
        throw std::runtime_error("not a framework exception");
      case kDestroyFromInside:
        DestroyWindow();
        // Still inside one of the window's own messages: the object must be alive.
        return finalCalled && !*finalCalled ? 1 : 0;
      default:
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
  }
  int OnCreate(CREATESTRUCTA* cs) override {
    ++created;
    return CFrameWnd::OnCreate(cs);
  }
  BOOL OnCommand(UINT id, UINT code, HWND control) override {
    if (id >= 300 && id <= 310) {  // a range of ids
      lastCommand = id;
      lastCode = code;
      return TRUE;
    }
    return CFrameWnd::OnCommand(id, code, control);
  }
  void OnClose() override { ++closes; }  // does not close
  void OnDestroy() override {
    ++destroys;
    CFrameWnd::OnDestroy();
  }
  void PostNcDestroy() override {
    if (finalCalled) *finalCalled = true;
    detachedAtFinal = m_hWnd == nullptr;
    if (throwAtFinal) throw std::bad_alloc();
  }
};

class OwnerDrawButton : public CButton {
public:
  int draws = 0;
  int mouseMoves = 0;

protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override {
    cs.style |= BS_OWNERDRAW;
    return true;
  }
  void DrawItem(DRAWITEMSTRUCT* dis) override {
    ++draws;
    ::FillRect(dis->hDC, &dis->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  }
  void OnMouseMove(UINT flags, POINT point) override {
    ++mouseMoves;
    CButton::OnMouseMove(flags, point);
  }
};

class WndTest : public ::testing::Test {
protected:
  void SetUp() override { TestApp().handled.clear(); }
  void TearDown() override { DrainMessages(); }
};

}  // namespace

TEST_F(WndTest, MessagesReachTheirHandlersAndTheRestGetsDefaultProcessing) {
  RecordingFrame frame;
  ASSERT_TRUE(frame.Create());
  EXPECT_EQ(1, frame.created);
  EXPECT_EQ(&frame, CWnd::FromHandle(frame.m_hWnd));

  frame.SendMessage(WM_COMMAND, MAKEWPARAM(305, BN_CLICKED), 0);
  EXPECT_EQ(305u, frame.lastCommand);
  EXPECT_EQ(static_cast<UINT>(BN_CLICKED), frame.lastCode);
  frame.SendMessage(WM_COMMAND, MAKEWPARAM(311, 0), 0);  // outside the range
  EXPECT_EQ(305u, frame.lastCommand);

  // WM_SETTEXT has no handler: the default procedure stores the text.
  frame.SetWindowText("Changed title");
  EXPECT_EQ("Changed title", frame.GetWindowText());

  frame.SendMessage(WM_CLOSE);
  EXPECT_EQ(1, frame.closes);
  EXPECT_TRUE(::IsWindow(frame.m_hWnd)) << "OnClose did not call the default, so the window stays";

  HWND h = frame.m_hWnd;
  EXPECT_TRUE(frame.DestroyWindow());
  EXPECT_EQ(1, frame.destroys);
  EXPECT_EQ(nullptr, frame.m_hWnd);
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_TRUE(frame.detachedAtFinal);
}

TEST_F(WndTest, ExceptionInAHandlerReachesTheApplicationAndTheProgramGoesOn) {
  RecordingFrame frame;
  ASSERT_TRUE(frame.Create());
  EXPECT_EQ(4242, frame.SendMessage(kThrowFileError));
  ASSERT_EQ(1u, TestApp().handled.size());
  EXPECT_EQ("CFileException", TestApp().handled[0]);
  EXPECT_EQ(kThrowFileError, TestApp().lastMessage);

  // Other C++ exceptions are handed over as a framework exception too.
  EXPECT_EQ(4242, frame.SendMessage(kThrowStdError));
  ASSERT_EQ(2u, TestApp().handled.size());
  EXPECT_EQ("CException", TestApp().handled[1]);

  // The window still works afterwards.
  frame.SendMessage(WM_COMMAND, MAKEWPARAM(300, 0), 0);
  EXPECT_EQ(300u, frame.lastCommand);
}

TEST_F(WndTest, PostNcDestroyWaitsUntilTheWindowsOwnMessageHasFinished) {
  RecordingFrame frame;
  bool finalCalled = false;
  frame.finalCalled = &finalCalled;
  ASSERT_TRUE(frame.Create());
  EXPECT_EQ(1, frame.SendMessage(kDestroyFromInside));
  EXPECT_TRUE(finalCalled);
  EXPECT_EQ(nullptr, frame.m_hWnd);
}

TEST_F(WndTest, WhatPostNcDestroyThrowsReachesTheApplication) {
  RecordingFrame frame;
  frame.throwAtFinal = true;
  ASSERT_TRUE(frame.Create());
  frame.DestroyWindow();
  EXPECT_EQ(nullptr, frame.m_hWnd);
  ASSERT_EQ(1u, TestApp().handled.size());
  EXPECT_EQ("CMemoryException", TestApp().handled[0]);
  EXPECT_EQ(static_cast<UINT>(WM_NCDESTROY), TestApp().lastMessage);
}

TEST_F(WndTest, ControlsRouteTheirMessagesAndOwnerDrawingToTheirObjects) {
  RecordingFrame frame;
  ASSERT_TRUE(frame.Create());
  OwnerDrawButton button;
  ASSERT_TRUE(button.Create("Owner drawn", WS_VISIBLE, RECT{10, 10, 110, 40}, &frame, 301));
  EXPECT_TRUE(::GetWindowLongA(button.m_hWnd, GWL_STYLE) & BS_OWNERDRAW) << "PreCreateWindow hook applied";
  EXPECT_EQ(&button, CWnd::FromHandle(button.m_hWnd));

  frame.ShowWindow(SW_SHOW);
  frame.UpdateWindow();
  button.Invalidate();
  button.UpdateWindow();
  EXPECT_GE(button.draws, 1) << "WM_DRAWITEM of the parent reaches the button's DrawItem";

  button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(1, button.mouseMoves);

  // A click of the button arrives at the parent as WM_COMMAND.
  button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(301u, frame.lastCommand);
  frame.DestroyWindow();
  EXPECT_EQ(nullptr, button.m_hWnd) << "child destroyed with its parent and detached";
}

TEST_F(WndTest, TheMainWindowsEndPostsQuit) {
  RecordingFrame frame;
  ASSERT_TRUE(frame.Create());
  TestApp().m_pMainWnd = &frame;
  frame.DestroyWindow();
  EXPECT_EQ(nullptr, TestApp().m_pMainWnd);
  EXPECT_TRUE(DrainMessages()) << "WM_QUIT posted";
}

TEST_F(WndTest, NamedClassesAreRegisteredOnceAndTheirWindowsReachTheirObjects) {
  CWnd::RegisterNamedClass("WndTestNamed", CS_HREDRAW);
  CWnd::RegisterNamedClass("WndTestNamed", CS_VREDRAW);  // kept as first registered
  WNDCLASSA info{};
  ASSERT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), "WndTestNamed", &info));
  EXPECT_EQ(static_cast<UINT>(CS_HREDRAW), info.style);

  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, "WndTestNamed", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(&wnd, CWnd::FromHandle(wnd.m_hWnd));
  EXPECT_EQ(::GetWindowLongPtrA(wnd.m_hWnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc))
      << "attached at creation, not subclassed";

  // A system class of that name is not taken for ours.
  EXPECT_THROW(CWnd::RegisterNamedClass("BUTTON", 0), CResourceException);
}

TEST_F(WndTest, GeneratedClassNamesTellTheirParametersApart) {
  const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
  const HICON icon = ::LoadIconA(nullptr, IDI_APPLICATION);
  const std::string plain = CWnd::RegisterWndClass(CS_DBLCLKS, arrow);
  EXPECT_EQ(plain, CWnd::RegisterWndClass(CS_DBLCLKS, arrow));
  const std::string withIcon = CWnd::RegisterWndClass(CS_DBLCLKS, arrow, nullptr, icon);
  EXPECT_NE(plain, withIcon) << "the last parameter is part of the name";
  WNDCLASSA info{};
  ASSERT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), withIcon.c_str(), &info));
  EXPECT_EQ(icon, info.hIcon);
}
