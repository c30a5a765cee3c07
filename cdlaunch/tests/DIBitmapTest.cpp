#include <gtest/gtest.h>

#include "BmpBuilder.h"
#include "Canvas.h"
#include "TempDir.h"
#include "cdlaunch/DIBitmap.h"
#include "framework/ScopedHandle.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>

namespace {

class DIBitmapTest : public ::testing::Test {
protected:
  std::string Write(const BmpBuilder& b, const std::string& name = "image.bmp") {
    const std::string path = dir / name;
    b.Write(path);
    return path;
  }
  TempDir dir;
};

void ExpectEmpty(CDIBitmap& image, const std::string& what) {
  int w = -1, h = -1;
  EXPECT_TRUE(image.IsEmpty()) << what;
  EXPECT_FALSE(image.GetSize(w, h)) << what;
  EXPECT_EQ(0, w) << what;
  EXPECT_EQ(0, h) << what;
  EXPECT_EQ(nullptr, image.GetDeviceBitmap()) << what;
  EXPECT_EQ(nullptr, image.GetInfoHeader()) << what;
}

}  // namespace

TEST_F(DIBitmapTest, LoadsWithAndWithoutFileHeader) {
  for (bool header : {true, false}) {
    BmpBuilder b = BmpBuilder::Solid8(5, 3, 7);
    b.fileHeader = header;
    CDIBitmap image;
    ASSERT_TRUE(image.LoadFromFile(Write(b))) << "file header: " << header;
    int w = 0, h = 0;
    EXPECT_TRUE(image.GetSize(w, h));
    EXPECT_EQ(5, w);
    EXPECT_EQ(3, h);
    EXPECT_EQ(header ? 'B' : 0, image.GetFileHeader()[0]) << "the file header is kept as read, zero when absent";
    EXPECT_NE(nullptr, image.GetDeviceBitmap());
  }
}

TEST_F(DIBitmapTest, EightBitsWithColorsUsedZeroGetTheirFullPalette) {
  BmpBuilder b = BmpBuilder::Solid8(2, 2, 1);
  b.colorsUsed = 0;
  CDIBitmap image;
  ASSERT_TRUE(image.LoadFromFile(Write(b)));
  EXPECT_EQ(256u, image.GetInfoHeader()->biClrUsed);
  EXPECT_EQ(256, image.GetColorCount());
  ASSERT_NE(nullptr, image.GetPalette());
  PALETTEENTRY entry{};
  WORD count = 0;
  ::GetObjectA(image.GetPalette(), sizeof count, &count);
  EXPECT_EQ(256, count);
  ::GetPaletteEntries(image.GetPalette(), 255, 1, &entry);
  EXPECT_EQ(255, entry.peRed) << "entries come from the colour table";
}

TEST_F(DIBitmapTest, RowSizesFollowTheBmpRule) {
  struct Case {
    int bits;
    int width;
    std::size_t rowBytes;
  } cases[] = {{1, 33, 8}, {1, 32, 4}, {4, 9, 8}, {8, 5, 8}, {24, 3, 12}, {24, 4, 12}};
  for (const auto& c : cases) {
    BmpBuilder b;
    b.bits = c.bits;
    b.width = c.width;
    b.height = 3;
    CDIBitmap image;
    ASSERT_TRUE(image.LoadFromFile(Write(b))) << c.bits << " bits, " << c.width << " wide";
    EXPECT_EQ(c.rowBytes * 3, image.GetPixelBytes()) << c.bits << " bits, " << c.width << " wide";
    EXPECT_EQ(c.rowBytes * 3, image.GetInfoHeader()->biSizeImage);
  }
}

