// The background window: its palette, its painting, its creation; and the
// bitmap popup's size and place.
#include <gtest/gtest.h>

#include <windows.h>

#include "SetupAppFixture.h"
#include "framework/BitmapDialog.h"
#include "setup/app/GradientPalette.h"
#include "setup/app/MainWnd.h"
#include "setup/resources/ResourceIds.h"
#include "framework/PlaceWindow.h"
#include "tests/support/Canvas.h"

namespace {

// The background is painted on 24-bit pictures.
constexpr WORD kPictureBits = 24;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

}  // namespace

TEST(GradientPaletteTest, HoldsTheDefaultEntriesThenTheGradient) {
  const auto entries = GradientPaletteEntries(256, CMainWnd::kGradientTop, CMainWnd::kGradientBottom);
  ASSERT_EQ(256u, entries.size());
  PALETTEENTRY stock[20];
  ASSERT_EQ(20u, ::GetPaletteEntries(static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), 0, 20, stock));
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(stock[i].peRed, entries[i].peRed) << i;
    EXPECT_EQ(stock[i].peGreen, entries[i].peGreen) << i;
    EXPECT_EQ(stock[i].peBlue, entries[i].peBlue) << i;
  }
  // 236 steps from (0, 0, 200) towards (0, 255, 255), never reaching it.
  EXPECT_EQ(0, entries[20].peRed);
  EXPECT_EQ(0, entries[20].peGreen);
  EXPECT_EQ(200, entries[20].peBlue);
  EXPECT_EQ(0, entries[255].peRed);
  EXPECT_EQ(235 * 255 / 236, entries[255].peGreen);
  EXPECT_EQ(200 + 235 * 55 / 236, entries[255].peBlue);
  for (int i = 21; i < 256; ++i) {
    EXPECT_GE(entries[i].peGreen, entries[i - 1].peGreen) << i;
    EXPECT_EQ(0, entries[i].peFlags) << i;
  }
}

TEST(GradientPaletteTest, NoPaletteWithoutRoomForTheGradient) {
  for (int size : {0, 16, 20}) {
    EXPECT_TRUE(GradientPaletteEntries(size, RGB(0, 0, 0), RGB(255, 255, 255)).empty()) << size;
  }
  EXPECT_EQ(21u, GradientPaletteEntries(21, RGB(0, 0, 0), RGB(255, 255, 255)).size());
  // A true-colour device (the screen here) gets none.
  const CClientDC screen(nullptr);
  if (::GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) GTEST_SKIP() << "the display has a palette";
  CPalette palette;
  EXPECT_FALSE(CreateGradientPalette(palette, screen, RGB(0, 0, 0), RGB(255, 255, 255)));
  EXPECT_EQ(nullptr, palette.GetSafeHandle());
}

TEST(MainWndPaintTest, GradientRunsFromDarkBlueAtTheTopToNearlyCyanAtTheBottom) {
  Canvas canvas(600, 100, kMagenta, kPictureBits);
  CMainWnd::PaintBackground(canvas.dc(), RECT{0, 0, 600, 100}, false, "Veltrane Setup");
  // The right edge is clear of the title.
  EXPECT_EQ(RGB(0, 0, 200), canvas.At(599, 0));
  EXPECT_EQ(RGB(0, 50 * 255 / 100, 200 + 50 * 55 / 100), canvas.At(599, 50));
  EXPECT_EQ(RGB(0, 99 * 255 / 100, 200 + 99 * 55 / 100), canvas.At(599, 99));
}

TEST(MainWndPaintTest, TitleIsGoldWithABlackShadow) {
  Canvas canvas(600, 200, kMagenta, kPictureBits);
  CMainWnd::PaintBackground(canvas.dc(), RECT{0, 0, 600, 200}, false, "Veltrane Setup");
  int gold = 0, black = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 400; ++x) {
      const COLORREF c = canvas.At(x, y);
      if (c == CMainWnd::kTitleColor) ++gold;
      if (c == RGB(0, 0, 0)) ++black;
    }
  }
  EXPECT_GT(gold, 100);
  EXPECT_GT(black, 20);
}

