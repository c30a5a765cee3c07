#include <gtest/gtest.h>

#include "tests/support/BmpBuilder.h"
#include "tests/support/Canvas.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFiles.h"
#include "cdlaunch/DIBitmap.h"
#include "framework/ScopedHandle.h"

#include <algorithm>
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
    int colorsUsed;  // 0: the full table
  } cases[] = {{1, 0}, {4, 0}, {8, 236}, {8, 2}, {24, 0}};
  for (const auto& c : cases) {
    BmpBuilder b;
    b.bits = c.bits;
    b.width = 2;
    b.height = 1;
    if (c.bits != 24) {
      b.colors.assign(std::size_t{1} << c.bits, RGBQUAD{128, 128, 128, 0});
      b.colors[0] = RGBQUAD{0, 0, 0, 0};
      b.colors[1] = RGBQUAD{255, 255, 255, 0};
    }
    if (c.colorsUsed != 0) {
      b.colorsUsed = c.colorsUsed;
      b.tableEntries = static_cast<std::size_t>(c.colorsUsed);
    }
    b.indices = {0, 1};  // black, white
    b.rgb = {RGB(0, 0, 0), RGB(255, 255, 255)};
    const std::string what = std::to_string(c.bits) + " bits, colours used " + std::to_string(c.colorsUsed);
    CDIBitmap image;
    ASSERT_TRUE(image.LoadFromFile(Write(b))) << what;
    Canvas canvas(2, 1, RGB(1, 2, 3));
    image.Draw(canvas.dc(), 0, 0, 2, 1, SRCCOPY, TRUE, FALSE, FALSE);
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(0, 0)) << what;
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(1, 0)) << what << ": white is painted";
  }
}

namespace {

// A 7 × 3 picture of four colours: indices 0-3 of a table of distinct
// colours (entries beyond them are never used), or the same colours as
// 24-bit pixels. 1-bit pictures use the first two.
BmpBuilder Pattern(int bits) {
  const RGBQUAD colors[] = {{200, 30, 10, 0}, {15, 180, 90, 0}, {60, 60, 250, 0}, {255, 255, 255, 0}};
  const int used = bits == 1 ? 2 : 4;
  BmpBuilder b;
  b.bits = bits;
  b.width = 7;
  b.height = 3;
  if (bits != 24) {
    b.colors.assign(std::size_t{1} << bits, RGBQUAD{1, 2, 3, 0});
    std::copy(colors, colors + used, b.colors.begin());
  }
  for (int i = 0; i < 21; ++i) {
    const int k = (i * 5 + i / 7) % used;
    b.indices.push_back(static_cast<std::uint8_t>(k));
    b.rgb.push_back(RGB(colors[k].rgbRed, colors[k].rgbGreen, colors[k].rgbBlue));
  }
  return b;
}

}  // namespace

