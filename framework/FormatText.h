// FormatText: printf formatting into a fixed buffer, for the conversions
// the programs' messages and logs use, without the C run-time's printf
// family (which brings floating point and wide characters along):
//   %s %c %d %i %u %x %X %p %%, the flags '-' and '0', a field width and a
//   precision (both may be '*'), and the length modifiers h, l, ll and z.
// Anything else after a '%' is copied as it stands.
// It behaves as C99 snprintf: the text is cut to fit size bytes and always
// ended with a NUL when size is not 0; the result is the length the whole
// text would have (the NUL not counted).
#pragma once

#include <cstdarg>
#include <cstddef>

__attribute__((format(gnu_printf, 3, 0))) int FormatTextV(char* out, std::size_t size, const char* format,
                                                           va_list args) noexcept;
__attribute__((format(gnu_printf, 3, 4))) int FormatText(char* out, std::size_t size, const char* format,
                                                          ...) noexcept;