TEST(MainWndPaintTest, LeavesTheDeviceContextAsItFoundIt) {
  Canvas canvas(300, 100, kMagenta, kPictureBits);
  const HGDIOBJ font = ::GetCurrentObject(canvas.dc(), OBJ_FONT);
  ::SetTextColor(canvas.dc(), RGB(1, 2, 3));
  ::SetBkMode(canvas.dc(), OPAQUE);
  CMainWnd::PaintBackground(canvas.dc(), RECT{0, 0, 300, 100}, true, "Veltrane Setup");
  EXPECT_EQ(font, ::GetCurrentObject(canvas.dc(), OBJ_FONT));
  EXPECT_EQ(RGB(1, 2, 3), ::GetTextColor(canvas.dc()));
  EXPECT_EQ(OPAQUE, ::GetBkMode(canvas.dc()));
}

TEST(MainWndPaintTest, AZeroHeightAreaGetsNoGradientRows) {
  Canvas canvas(600, 100, kMagenta, kPictureBits);
  CMainWnd::PaintBackground(canvas.dc(), RECT{0, 50, 600, 50}, false, "");
  EXPECT_EQ(kMagenta, canvas.At(599, 50));
  EXPECT_EQ(kMagenta, canvas.At(599, 49));
}

TEST_F(SetupAppFixture, MainWindowIsMaximisedWithTheProductTitleOrMinimisedInBatchMode) {
  for (bool batch : {false, true}) {
    app.batchMode = batch;
    CMainWnd wnd(app);
    ASSERT_TRUE(wnd.Create());
    EXPECT_EQ("Veltrane Setup", wnd.GetWindowText());
    EXPECT_EQ(!batch, ::IsZoomed(wnd) != 0) << "batch " << batch;
    EXPECT_EQ(batch, ::IsIconic(wnd) != 0) << "batch " << batch;
    wnd.DestroyWindow();
    DrainMessages();
  }
}

TEST_F(SetupAppFixture, SplashTakesItsBitmapsSizeAtOneThirdOfTheScreenOrNoSizeInBatchMode) {
  for (bool batch : {false, true}) {
    app.batchMode = batch;
    CBitmapDialog splash(IDD_BITMAP_DIALOG, IDB_SPLASH, nullptr, batch);
    ASSERT_TRUE(splash.Create());
    const RECT rc = splash.GetWindowRect();
    if (batch) {
      EXPECT_EQ(0, rc.right - rc.left);
      EXPECT_EQ(0, rc.bottom - rc.top);
    } else {
      EXPECT_EQ(520, rc.right - rc.left);
      EXPECT_EQ(316, rc.bottom - rc.top);
      const POINT expected = ComputePlacement(520, 316, ::GetSystemMetrics(SM_CXSCREEN),
                                              ::GetSystemMetrics(SM_CYSCREEN), 1, 3, 1, 3);
      EXPECT_EQ(expected.x, rc.left);
      EXPECT_EQ(expected.y, rc.top);
    }
    EXPECT_TRUE(splash.IsWindowVisible());
    splash.DestroyWindow();
  }
}

TEST(BitmapDialogTest, DrawsTheBitmapAtItsOwnSize) {
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadBitmap(IDB_BILLBOARD_FIRST));
  EXPECT_EQ(400, bitmap.GetSize().cx);
  EXPECT_EQ(350, bitmap.GetSize().cy);
  Canvas canvas(420, 360, kMagenta, kPictureBits);
  CBitmapDialog::DrawBitmap(canvas.dc(), bitmap);
  EXPECT_NE(kMagenta, canvas.At(0, 0));
  EXPECT_NE(kMagenta, canvas.At(399, 349));
  EXPECT_EQ(kMagenta, canvas.At(400, 0));
  EXPECT_EQ(kMagenta, canvas.At(0, 350));
}
