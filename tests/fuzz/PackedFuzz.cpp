// The readers of the packed pictures, icons and resources (ZDIB, ZICO,
// ZPACK) on damaged copies of the setup program's own: damaged packing, and
// damaged pictures and icons packed well. Every reader gives its picture,
// icon or records, or nothing; never a crash, a hang or a handle kept.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/DibSizes.h"
#include "framework/Gdi.h"
#include "framework/PackedBitmap.h"
#include "framework/PackedData.h"
#include "framework/PackedIcon.h"
#include "framework/PackedResources.h"
#include "framework/Resources.h"
#include "framework/ScopedHandle.h"
#include "FuzzTarget.h"
#include "tests/support/PackedData.h"

namespace {

using fuzz::Bytes;

// The resources of type in this program (it links the setup program's).
std::vector<Bytes> ResourcesOf(const char* type) {
  std::vector<UINT> ids;
  ::EnumResourceNamesA(
      nullptr, type,
      [](HMODULE, LPCSTR, LPSTR name, LONG_PTR list) noexcept -> BOOL {
        if (IS_INTRESOURCE(name)) {
          try {
            reinterpret_cast<std::vector<UINT>*>(list)->push_back(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
          } catch (...) {
            return FALSE;
          }
        }
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&ids));
  std::vector<Bytes> found;
  for (UINT id : ids) {
    const std::string_view bytes = FindPlainResource(::GetModuleHandleA(nullptr), type, id);
    found.emplace_back(bytes.begin(), bytes.end());
  }
  return found;
}

// Every packed reader on input.
fuzz::Outcome ReadPacked(const Bytes& input) {
  bool any = false;
  CBitmap bitmap;
  bitmap.Attach(CreateBitmapFromPackedDib(input.data(), input.size()));
  if (bitmap.GetSafeHandle()) {
    BITMAP bm{};
    fuzz::Check(bitmap.GetBitmap(bm) && bm.bmWidth > 0, "a picture without pixels was made");
    // Encoded pixels are read as far as the image size says.
    std::vector<unsigned char> dib;
    BITMAPINFOHEADER header{};
    if (UnpackData(input.data(), input.size(), sizeof header, 64u << 20, dib)) std::memcpy(&header, dib.data(), sizeof header);
    if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4) {
      const std::uint64_t pixels = header.biSize + DibColourTableBytes(header);
      fuzz::Check(header.biSizeImage != 0 && pixels + header.biSizeImage <= dib.size(), "encoded pixels past the data");
    }
    any = true;
  }
  const CIconHandle icon(CreateIconFromPackedImage(input.data(), input.size()));
  any = any || icon.valid();
  UnpackedResources resources;
  if (UnpackResources(std::string_view(reinterpret_cast<const char*>(input.data()), input.size()), resources)) {
    for (const auto& [id, place] : resources.places) {
      fuzz::Check(place.first <= resources.records.size() && place.second <= resources.records.size() - place.first,
                  "resource " + std::to_string(id) + " lies outside the records");
    }
    any = true;
  }
  return any ? fuzz::Outcome::taken : fuzz::Outcome::refused;
}

class PackedFuzz : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* type : {kPackedBitmapType, kPackedIconType, kPackedResourcesType}) {
      for (Bytes& bytes : ResourcesOf(type)) packed.push_back(std::move(bytes));
    }
    ASSERT_GE(packed.size(), 3u) << "the program carries the setup program's packed resources";
  }
  std::vector<Bytes> packed;
};

TEST_F(PackedFuzz, DamagedPackingGivesThePictureOrNothing) {
  const fuzz::Options options = TargetOptions("packed", 2500);
  const fuzz::Result result = fuzz::Run(
      fuzz::Corpus{packed, {std::string("\x78\xDA", 2), std::string("\x78\x9C", 2), std::string(4, '\xFF'), std::string(4, '\0')}},
      &ReadPacked, options);
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
}

// What the packing holds, damaged and then packed well: the checks of the
// pictures' and icons' headers before the system reads them.
TEST_F(PackedFuzz, DamagedPicturesAndIconsPackedWellGiveThePictureOrNothing) {
  fuzz::Corpus corpus;
  for (const Bytes& bytes : packed) {
    std::vector<unsigned char> image;
    if (UnpackData(bytes.data(), bytes.size(), 0, 64u << 20, image) && image.size() < (256u << 10)) {
      corpus.inputs.emplace_back(image.begin(), image.end());
    }
  }
  ASSERT_FALSE(corpus.inputs.empty());
  corpus.tokens = {std::string("\x28\0\0\0", 4), std::string("\x01\0\0\0", 4), std::string("\x02\0\0\0", 4),
                   std::string("\x03\0\0\0", 4), std::string("\x01\0", 2), std::string("\x20\0", 2),
                   std::string("\0\0\0\x80", 4), std::string("\0\x01", 2), std::string(40, '\0')};
  const fuzz::Options options = TargetOptions("packed.image", 2500);
  const fuzz::Result result =
      fuzz::Run(corpus, [](const Bytes& image) { return ReadPacked(Bytes(PackData(image))); }, options);
  EXPECT_TRUE(result.failures.empty()) << ::testing::PrintToString(result.failures);
}

}  // namespace
