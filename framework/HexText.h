// Bytes as lower-case hexadecimal text, two digits a byte, and back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The value of one hexadecimal digit (either case); -1 for any other
// character.
int HexDigitValue(char c) noexcept;

std::string ToHex(std::string_view bytes);
// The bytes of text; none when it is anything but pairs of hex digits.
std::optional<std::string> FromHex(std::string_view text);
