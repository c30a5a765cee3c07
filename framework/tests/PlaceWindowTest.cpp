#include <gtest/gtest.h>

#include "framework/Wnd.h"
#include "framework/tests/TestApp.h"
#include "framework/PlaceWindow.h"
#include "framework/PumpMessages.h"

TEST(PlaceWindowTest, CentresAtTheFractionAndStaysInsideTheReference) {
  struct Row {
    int w, h, W, H, a, b, c, d;
    LONG x, y;
  } const rows[] = {
      {400, 350, 1024, 768, 1, 3, 1, 3, 141, 81},   // billboard at a third of the screen
      {520, 316, 1024, 768, 1, 3, 1, 3, 81, 98},    // splash
      {300, 200, 1024, 768, 5, 7, 3, 5, 581, 360},  // copy page
      {900, 700, 1024, 768, 1, 3, 1, 3, 0, 0},      // too far left and up: clamped to 0
      {300, 200, 1024, 768, 1, 1, 1, 1, 724, 568},  // too far right and down: kept inside
      {1200, 900, 1024, 768, 1, 2, 1, 2, 0, 0},     // larger than the reference
  };
  for (const Row& r : rows) {
    const POINT p = ComputePlacement(r.w, r.h, r.W, r.H, r.a, r.b, r.c, r.d);
    EXPECT_EQ(r.x, p.x) << r.w << "x" << r.h << " at " << r.a << "/" << r.b;
    EXPECT_EQ(r.y, p.y) << r.w << "x" << r.h << " at " << r.c << "/" << r.d;
  }
}

TEST(PlaceWindowTest, MovesARealWindowKeepingItsSize) {
  HWND wnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 5, 5, 120, 80, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, wnd);
  PlaceWindow(wnd, 1, 3, 1, 3, nullptr);
  RECT rc;
  ::GetWindowRect(wnd, &rc);
  const POINT expected = ComputePlacement(120, 80, ::GetSystemMetrics(SM_CXSCREEN),
                                          ::GetSystemMetrics(SM_CYSCREEN), 1, 3, 1, 3);
  EXPECT_EQ(expected.x, rc.left);
  EXPECT_EQ(expected.y, rc.top);
  EXPECT_EQ(120, rc.right - rc.left);
  EXPECT_EQ(80, rc.bottom - rc.top);
  ::DestroyWindow(wnd);
}

namespace {

class CountingWnd : public CWnd {
public:
  int received = 0;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) ++received;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

}  // namespace

TEST(PumpMessagesTest, DispatchesWaitingMessagesAndPostsQuitAgain) {
  CountingWnd wnd;
  const std::string cls = CWnd::RegisterWndClass(0);
  ASSERT_TRUE(wnd.CreateEx(0, cls.c_str(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  wnd.PostMessage(WM_APP);
  wnd.PostMessage(WM_APP);
  ::PostQuitMessage(3);
  wnd.PostMessage(WM_APP);  // WM_QUIT comes only when nothing else waits
  PumpMessages();
  EXPECT_EQ(3, wnd.received);
  MSG msg;
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT is left for the main loop";
  EXPECT_EQ(3u, msg.wParam);
  DrainMessages();
  wnd.DestroyWindow();
}
