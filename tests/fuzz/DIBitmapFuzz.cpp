// The CD menu's BMP reader on damaged copies of the sample CD's pictures
// and of small pictures of every accepted depth: a picture is refused with
// the reader's typed errors and left empty, or it is read whole (a pixel
// block as large as its rows) and draws, opaque and transparent, and makes
// its device bitmap without reading past its data.
#include <gtest/gtest.h>

#include <string>

#include "cdlaunch/DIBitmap.h"
#include "framework/MemFile.h"
#include "tests/support/BmpBuilder.h"
#include "tests/support/Canvas.h"
#include "FuzzTarget.h"

namespace {

using fuzz::Bytes;

fuzz::Outcome ReadPicture(const Bytes& input, Canvas& canvas) {
  CDIBitmap picture;
  try {
    CMemFile file{Bytes(input)};
    picture.Read(file, TRUE);
  } catch (const CFileException&) {
    fuzz::Check(picture.IsEmpty() && picture.GetWidth() == 0, "a refused picture was left loaded");
    return fuzz::Outcome::refused;
  } catch (const CMemoryException&) {
    fuzz::Check(picture.IsEmpty(), "a refused picture was left loaded");
    return fuzz::Outcome::refused;
  }
  const BITMAPINFOHEADER* header = picture.GetInfoHeader();
  fuzz::Check(header != nullptr, "a picture read has no header");
  const std::size_t rows = BmpBuilder::RowBytes(header->biWidth, header->biBitCount) * static_cast<std::size_t>(header->biHeight);
  fuzz::Check(picture.GetPixelBytes() >= rows, "the pixel block is smaller than the picture's rows");
  picture.Draw(canvas.dc(), 0, 0, 48, 48, SRCCOPY, FALSE, TRUE, FALSE);
  picture.Draw(canvas.dc(), 0, 0, 48, 48, SRCCOPY, TRUE, FALSE, TRUE);
  picture.GetDeviceBitmap();
  return fuzz::Outcome::taken;
}

TEST(DIBitmapFuzz, DamagedPicturesAreRefusedEmptyOrReadWhole) {
  fuzz::Corpus corpus;
  corpus.inputs.push_back(fuzz::ToBytes(ReadFileBytes(VELT_SAMPLE_CD_MENU "\\install1.bmp")));
  ASSERT_FALSE(corpus.inputs.back().empty()) << "the sample CD's pictures are drawn by the build";
  for (int bits : {1, 4, 8, 24}) {
    BmpBuilder b;
    b.width = 5 + bits;  // rows padded differently
    b.height = 3;
    b.bits = bits;
    corpus.inputs.push_back(b.Build());
  }
  BmpBuilder noFileHeader = BmpBuilder::Solid8(7, 2, 200);
  noFileHeader.fileHeader = false;
  corpus.inputs.push_back(noFileHeader.Build());
  corpus.tokens = {"BM", std::string("\x28\0\0\0", 4), std::string("\x01\0", 2), std::string("\x04\0", 2),
                   std::string("\x08\0", 2), std::string("\x18\0", 2), std::string("\x20\0", 2),
                   std::string("\xFF\xFF\xFF\x00", 4), std::string(40, '\0')};
  Canvas canvas(48, 48, RGB(1, 2, 3));
  ASSERT_TRUE(canvas.valid());
  const fuzz::Options options = TargetOptions("dibitmap");
  const fuzz::Result result = fuzz::Run(corpus, [&](const Bytes& input) { return ReadPicture(input, canvas); }, options);
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
  EXPECT_GT(result.taken, result.inputs / 10) << "most damage leaves a picture to draw";
}

}  // namespace
