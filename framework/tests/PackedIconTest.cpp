// Packed icons: a packed icon image becomes the icon its plain image makes,
// damaged data become none, and a module's packed icons are made once.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/PackedIcon.h"
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

// The pixels of icon drawn on a magenta canvas of bits per pixel.
std::vector<COLORREF> Drawn(HICON icon, WORD bits) {
  Canvas canvas(32, 32, RGB(255, 0, 255), bits);
  EXPECT_TRUE(::DrawIconEx(canvas.dc(), 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL));
  return canvas.Pixels();
}

struct OwnedIcon {
  explicit OwnedIcon(HICON h) : icon(h) {}
  ~OwnedIcon() {
    if (icon) ::DestroyIcon(icon);
  }
  OwnedIcon(const OwnedIcon&) = delete;
  OwnedIcon& operator=(const OwnedIcon&) = delete;
  HICON icon;
};

}  // namespace

TEST(PackedIconTest, BecomesTheIconOfItsPlainImage) {
  for (const IconImage image : {IconImage{32, 32}, IconImage{32, 8}, IconImage{16, 32}}) {
    Bytes plainBytes = image.Build();
    const Bytes packed = PackData(plainBytes);
    EXPECT_LT(packed.size(), plainBytes.size());
    OwnedIcon plain(::CreateIconFromResource(plainBytes.data(), static_cast<DWORD>(plainBytes.size()), TRUE,
                                             0x00030000));
    OwnedIcon unpacked(CreateIconFromPackedImage(packed.data(), packed.size()));
    ASSERT_NE(nullptr, plain.icon) << image.size << " x " << image.bits;
    ASSERT_NE(nullptr, unpacked.icon) << image.size << " x " << image.bits;
    for (WORD bits : {WORD{24}, WORD{32}}) {
      EXPECT_EQ(Drawn(plain.icon, bits), Drawn(unpacked.icon, bits))
          << image.size << " px, " << image.bits << " bits, on a " << bits << "-bit canvas";
    }
  }
}

TEST(PackedIconTest, DamagedDataMakeNoIcon) {
  const Bytes good = IconImage{}.Build();
  auto field32 = [](Bytes& b, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
  };
  struct Case {
    const char* what;
    std::function<Bytes()> packed;
  };
  const Case cases[] = {
      {"no room for the size",
       [&] {
         Bytes p = PackData(good);
         p.resize(3);
         return p;
       }},
      {"stream cut short",
       [&] {
         Bytes p = PackData(good);
         p.resize(p.size() - 5);
         return p;
       }},
      {"fewer bytes than the size says", [&] { return PackData(good, static_cast<std::uint32_t>(good.size() + 1)); }},
      {"an absurd size", [&] { return PackData(good, 0x7FFFFFFF); }},
      {"the mask cut short", [&] { return PackData(Bytes(good.begin(), good.end() - 1)); }},
      {"a short header",
       [&] {
         Bytes b = good;
         field32(b, 0, 12);
         return PackData(b);
       }},
      {"an odd height (no mask half)",
       [&] {
         Bytes b = good;
         field32(b, 8, 63);
         return PackData(b);
       }},
      {"no width",
       [&] {
         Bytes b = good;
         field32(b, 4, 0);
         return PackData(b);
       }},
      {"a width beyond any icon",
       [&] {
         Bytes b = good;
         field32(b, 4, 1u << 20);
         return PackData(b);
       }},
      {"7 bits per pixel",
       [&] {
         Bytes b = good;
         b[14] = 7;
         return PackData(b);
       }},
      {"run-length encoded",
       [&] {
         Bytes b = good;
         field32(b, 16, BI_RLE8);
         return PackData(b);
       }},
  };
  EXPECT_EQ(nullptr, CreateIconFromPackedImage(nullptr, 0));
  for (const Case& c : cases) {
    const Bytes packed = c.packed();
    OwnedIcon icon(CreateIconFromPackedImage(packed.data(), packed.size()));
    EXPECT_EQ(nullptr, icon.icon) << c.what;
  }
}

TEST(PackedIconTest, AModuleWithoutTheIconGivesNone) {
  CPackedIcons icons(::GetModuleHandleA(nullptr));
  EXPECT_EQ(nullptr, icons.Get(4711));
  EXPECT_EQ(nullptr, icons.Get(4711)) << "asked again";
}
