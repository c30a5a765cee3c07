// The program's string table and dialog templates as it carries them:
// packed, each with exactly the bytes of the resource file it was packed
// from (the build's setupx_plain.res), and found, loaded and made as the
// plain resources were. The Save As dialog's template stays plain.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "framework/PackedResources.h"
#include "framework/Resources.h"
#include "tests/support/TestFiles.h"

namespace {

constexpr WORD kDialog = kDialogResourceType;
constexpr WORD kString = kStringResourceType;

// The string blocks and dialog templates of a resource file (windres -O
// res), by type and id.
std::map<std::pair<WORD, UINT>, std::string> ReadResourceFile(const std::string& bytes) {
  std::map<std::pair<WORD, UINT>, std::string> found;
  auto word = [&](std::size_t at) {
    std::uint16_t v = 0;
    std::memcpy(&v, bytes.data() + at, sizeof v);
    return v;
  };
  auto dword = [&](std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, sizeof v);
    return v;
  };
  std::size_t at = 0;
  while (at + 32 <= bytes.size()) {
    const std::uint32_t dataSize = dword(at);
    const std::uint32_t headerSize = dword(at + 4);
    // Ordinal type and name only: the packed kinds have no names.
    if (word(at + 8) == 0xFFFF && word(at + 12) == 0xFFFF) {
      const WORD type = word(at + 10);
      if (type == kDialog || type == kString) {
        found[{type, word(at + 14)}] = bytes.substr(at + headerSize, dataSize);
      }
    }
    at = (at + headerSize + dataSize + 3) & ~std::size_t{3};
  }
  return found;
}

class PackedResourcesTest : public ::testing::Test {
protected:
  void SetUp() override {
    plain_ = ReadResourceFile(ReadFileBytes(VELT_PLAIN_RES));
    ASSERT_GT(plain_.size(), 20u) << VELT_PLAIN_RES;
  }
  HINSTANCE module_ = ::GetModuleHandleA(nullptr);
  std::map<std::pair<WORD, UINT>, std::string> plain_;
};

}  // namespace

TEST_F(PackedResourcesTest, EachResourceIsPackedButTheSaveAsTemplateAndFoundWithItsBytesAligned) {
  std::size_t plainBytes = 0;
  for (const auto& [key, bytes] : plain_) {
    const bool kept = key.first == kDialog && key.second == VELT_CHANGE_FOLDER_TEMPLATE;
    const bool plain = ::FindResourceA(module_, MAKEINTRESOURCEA(key.second), MAKEINTRESOURCEA(key.first)) != nullptr;
    EXPECT_EQ(kept, plain) << "type " << key.first << ", id " << key.second << " as a plain resource";
    if (!kept) plainBytes += bytes.size();
    const std::string_view found = FindResourceBytes(module_, key.first, key.second);
    EXPECT_EQ(bytes, found) << "type " << key.first << ", id " << key.second;
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(found.data()) % 4) << "type " << key.first << ", id " << key.second;
  }
  std::size_t packedBytes = 0;
  for (WORD type : {kDialog, kString}) {
    HRSRC packed = ::FindResourceA(module_, MAKEINTRESOURCEA(type), kPackedResourcesType);
    ASSERT_NE(nullptr, packed) << type;
    packedBytes += ::SizeofResource(module_, packed);
  }
  EXPECT_LT(packedBytes * 3, plainBytes) << "packed to less than a third";
  EXPECT_TRUE(FindResourceBytes(module_, kString, 4000).empty()) << "a block the table does not have";
  EXPECT_TRUE(FindResourceBytes(module_, kDialog, 4000).empty()) << "a dialog the program does not have";
}

TEST_F(PackedResourcesTest, EveryStringLoadsAsTheResourceFileHasIt) {
  int strings = 0;
  for (const auto& [key, block] : plain_) {
    if (key.first != kString) continue;
    // A block holds 16 counted UTF-16 strings; block n has ids (n - 1) * 16 on.
    std::size_t at = 0;
    for (UINT i = 0; i < 16 && at + 2 <= block.size(); ++i) {
      std::uint16_t length = 0;
      std::memcpy(&length, block.data() + at, 2);
      std::wstring text(length, L'\0');
      std::memcpy(text.data(), block.data() + at + 2, 2u * length);
      at += 2u + 2u * length;
      if (length == 0) continue;
      const UINT id = (key.second - 1) * 16 + i;
      std::string expected(static_cast<std::size_t>(length) * 2, '\0');
      expected.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_ACP, 0, text.data(), length, expected.data(),
                                                                      static_cast<int>(expected.size()), nullptr, nullptr)));
      EXPECT_EQ(expected, LoadResourceString(id)) << id;
      char cut[8];
      const int written = LoadResourceString(id, cut, sizeof cut);
      EXPECT_EQ(expected.substr(0, sizeof cut - 1), std::string(cut)) << id << ": cut to the buffer";
      EXPECT_EQ(static_cast<int>(std::string(cut).size()), written) << id;
      ++strings;
    }
  }
  EXPECT_GT(strings, 50);
  char none[8] = "x";
  EXPECT_EQ(0, LoadResourceString(65000, none, sizeof none));
  EXPECT_STREQ("", none);
}

TEST_F(PackedResourcesTest, EachDialogIsMadeFromItsPackedTemplate) {
  // The folder tree's template names the common controls' tree view.
  if (HMODULE controls = ::LoadLibraryA("comctl32.dll")) {
    if (auto init = reinterpret_cast<void(WINAPI*)()>(::GetProcAddress(controls, "InitCommonControls"))) init();
  }
  // Child templates (the wizard's button bar) need a parent.
  HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, module_, nullptr);
  ASSERT_NE(nullptr, parent);
  for (const auto& [key, bytes] : plain_) {
    if (key.first != kDialog || key.second == VELT_CHANGE_FOLDER_TEMPLATE) continue;
    const std::string_view found = FindResourceBytes(module_, kDialog, key.second);
    HWND dialog = ::CreateDialogIndirectParamA(module_, reinterpret_cast<LPCDLGTEMPLATEA>(found.data()), parent,
                                               [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    EXPECT_NE(nullptr, dialog) << "dialog " << key.second;
    if (dialog) ::DestroyWindow(dialog);
  }
  ::DestroyWindow(parent);
}