TEST_F(DIBitmapTest, TwentyFourBitsHaveNoPaletteAndDrawOpaqueWithTheRasterOperation) {
  BmpBuilder b;
  b.bits = 24;
  b.width = 2;
  b.height = 2;
  b.rgb = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
  CDIBitmap image;
  ASSERT_TRUE(image.LoadFromFile(Write(b)));
  EXPECT_EQ(nullptr, image.GetPalette());
  EXPECT_EQ(0, image.GetColorCount());

  Canvas canvas(6, 6, RGB(10, 20, 30));
  ASSERT_TRUE(canvas.valid());
  image.Draw(canvas.dc(), 1, 1, 2, 2, SRCCOPY, FALSE, TRUE, FALSE);
  EXPECT_EQ(RGB(255, 0, 0), canvas.At(1, 1));
  EXPECT_EQ(RGB(0, 255, 0), canvas.At(2, 1));
  EXPECT_EQ(RGB(0, 0, 255), canvas.At(1, 2));
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(2, 2)) << "opaque drawing paints white too";
  EXPECT_EQ(RGB(10, 20, 30), canvas.At(0, 0));
  EXPECT_EQ(RGB(10, 20, 30), canvas.At(3, 3));

  image.Draw(canvas.dc(), 1, 1, 2, 2, DSTINVERT, FALSE, FALSE, FALSE);
  EXPECT_EQ(RGB(0, 255, 255), canvas.At(1, 1)) << "the raster operation is applied";
}

TEST_F(DIBitmapTest, DrawingIsClippedToTheGivenRectangle) {
  BmpBuilder b = BmpBuilder::Solid8(4, 4, 0);  // black
  CDIBitmap image;
  ASSERT_TRUE(image.LoadFromFile(Write(b)));
  Canvas canvas(8, 8, RGB(200, 200, 200));
  image.Draw(canvas.dc(), 2, 2, 2, 1, SRCCOPY, FALSE, FALSE, FALSE);
  EXPECT_EQ(RGB(0, 0, 0), canvas.At(3, 2));
  EXPECT_EQ(RGB(200, 200, 200), canvas.At(4, 2)) << "outside cx";
  EXPECT_EQ(RGB(200, 200, 200), canvas.At(2, 3)) << "outside cy";
  EXPECT_EQ(1, ::SaveDC(canvas.dc())) << "the DC's state was restored";
}

TEST_F(DIBitmapTest, TransparentDrawingLeavesEveryWhiteEntryUnpainted) {
  // White stands twice in the table (entries 3 and 9); entry 5 is near-white.
  BmpBuilder b;
  b.width = 4;
  b.height = 2;
  for (int i = 0; i < 256; ++i) b.colors.push_back(RGBQUAD{static_cast<BYTE>(i), 0, 0, 0});
  b.colors[3] = RGBQUAD{255, 255, 255, 0};
  b.colors[9] = RGBQUAD{255, 255, 255, 0};
  b.colors[5] = RGBQUAD{255, 255, 254, 0};
  b.colors[6] = RGBQUAD{0, 0, 0, 0};
  b.colors[7] = RGBQUAD{40, 80, 120, 0};  // blue 40, green 80, red 120
  b.indices = {3, 9, 5, 6,
               7, 3, 7, 9};
  CDIBitmap image;
  ASSERT_TRUE(image.LoadFromFile(Write(b)));
  const COLORREF back = RGB(10, 200, 30);
  Canvas canvas(4, 2, back);
  image.Draw(canvas.dc(), 0, 0, 4, 2, SRCCOPY, TRUE, FALSE, TRUE);
  EXPECT_EQ(back, canvas.At(0, 0)) << "white (first entry)";
  EXPECT_EQ(back, canvas.At(1, 0)) << "white (second entry)";
  EXPECT_EQ(RGB(254, 255, 255), canvas.At(2, 0)) << "near-white is painted";
  EXPECT_EQ(RGB(0, 0, 0), canvas.At(3, 0)) << "black is painted";
  EXPECT_EQ(RGB(120, 80, 40), canvas.At(0, 1));
  EXPECT_EQ(back, canvas.At(1, 1));
  EXPECT_EQ(back, canvas.At(3, 1));

  const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(image.GetInfoHeader()) + 40);
  EXPECT_EQ(255, table[3].rgbRed) << "the colour table is restored after drawing";
  EXPECT_EQ(40, table[7].rgbBlue);
}

