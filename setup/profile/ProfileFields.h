// Typed readers of the fields of a profile record: values made of fields
// separated by '|', field n being the text between the n-th and the
// (n+1)-th '|', counted from 0 ("Data|0|" has the fields "Data", "0" and
// ""; it has no field 3). Each reader tells whether the field is present;
// an absent field reads as empty text or 0.
//
// Numbers are decimal, as atoi reads them (leading blanks and a sign
// allowed, reading stops at the first non-digit, no digits read as 0).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

bool GetTextField(std::string_view record, int n, std::string& text);
// A number kept in 16 bits: larger values wrap as a 16-bit store does.
bool GetNumberField(std::string_view record, int n, std::int16_t& number);
// A 32-bit number; values beyond its range are clamped to it.
bool GetLongField(std::string_view record, int n, std::int32_t& number);
// 1 for any non-zero number, else 0.
bool GetFlagField(std::string_view record, int n, int& flag);
