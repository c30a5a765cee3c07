#include "setup/profile/ProfileFields.h"

#include <cstdlib>

namespace {

// The text of field n, or false when the record has no such field.
bool FindField(std::string_view record, int n, std::string_view& field) {
  if (n < 0) return false;
  std::size_t start = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t bar = record.find('|', start);
    if (bar == std::string_view::npos) return false;
    start = bar + 1;
  }
  const std::size_t end = record.find('|', start);
  field = record.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
  return true;
}

// The field as a decimal number clamped to 32 bits (long is 32 bits wide on
// Windows, and strtol clamps).
bool FindLong(std::string_view record, int n, long& number) {
  std::string_view field;
  number = 0;
  if (!FindField(record, n, field)) return false;
  const std::string text(field);
  number = std::strtol(text.c_str(), nullptr, 10);
  return true;
}

}  // namespace

bool GetTextField(std::string_view record, int n, std::string& text) {
  std::string_view field;
  const bool present = FindField(record, n, field);
  text.assign(present ? field : std::string_view());
  return present;
}

bool GetNumberField(std::string_view record, int n, std::int16_t& number) {
  long value = 0;
  const bool present = FindLong(record, n, value);
  number = static_cast<std::int16_t>(value);  // modulo 2^16
  return present;
}

bool GetLongField(std::string_view record, int n, std::int32_t& number) {
  long value = 0;
  const bool present = FindLong(record, n, value);
  number = static_cast<std::int32_t>(value);
  return present;
}

bool GetFlagField(std::string_view record, int n, int& flag) {
  long value = 0;
  const bool present = FindLong(record, n, value);
  flag = value != 0 ? 1 : 0;
  return present;
}