TEST_F(DIBitmapTest, TransparentDrawingWithoutAFullTableDrawsOpaque) {
  struct Case {
    int bits;
  } cases[] = {{1}, {4}, {24}};
  for (const auto& c : cases) {
    BmpBuilder b;
    b.bits = c.bits;
    b.width = 2;
    b.height = 1;
    b.indices = {0, static_cast<std::uint8_t>((1 << std::min(c.bits, 8)) - 1)};  // black, white (grey ramp)
    b.rgb = {RGB(0, 0, 0), RGB(255, 255, 255)};
    CDIBitmap image;
    ASSERT_TRUE(image.LoadFromFile(Write(b))) << c.bits;
    Canvas canvas(2, 1, RGB(1, 2, 3));
    image.Draw(canvas.dc(), 0, 0, 2, 1, SRCCOPY, TRUE, FALSE, FALSE);
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(0, 0)) << c.bits << " bits";
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(1, 0)) << c.bits << " bits: white is painted";
  }
}

TEST_F(DIBitmapTest, RefusesImagesOutsideTheAcceptedSetAndStaysEmpty) {
  struct Case {
    const char* what;
    BmpBuilder bmp;
  };
  auto with = [](auto change) {
    BmpBuilder b = BmpBuilder::Solid8(4, 4, 1);
    change(b);
    return b;
  };
  const Case cases[] = {
      {"file ends inside the pixels", with([](BmpBuilder& b) { b.cutAt = 14 + 40 + 1024 + 10; })},
      {"file ends inside the colour table", with([](BmpBuilder& b) { b.cutAt = 14 + 40 + 100; })},
      {"file ends inside the header", with([](BmpBuilder& b) { b.cutAt = 14 + 20; })},
      {"file of ten bytes", with([](BmpBuilder& b) { b.cutAt = 10; })},
      {"12-byte core header", with([](BmpBuilder& b) { b.headerSize = 12; })},
      {"108-byte header", with([](BmpBuilder& b) { b.headerSize = 108; })},
      {"top-down rows", with([](BmpBuilder& b) { b.storedHeight = -4; })},
      {"zero height", with([](BmpBuilder& b) { b.storedHeight = 0; })},
      {"16 bits", with([](BmpBuilder& b) { b.bits = 16; })},
      {"32 bits", with([](BmpBuilder& b) { b.bits = 32; })},
      {"RLE compression", with([](BmpBuilder& b) { b.compression = BI_RLE8; })},
      {"short colour table", with([](BmpBuilder& b) { b.colorsUsed = 16; b.tableEntries = 16; })},
      {"more colours than bits", with([](BmpBuilder& b) { b.colorsUsed = 300; })},
      {"colour table on 24 bits", with([](BmpBuilder& b) { b.bits = 24; b.colorsUsed = 4; })},
      {"gap before the pixels", with([](BmpBuilder& b) { b.pixelOffset = 14 + 40 + 1024 + 16; })},
      {"image size smaller than the rows", with([](BmpBuilder& b) { b.imageSize = 15; })},
      {"short colour table, no file header",
       with([](BmpBuilder& b) { b.colorsUsed = 16; b.tableEntries = 16; b.fileHeader = false; })},
      {"huge dimensions", with([](BmpBuilder& b) { b.storedWidth = 100000; })},
      {"pixel size overflows", with([](BmpBuilder& b) { b.storedWidth = 0x7fffffff; b.storedHeight = 0x7fffffff; })},
      {"negative width", with([](BmpBuilder& b) { b.storedWidth = -4; })},
      {"image size beyond the limit", with([](BmpBuilder& b) { b.imageSize = 0x7fffffff; })},
  };
  for (const auto& c : cases) {
    CDIBitmap image;
    // A good image first: a refused one must not leave anything of it behind.
    ASSERT_TRUE(image.LoadFromFile(Write(BmpBuilder::Solid8(3, 3, 2), "good.bmp")));
    EXPECT_FALSE(image.LoadFromFile(Write(c.bmp))) << c.what;
    ExpectEmpty(image, c.what);
    Canvas canvas(2, 2, RGB(7, 7, 7));
    image.Draw(canvas.dc(), 0, 0, 2, 2, SRCCOPY, FALSE, FALSE, FALSE);
    EXPECT_EQ(RGB(7, 7, 7), canvas.At(0, 0)) << c.what << ": an empty object draws nothing";
  }
  CDIBitmap missing;
  EXPECT_FALSE(missing.LoadFromFile(dir / "no such file.bmp"));
  ExpectEmpty(missing, "missing file");
}

