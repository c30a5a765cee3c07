// CSealDigest: a SHA-256 digest as the kit's seal holds it, its 32 bytes
// kept in place (a seal of 20,000 files holds 20,000 of them, so none may
// cost an allocation of its own), or no digest at all. It is read and
// written as the seal's text gives it: 64 hex digits, written lower-case.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class CSealDigest {
public:
  static constexpr std::size_t kHexSize = 64;

  CSealDigest() = default;
  // From 64 hex digits; any other text (empty text among it) gives no
  // digest, as the seal line of a file that is no archive part has no
  // header digest.
  CSealDigest(std::string_view hex);
  CSealDigest(const std::string& hex) : CSealDigest(std::string_view(hex)) {}
  CSealDigest(const char* hex) : CSealDigest(std::string_view(hex)) {}

  bool empty() const noexcept { return !present_; }
  // The 64 lower-case hex digits; empty text for no digest.
  std::string Hex() const;

  // Hex text compares through the conversion above, in either letter case.
  friend bool operator==(const CSealDigest&, const CSealDigest&) = default;

private:
  std::array<std::uint8_t, 32> bytes_{};
  bool present_ = false;
};
