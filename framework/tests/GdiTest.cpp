#include <gtest/gtest.h>

#include "framework/Gdi.h"

TEST(GdiTest, SelectionsAreRestoredWhenTheScopeEnds) {
  CMemoryDC dc;
  ASSERT_NE(nullptr, dc.GetSafeHdc());
  const HGDIOBJ originalFont = ::GetCurrentObject(dc, OBJ_FONT);
  const HGDIOBJ originalBitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
  const HGDIOBJ originalBrush = ::GetCurrentObject(dc, OBJ_BRUSH);

  CFont font;
  ASSERT_TRUE(font.CreatePointFont(24, 0, true, true, false, false, 0, 0, 0, 0, 0, "Arial", dc));
  CBitmap bitmap;
  {
    CClientDC screen(nullptr);
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 16, 8));
  }
  CBrush brush(RGB(1, 2, 3));
  {
    CSelectObject selectFont(dc, font);
    CSelectObject selectBitmap(dc, bitmap);
    CSelectObject selectBrush(dc, brush);
    EXPECT_EQ(font.GetSafeHandle(), ::GetCurrentObject(dc, OBJ_FONT));
    EXPECT_EQ(bitmap.GetSafeHandle(), ::GetCurrentObject(dc, OBJ_BITMAP));
    EXPECT_EQ(brush.GetSafeHandle(), ::GetCurrentObject(dc, OBJ_BRUSH));
  }
  EXPECT_EQ(originalFont, ::GetCurrentObject(dc, OBJ_FONT));
  EXPECT_EQ(originalBitmap, ::GetCurrentObject(dc, OBJ_BITMAP));
  EXPECT_EQ(originalBrush, ::GetCurrentObject(dc, OBJ_BRUSH));

  LOGFONTA lf;
  ASSERT_TRUE(font.GetLogFont(lf));
  EXPECT_EQ(FW_BOLD, lf.lfWeight);
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_LT(lf.lfHeight, 0) << "point sizes become character heights";
}

TEST(GdiTest, PaletteSelectionIsRestoredAndEntriesCounted) {
  CMemoryDC dc;
  struct {
    LOGPALETTE header;
    PALETTEENTRY more[3];
  } lp{};
  lp.header.palVersion = 0x300;
  lp.header.palNumEntries = 4;
  CPalette palette;
  ASSERT_TRUE(palette.CreatePalette(&lp.header));
  EXPECT_EQ(4, palette.GetEntryCount());
  const HGDIOBJ original = ::GetCurrentObject(dc, OBJ_PAL);
  {
    CSelectPalette select(dc, palette);
    EXPECT_TRUE(select.selected());
    EXPECT_EQ(palette.GetSafeHandle(), ::GetCurrentObject(dc, OBJ_PAL));
  }
  EXPECT_EQ(original, ::GetCurrentObject(dc, OBJ_PAL));
}

TEST(GdiTest, MemoryBitmapDrawsAndReadsBackPixels) {
  CClientDC screen(nullptr);
  CMemoryDC dc(screen);
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 10, 10));
  EXPECT_EQ(10, bitmap.GetSize().cx);
  CSelectObject select(dc, bitmap);
  dc.FillSolidRect(RECT{0, 0, 10, 10}, RGB(0, 0, 200));
  dc.FillSolidRect(RECT{0, 0, 10, 1}, RGB(255, 204, 0));
  EXPECT_EQ(RGB(255, 204, 0), dc.GetPixel(5, 0));
  EXPECT_EQ(RGB(0, 0, 200), dc.GetPixel(5, 5));
}

TEST(GdiTest, ObjectsMoveWithOneOwner) {
  CBrush first(RGB(9, 9, 9));
  const HBRUSH handle = first;
  CBrush second(std::move(first));
  EXPECT_EQ(nullptr, first.GetSafeHandle());
  EXPECT_EQ(handle, second.GetSafeHandle());
  EXPECT_EQ(OBJ_BRUSH, static_cast<int>(::GetObjectType(handle)));
  second.DeleteObject();
  EXPECT_EQ(0, static_cast<int>(::GetObjectType(handle))) << "deleted exactly once, by its owner";
}
