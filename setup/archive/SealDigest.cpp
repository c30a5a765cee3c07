#include "setup/archive/SealDigest.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

CSealDigest::CSealDigest(std::string_view hex) {
  if (hex.size() != kHexSize) return;
  std::array<std::uint8_t, 32> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = HexValue(hex[2 * i]), low = HexValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return;
    bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  bytes_ = bytes;
  present_ = true;
}

std::string CSealDigest::Hex() const {
  if (!present_) return {};
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(kHexSize);
  for (const std::uint8_t value : bytes_) {
    out += kHex[value >> 4];
    out += kHex[value & 0xF];
  }
  return out;
}