TEST_F(DIBitmapTest, ReadReportsWhyItFailed) {
  struct Case {
    const char* what;
    std::size_t cutAt;
    int cause;
  } cases[] = {
      {"short file header", 10, CFileException::genericException},
      {"short information header", 14 + 39, CFileException::genericException},
      {"short colour table", 14 + 40 + 1023, CFileException::endOfFile},
      {"short pixels", 14 + 40 + 1024 + 15, CFileException::endOfFile},
  };
  for (const auto& c : cases) {
    BmpBuilder b = BmpBuilder::Solid8(4, 4, 1);
    b.cutAt = c.cutAt;
    CFile file(Write(b), CFile::modeRead);
    CDIBitmap image;
    try {
      image.Read(file, TRUE);
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const CFileException& e) {
      EXPECT_EQ(c.cause, e.m_cause) << c.what;
    }
    EXPECT_TRUE(image.IsEmpty()) << c.what;
  }
}

TEST_F(DIBitmapTest, ImageSizeLargerThanTheRowsIsReadAsGiven) {
  BmpBuilder b = BmpBuilder::Solid8(4, 4, 1);
  b.imageSize = 16 + 2;
  auto bytes = b.Build();
  bytes.push_back(0);
  bytes.push_back(0);
  const std::string path = dir / "padded.bmp";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  CDIBitmap image;
  ASSERT_TRUE(image.LoadFromFile(path));
  EXPECT_EQ(18u, image.GetPixelBytes());
}

TEST_F(DIBitmapTest, DeviceBitmapIsMadeOnceWithTheImagesSize) {
  CDIBitmap image;
  ASSERT_TRUE(image.LoadFromFile(Write(BmpBuilder::Solid8(7, 5, 3))));
  const HBITMAP first = image.GetDeviceBitmap();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(first, image.GetDeviceBitmap());
  BITMAP bm{};
  ::GetObjectA(first, sizeof bm, &bm);
  EXPECT_EQ(7, bm.bmWidth);
  EXPECT_EQ(5, bm.bmHeight);

  // Loading another image replaces the device bitmap and the palette.
  ASSERT_TRUE(image.LoadFromFile(Write(BmpBuilder::Solid8(2, 9, 3), "other.bmp")));
  const HBITMAP second = image.GetDeviceBitmap();
  ::GetObjectA(second, sizeof bm, &bm);
  EXPECT_EQ(2, bm.bmWidth);
}

TEST_F(DIBitmapTest, WhatOpensAsNoDiskFileIsNeverRead) {
  // A pipe whose server never writes: reading it would wait for ever.
  const std::string name = "\\\\.\\pipe\\velt-dibitmap-" + std::to_string(::GetCurrentProcessId());
  const CHandle server(::CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr));
  ASSERT_TRUE(server.valid());
  CDIBitmap image;
  EXPECT_FALSE(image.LoadFromFile(name));
  ExpectEmpty(image, "a pipe");
}
