// The packed pictures of _setupx show what the plain bitmaps showed: loaded
// by their ids, they become bitmaps of the same size, depth and pixels as
// LoadBitmap made of the BITMAP resources. The packed page icons draw as
// the ICON resources they replace.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/BitmapDialog.h"
#include "framework/Gdi.h"
#include "framework/PackedIcon.h"
#include "setup/resources/ResourceIds.h"
#include "tests/support/Canvas.h"

namespace {

constexpr int kPlainOffset = 1000;  // PicturesTest.rc

const int kPictures[] = {IDB_BILLBOARD_FIRST, IDB_BILLBOARD_FIRST + 1, IDB_BILLBOARD_LAST, IDB_SPLASH};

const int kPageIcons[] = {IDI_PAGE_START_MENU, IDI_PAGE_FOLDER,  IDI_PAGE_PRODUCT, IDI_PAGE_WARNING,
                          IDI_PAGE_DISK,       IDI_PAGE_WAIT,    IDI_PAGE_RESTART, IDI_PAGE_REMOVE,
                          IDI_PAGE_STOP,       IDI_PAGE_USER,    IDI_PAGE_GEARS};

}  // namespace

TEST(PicturesTest, ThePicturesArePackedOnly) {
  for (int id : kPictures) {
    EXPECT_EQ(nullptr, ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_BITMAP)) << id;
    HRSRC packed = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), "ZDIB");
    ASSERT_NE(nullptr, packed) << id;
    HRSRC plain = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id + kPlainOffset), RT_BITMAP);
    ASSERT_NE(nullptr, plain) << id;
    EXPECT_LT(::SizeofResource(nullptr, packed) * 10, ::SizeofResource(nullptr, plain))
        << id << ": packed to less than a tenth";
  }
}

TEST(PicturesTest, EachPackedPictureBecomesTheBitmapOfItsPlainOne) {
  for (int id : kPictures) {
    CBitmap packed;
    CBitmap plain;
    ASSERT_TRUE(packed.LoadBitmap(static_cast<UINT>(id))) << id;
    ASSERT_TRUE(plain.LoadBitmap(static_cast<UINT>(id + kPlainOffset))) << id;
    BITMAP a{}, b{};
    ASSERT_TRUE(plain.GetBitmap(a));
    ASSERT_TRUE(packed.GetBitmap(b));
    EXPECT_EQ(a.bmWidth, b.bmWidth) << id;
    EXPECT_EQ(a.bmHeight, b.bmHeight) << id;
    EXPECT_EQ(a.bmBitsPixel, b.bmBitsPixel) << id;
    EXPECT_EQ(a.bmPlanes, b.bmPlanes) << id;
    EXPECT_FALSE(BitmapPixels(plain).empty()) << id;
    EXPECT_TRUE(BitmapPixels(plain) == BitmapPixels(packed)) << id << ": the pixels differ";
  }
}

TEST(PicturesTest, ThePopupDrawsThePackedPictureAsItDrewThePlainOne) {
  for (int id : kPictures) {
    CBitmap packed;
    CBitmap plain;
    ASSERT_TRUE(packed.LoadBitmap(static_cast<UINT>(id)));
    ASSERT_TRUE(plain.LoadBitmap(static_cast<UINT>(id + kPlainOffset)));
    const SIZE size = plain.GetSize();
    for (WORD bits : {WORD{24}, WORD{32}}) {
      Canvas before(size.cx, size.cy, RGB(255, 0, 255), bits);
      Canvas after(size.cx, size.cy, RGB(255, 0, 255), bits);
      CBitmapDialog::DrawBitmap(before.dc(), plain);
      CBitmapDialog::DrawBitmap(after.dc(), packed);
      int differing = 0;
      for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) differing += before.At(x, y) != after.At(x, y) ? 1 : 0;
      }
      EXPECT_EQ(0, differing) << id << " on a " << bits << "-bit picture";
    }
  }
}

TEST(PicturesTest, ThePicturesHaveTheirSizes) {
  CBitmap billboard;
  ASSERT_TRUE(billboard.LoadBitmap(IDB_BILLBOARD_FIRST));
  EXPECT_EQ(400, billboard.GetSize().cx);
  EXPECT_EQ(350, billboard.GetSize().cy);
  CBitmap splash;
  ASSERT_TRUE(splash.LoadBitmap(IDB_SPLASH));
  EXPECT_EQ(520, splash.GetSize().cx);
  EXPECT_EQ(316, splash.GetSize().cy);
}

TEST(PicturesTest, ThePageIconsArePackedOnlyAndTheProgramIconIsPlain) {
  EXPECT_NE(nullptr, ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDI_PROGRAM), RT_GROUP_ICON)) << "Explorer shows it";
  for (int id : kPageIcons) {
    EXPECT_EQ(nullptr, ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_GROUP_ICON)) << id;
    HRSRC packed = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), kPackedIconType);
    ASSERT_NE(nullptr, packed) << id;
    EXPECT_LT(::SizeofResource(nullptr, packed) * 3, 4096u) << id << ": packed to less than a third";
  }
}

TEST(PicturesTest, EachPackedPageIconDrawsAsItsPlainOne) {
  CPackedIcons icons(::GetModuleHandleA(nullptr));
  for (int id : kPageIcons) {
    HICON plain = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id + kPlainOffset));
    HICON packed = icons.Get(static_cast<UINT>(id));
    ASSERT_NE(nullptr, plain) << id;
    ASSERT_NE(nullptr, packed) << id;
    EXPECT_EQ(packed, icons.Get(static_cast<UINT>(id))) << id << ": made once";
    for (WORD bits : {WORD{24}, WORD{32}}) {
      const std::vector<COLORREF> expected = DrawnIconPixels(plain, 32, bits);
      ASSERT_FALSE(expected.empty()) << id;
      EXPECT_EQ(expected, DrawnIconPixels(packed, 32, bits)) << id << " on a " << bits << "-bit canvas";
    }
  }
}
