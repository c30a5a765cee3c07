// Packed pictures: a deflated DIB becomes the same bitmap as the DIB itself,
// and damaged data become none.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "framework/Gdi.h"
#include "framework/PackedBitmap.h"
#include "tests/support/BmpBuilder.h"
#include "tests/support/Canvas.h"
#include "tests/support/PackedData.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A picture of every colour of a 256-entry table, in a pattern that no row
// repeats, with a width that pads its rows.
BmpBuilder Sample8() {
  BmpBuilder b;
  b.width = 37;
  b.height = 23;
  b.fileHeader = false;
  for (int i = 0; i < 256; ++i) {
    b.colors.push_back(RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0});
  }
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < b.width; ++x) b.indices.push_back(static_cast<std::uint8_t>(x * 11 + y * 29 + x * y));
  }
  return b;
}

// The ZDIB form of dib.
Bytes Pack(const Bytes& dib, std::uint32_t storedSize) { return PackData(dib, storedSize); }
Bytes Pack(const Bytes& dib) { return PackData(dib); }

CBitmap Own(HBITMAP handle) {
  CBitmap bitmap;
  bitmap.Attach(handle);
  return bitmap;
}

// The bitmap CreateDIBitmap makes of the plain dib on the screen's DC.
CBitmap Plain(const Bytes& dib) {
  const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
  const std::size_t colours = info->bmiHeader.biBitCount <= 8 ? (std::size_t{1} << info->bmiHeader.biBitCount) : 0;
  CClientDC screen(nullptr);
  return Own(::CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, dib.data() + 40 + 4 * colours, info,
                                  DIB_RGB_COLORS));
}

void ExpectSamePicture(HBITMAP expected, HBITMAP actual) {
  ASSERT_NE(nullptr, expected);
  ASSERT_NE(nullptr, actual);
  BITMAP a{}, b{};
  ASSERT_TRUE(::GetObjectA(expected, sizeof a, &a));
  ASSERT_TRUE(::GetObjectA(actual, sizeof b, &b));
  EXPECT_EQ(a.bmWidth, b.bmWidth);
  EXPECT_EQ(a.bmHeight, b.bmHeight);
  EXPECT_EQ(a.bmBitsPixel, b.bmBitsPixel);
  EXPECT_EQ(a.bmPlanes, b.bmPlanes);
  EXPECT_FALSE(BitmapPixels(expected).empty());
  EXPECT_EQ(BitmapPixels(expected), BitmapPixels(actual));
}

}  // namespace

TEST(PackedBitmapTest, BecomesTheBitmapOfItsDib) {
  const Bytes dib = Sample8().Build();
  const Bytes packed = Pack(dib);
  EXPECT_LT(packed.size(), dib.size());
  CBitmap bitmap = Own(CreateBitmapFromPackedDib(packed.data(), packed.size()));
  ExpectSamePicture(Plain(dib), bitmap);
  EXPECT_EQ(37, bitmap.GetSize().cx);
  EXPECT_EQ(23, bitmap.GetSize().cy);
}

TEST(PackedBitmapTest, TakesTopDownAndTwentyFourBitPictures) {
  BmpBuilder topDown = Sample8();
  topDown.storedHeight = -topDown.height;
  const Bytes topDownDib = topDown.Build();
  const Bytes packedTopDown = Pack(topDownDib);
  ExpectSamePicture(Plain(topDownDib), Own(CreateBitmapFromPackedDib(packedTopDown.data(), packedTopDown.size())));

  BmpBuilder rgb;
  rgb.fileHeader = false;
  rgb.bits = 24;
  rgb.width = 5;
  rgb.height = 3;
  for (int i = 0; i < 15; ++i) rgb.rgb.push_back(RGB(i * 17, 255 - i * 17, i * 5));
  const Bytes rgbDib = rgb.Build();
  const Bytes packedRgb = Pack(rgbDib);
  ExpectSamePicture(Plain(rgbDib), Own(CreateBitmapFromPackedDib(packedRgb.data(), packedRgb.size())));
}

TEST(PackedBitmapTest, DamagedDataMakeNoBitmap) {
  const Bytes dib = Sample8().Build();
  const Bytes packed = Pack(dib);
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(nullptr, 0));
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(packed.data(), 3)) << "no room for the size";
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(packed.data(), packed.size() - 5)) << "stream cut short";

  Bytes flipped = packed;
  flipped[packed.size() / 2] ^= 0x55;
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(flipped.data(), flipped.size())) << "a flipped byte";

  const auto size = static_cast<std::uint32_t>(dib.size());
  const Bytes longer = Pack(dib, size + 1);
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(longer.data(), longer.size())) << "fewer bytes than the size says";
  const Bytes shorter = Pack(dib, size - 1);
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(shorter.data(), shorter.size())) << "more bytes than the size says";
  const Bytes huge = Pack(dib, 0x7FFFFFFF);
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(huge.data(), huge.size())) << "an absurd size";

  BmpBuilder cut = Sample8();
  cut.cutAt = dib.size() - 1;
  const Bytes packedCut = Pack(cut.Build());
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(packedCut.data(), packedCut.size())) << "pixels missing";

  BmpBuilder badHeader = Sample8();
  badHeader.headerSize = 12;
  const Bytes packedBadHeader = Pack(badHeader.Build());
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(packedBadHeader.data(), packedBadHeader.size()));

  BmpBuilder manyColours = Sample8();
  manyColours.colorsUsed = 0x40000001;  // a table size that wraps in 32 bits
  const Bytes packedManyColours = Pack(manyColours.Build());
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(packedManyColours.data(), packedManyColours.size()));

  BmpBuilder tooWide = Sample8();
  tooWide.storedWidth = 1 << 20;
  const Bytes packedTooWide = Pack(tooWide.Build());
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(packedTooWide.data(), packedTooWide.size()));

  BmpBuilder unknown = Sample8();
  unknown.compression = 9;
  const Bytes packedUnknown = Pack(unknown.Build());
  EXPECT_EQ(nullptr, CreateBitmapFromPackedDib(packedUnknown.data(), packedUnknown.size()));
}

TEST(PackedBitmapTest, LoadBitmapFindsNoPictureWhereThereIsNone) {
  CBitmap bitmap;
  EXPECT_FALSE(bitmap.LoadBitmap(4711));
  EXPECT_EQ(nullptr, LoadPackedBitmap(::GetModuleHandleA(nullptr), 4711));
}

// Run-length encoded pixels are read as far as the image size says: a size
// that runs past the data, or none, makes no bitmap.
TEST(PackedBitmapTest, EncodedPixelsAreTakenOnlyWithinTheirData) {
  const struct {
    const char* name;
    long long imageSize;
    bool makesABitmap;
  } rows[] = {
      {"the size of the codes", 4, true},
      {"no size", 0, false},
      {"a size past the data", 4096, false},
      {"one byte past the data", 5, false},
  };
  for (const auto& row : rows) {
    // Two pixels of colour 5, then the end of the bitmap: 02 05 00 01.
    BmpBuilder b;
    b.fileHeader = false;
    b.width = 2;
    b.height = 1;
    b.compression = BI_RLE8;
    b.imageSize = row.imageSize;
    Bytes dib = b.Build();
    const Bytes codes = {2, 5, 0, 1};
    std::copy(codes.begin(), codes.end(), dib.end() - 4);
    const Bytes packed = Pack(dib);
    CBitmap bitmap = Own(CreateBitmapFromPackedDib(packed.data(), packed.size()));
    EXPECT_EQ(row.makesABitmap, bitmap.GetSafeHandle() != nullptr) << row.name;
  }
}