TEST_F(DIBitmapTest, AcceptedKindsDrawTheSamePixelsAsThePlainForm) {
  struct Case {
    const char* what;
    int bits;
    long long colorsUsed;  // also the entries written; -1: the full table
    std::size_t gap;
    long long pixelOffset;  // -1: where the pixels are
    bool fileHeader;
  } cases[] = {
      {"8 bits, 236 colours", 8, 236, 0, -1, true},
      {"8 bits, 4 colours", 8, 4, 0, -1, true},
      {"8 bits, 4 colours, no file header", 8, 4, 0, -1, false},
      {"4 bits, 6 colours", 4, 6, 0, -1, true},
      {"1 bit, colours used 2", 1, 2, 0, -1, true},
      {"24 bits with a table of 4 colours", 24, 4, 0, -1, true},
      {"24 bits with a table of 256 colours", 24, 256, 0, -1, true},
      {"24 bits with a table, no file header", 24, 16, 0, -1, false},
      {"8 bits, 2 bytes between table and pixels", 8, -1, 2, -1, true},
      {"8 bits, 236 colours, pixels aligned where a full table would end", 8, 236, 80, -1, true},
      {"4 bits, 6 colours, gap", 4, 6, 40, -1, true},
      {"24 bits with a table and a gap", 24, 4, 8, -1, true},
      {"pixel offset inside the table: pixels right after it", 8, -1, 0, 14 + 40, true},
      {"pixel offset 0", 8, 16, 0, 0, true},
      {"pixel offset at the end of the file", 8, -1, 0, 14 + 40 + 1024 + 24, true},
      {"pixel offset far beyond the file", 8, 4, 0, 0x7fffffff, true},
  };
  for (const auto& c : cases) {
    const BmpBuilder plain = Pattern(c.bits);
    BmpBuilder kind = plain;
    if (c.colorsUsed >= 0) {
      kind.colorsUsed = c.colorsUsed;
      kind.tableEntries = static_cast<std::size_t>(c.colorsUsed);
    }
    kind.gap = c.gap;
    kind.pixelOffset = c.pixelOffset;
    kind.fileHeader = c.fileHeader;
    CDIBitmap plainImage;
    CDIBitmap kindImage;
    ASSERT_TRUE(plainImage.LoadFromFile(Write(plain, "plain.bmp"))) << c.what;
    ASSERT_TRUE(kindImage.LoadFromFile(Write(kind, "kind.bmp"))) << c.what;

    if (c.bits == 24) {
      EXPECT_EQ(nullptr, kindImage.GetPalette()) << c.what;
      EXPECT_EQ(0u, kindImage.GetInfoHeader()->biClrUsed) << c.what << ": the table is skipped";
    } else {
      WORD entries = 0;
      ::GetObjectA(kindImage.GetPalette(), sizeof entries, &entries);
      EXPECT_EQ(c.colorsUsed >= 0 ? c.colorsUsed : 1 << c.bits, entries)
          << c.what << ": the palette has the table's entries";
    }
    Canvas plainCanvas(7, 3, RGB(9, 9, 9));
    Canvas kindCanvas(7, 3, RGB(9, 9, 9));
    plainImage.Draw(plainCanvas.dc(), 0, 0, 7, 3, SRCCOPY, FALSE, FALSE, FALSE);
    kindImage.Draw(kindCanvas.dc(), 0, 0, 7, 3, SRCCOPY, FALSE, FALSE, FALSE);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 7; ++x) {
        const COLORREF expected = plain.rgb[static_cast<std::size_t>(y * 7 + x)];
        ASSERT_EQ(expected, plainCanvas.At(x, y)) << "plain form, pixel " << x << "," << y;
        EXPECT_EQ(plainCanvas.At(x, y), kindCanvas.At(x, y)) << c.what << ", pixel " << x << "," << y;
      }
    }
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
      {"more colours than 8 bits hold", with([](BmpBuilder& b) { b.colorsUsed = 257; })},
      {"more colours than 4 bits hold", with([](BmpBuilder& b) { b.bits = 4; b.colorsUsed = 17; })},
      {"more colours than 1 bit holds", with([](BmpBuilder& b) { b.bits = 1; b.colorsUsed = 3; })},
      {"more colours than 24 bits hold", with([](BmpBuilder& b) { b.bits = 24; b.colorsUsed = (1 << 24) + 1; })},
      {"file ends inside a short colour table",
       with([](BmpBuilder& b) { b.colorsUsed = 16; b.tableEntries = 16; b.cutAt = 14 + 40 + 60; })},
      {"file ends inside a 24-bit image's colour table",
       with([](BmpBuilder& b) { b.bits = 24; b.colorsUsed = 4096; b.tableEntries = 4; })},
      {"file ends inside the pixels after a gap",
       with([](BmpBuilder& b) { b.gap = 6; b.cutAt = 14 + 40 + 1024 + 6 + 10; })},
      {"pixel offset inside the file with too few bytes after it",
       with([](BmpBuilder& b) { b.pixelOffset = 14 + 40 + 1024 + 4; })},
      {"image size smaller than the rows", with([](BmpBuilder& b) { b.imageSize = 15; })},
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
  ASSERT_TRUE(WriteFileBytes(path, bytes));
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
