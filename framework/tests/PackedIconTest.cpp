// Packed icons: a packed icon image becomes the icon its plain image makes,
// damaged data become none, and a module's packed icons are made once.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/PackedIcon.h"
#include "framework/ScopedHandle.h"
#include "tests/support/Canvas.h"
#include "tests/support/PackedData.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& out, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}

// What an RT_ICON resource holds: the header (of twice the height), the
// colour table, the colour pixels and the mask, bottom row first. The
// pattern leaves a transparent corner and, at 32 bits, a graded alpha.
struct IconImage {
  int size = 32;
  int bits = 32;

  Bytes Build() const {
    Bytes out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(2 * size));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bits));
    for (int k = 0; k < 6; ++k) Put32(out, 0);
    if (bits == 8) {
      for (int i = 0; i < 256; ++i) Put32(out, static_cast<std::uint32_t>(RGB(i, 255 - i, (i * 5) & 0xFF)));
    }
    auto transparent = [&](int x, int y) { return x + y < size / 3; };
    for (int y = size - 1; y >= 0; --y) {
      for (int x = 0; x < size; ++x) {
        if (bits == 8) {
          out.push_back(static_cast<std::uint8_t>(x * 7 + y * 3));
        } else {
          const std::uint8_t alpha = transparent(x, y) ? 0 : static_cast<std::uint8_t>(128 + 4 * x);
          out.push_back(static_cast<std::uint8_t>(x * 8));
          out.push_back(static_cast<std::uint8_t>(y * 8));
          out.push_back(static_cast<std::uint8_t>(200));
          out.push_back(alpha);
        }
      }
      while (out.size() % 4) out.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y) {
      std::uint32_t row = 0;
      for (int x = 0; x < size; ++x) {
        if (transparent(x, y)) row |= 0x80000000u >> x;
      }
      for (int k = 3; k >= 0; --k) out.push_back(static_cast<std::uint8_t>(row >> (8 * k)));  // first pixel in the top bit
    }
    return out;
  }
};

}  // namespace

TEST(PackedIconTest, BecomesTheIconOfItsPlainImage) {
  for (const IconImage image : {IconImage{32, 32}, IconImage{32, 8}, IconImage{16, 32}}) {
    Bytes plainBytes = image.Build();
    const Bytes packed = PackData(plainBytes);
    EXPECT_LT(packed.size(), plainBytes.size());
    CIconHandle plain(::CreateIconFromResource(plainBytes.data(), static_cast<DWORD>(plainBytes.size()), TRUE,
                                               0x00030000));
    CIconHandle unpacked(CreateIconFromPackedImage(packed.data(), packed.size()));
    ASSERT_TRUE(plain) << image.size << " x " << image.bits;
    ASSERT_TRUE(unpacked) << image.size << " x " << image.bits;
    for (WORD bits : {WORD{24}, WORD{32}}) {
      const std::vector<COLORREF> expected = DrawnIconPixels(plain.get(), 32, bits);
      EXPECT_FALSE(expected.empty());
      EXPECT_EQ(expected, DrawnIconPixels(unpacked.get(), 32, bits))
          << image.size << " px, " << image.bits << " bits, on a " << bits << "-bit canvas";
    }
  }
}

TEST(PackedIconTest, DamagedDataMakeNoIcon) {
  const Bytes good = IconImage{}.Build();
  const Bytes packed = PackData(good);
  // The good image with one header field (width bytes at offset at) spoilt.
  auto spoilt = [&](std::size_t at, std::uint32_t value, int width) {
    Bytes b = good;
    for (int k = 0; k < width; ++k) b[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
    return PackData(b);
  };
  const struct {
    const char* what;
    Bytes data;
  } cases[] = {
      {"no room for the size", Bytes(packed.begin(), packed.begin() + 3)},
      {"stream cut short", Bytes(packed.begin(), packed.end() - 5)},
      {"fewer bytes than the size says", PackData(good, static_cast<std::uint32_t>(good.size() + 1))},
      {"an absurd size", PackData(good, 0x7FFFFFFF)},
      {"the mask cut short", PackData(Bytes(good.begin(), good.end() - 1))},
      {"a short header", spoilt(0, 12, 4)},
      {"no width", spoilt(4, 0, 4)},
      {"a width beyond any icon", spoilt(4, 1u << 20, 4)},
      {"an odd height (no mask half)", spoilt(8, 63, 4)},
      {"7 bits per pixel", spoilt(14, 7, 2)},
      {"run-length encoded", spoilt(16, BI_RLE8, 4)},
      {"more colours than any table", spoilt(32, 0x40000001, 4)},
  };
  EXPECT_EQ(nullptr, CreateIconFromPackedImage(nullptr, 0));
  for (const auto& c : cases) {
    CIconHandle icon(CreateIconFromPackedImage(c.data.data(), c.data.size()));
    EXPECT_FALSE(icon) << c.what;
  }
}

TEST(PackedIconTest, AModuleWithoutTheIconGivesNone) {
  CPackedIcons icons(::GetModuleHandleA(nullptr));
  EXPECT_EQ(nullptr, icons.Get(4711));
  EXPECT_EQ(nullptr, icons.Get(4711)) << "asked again";
}

// The icon is its owner's: destroyed, it is gone, and its memory with it
// (a shared icon, as CreateIconFromResource makes one, outlives DestroyIcon
// and stays in memory until the process ends).
TEST(PackedIconTest, DestroyedIconIsGone) {
  const Bytes packed = PackData(IconImage{}.Build());
  HICON icon = CreateIconFromPackedImage(packed.data(), packed.size());
  ASSERT_TRUE(icon);
  ASSERT_TRUE(::DestroyIcon(icon));
  ICONINFO info{};
  EXPECT_FALSE(::GetIconInfo(icon, &info)) << "the icon outlived DestroyIcon";
}
