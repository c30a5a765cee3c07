#include "setup/archive/SealDigest.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool CSealDigest::IsHex(std::string_view text) {
  if (text.size() != kHexSize) return false;
  for (const char c : text) {
    if (HexValue(c) < 0) return false;
  }
  return true;
}

CSealDigest::CSealDigest(std::string_view hex) {
  if (!IsHex(hex)) return;
  for (std::size_t i = 0; i < bytes_.size(); ++i) {
    bytes_[i] = static_cast<std::uint8_t>(HexValue(hex[2 * i]) << 4 | HexValue(hex[2 * i + 1]));
  }
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
