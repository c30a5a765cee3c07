#include "setup/archive/SealDigest.h"

#include "framework/HexText.h"

CSealDigest::CSealDigest(std::string_view hex) {
  if (hex.size() != kHexSize) return;
  std::array<std::uint8_t, 32> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = HexDigitValue(hex[2 * i]), low = HexDigitValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return;
    bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  bytes_ = bytes;
  present_ = true;
}

std::string CSealDigest::Hex() const {
  if (!present_) return {};
  return ToHex(std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()));
}
