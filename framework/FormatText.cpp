#include "framework/FormatText.h"

#include <cstdint>
#include <cstring>

namespace {

// Appends to the buffer as far as it reaches and counts everything.
class Output {
public:
  Output(char* out, std::size_t size) : out_(out), size_(size) {}

  void Put(char c) {
    if (length_ + 1 < size_) out_[length_] = c;
    ++length_;
  }
  void Repeat(char c, int count) {
    for (; count > 0; --count) Put(c);
  }
  int Finish() {
    if (size_) out_[length_ < size_ ? length_ : size_ - 1] = '\0';
    return static_cast<int>(length_);
  }

private:
  char* out_;
  std::size_t size_;
  std::size_t length_ = 0;
};

struct FieldLayout {
  bool left = false;
  bool zero = false;
  int width = 0;
  int precision = -1;
};

// text of count characters, with prefix (a sign or "0x") before it, padded
// to the field's width; digits, for numbers, are at least precision long.
void PutField(Output& out, const FieldLayout& layout, const char* prefix, const char* text, int count, bool number) {
  const int prefixLength = static_cast<int>(std::strlen(prefix));
  const int zeros = number && layout.precision > count ? layout.precision - count : 0;
  const int pad = layout.width - prefixLength - zeros - count;
  const bool padWithZeros = number && layout.zero && !layout.left && layout.precision < 0;
  if (!layout.left && !padWithZeros) out.Repeat(' ', pad);
  for (const char* p = prefix; *p; ++p) out.Put(*p);
  if (padWithZeros) out.Repeat('0', pad);
  out.Repeat('0', zeros);
  for (int i = 0; i < count; ++i) out.Put(text[i]);
  if (layout.left) out.Repeat(' ', pad);
}

void PutNumber(Output& out, const FieldLayout& layout, std::uint64_t value, bool negative, unsigned base, bool upper,
               const char* prefix) {
  char digits[24];
  int count = 0;
  const char* const set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  // Precision 0 with the value 0 gives no digits, as in printf.
  while (value != 0 || (count == 0 && layout.precision != 0)) {
    digits[sizeof digits - 1 - count++] = set[value % base];
    value /= base;
  }
  PutField(out, layout, negative ? "-" : prefix, digits + sizeof digits - count, count, true);
}

int ReadNumber(const char*& p) {
  int n = 0;
  while (*p >= '0' && *p <= '9') n = n * 10 + (*p++ - '0');
  return n;
}

}  // namespace

int FormatTextV(char* out, std::size_t size, const char* format, va_list args) noexcept {
  Output o(out, size);
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      o.Put(*p);
      continue;
    }
    const char* const start = p++;
    FieldLayout layout;
    for (;; ++p) {
      if (*p == '-') layout.left = true;
      else if (*p == '0') layout.zero = true;
      else break;
    }
    if (*p == '*') {
      layout.width = va_arg(args, int);
      if (layout.width < 0) layout.left = true, layout.width = -layout.width;
      ++p;
    } else {
      layout.width = ReadNumber(p);
    }
    if (*p == '.') {
      ++p;
      if (*p == '*') {
        layout.precision = va_arg(args, int);
        ++p;
      } else {
        layout.precision = ReadNumber(p);
      }
    }
    int longs = 0;
    while (*p == 'h') ++p;  // promoted to int anyway
    while (*p == 'l') ++longs, ++p;
    if (*p == 'z') {  // size_t: a long on i686, a long long on x86_64
      longs = sizeof(std::size_t) > sizeof(long) ? 2 : 1;
      ++p;
    }
    switch (*p) {
      case 's': {
        const char* s = va_arg(args, const char*);
        if (!s) s = "(null)";
        int n = 0;
        while (s[n] && (layout.precision < 0 || n < layout.precision)) ++n;
        PutField(o, layout, "", s, n, false);
        break;
      }
      case 'c': {
        const char c = static_cast<char>(va_arg(args, int));
        PutField(o, layout, "", &c, 1, false);
        break;
      }
      case 'd':
      case 'i': {
        const std::int64_t v = longs >= 2 ? va_arg(args, long long) : longs ? va_arg(args, long) : va_arg(args, int);
        const std::uint64_t magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
        PutNumber(o, layout, magnitude, v < 0, 10, false, "");
        break;
      }
      case 'u':
      case 'x':
      case 'X': {
        const std::uint64_t v = longs >= 2 ? va_arg(args, unsigned long long)
                                : longs    ? va_arg(args, unsigned long)
                                           : va_arg(args, unsigned);
        PutNumber(o, layout, v, false, *p == 'u' ? 10 : 16, *p == 'X', "");
        break;
      }
      case 'p': {
        // As MinGW's printf shows a pointer: all its hexadecimal digits.
        FieldLayout digits = layout;
        digits.precision = 2 * static_cast<int>(sizeof(void*));
        PutNumber(o, digits, reinterpret_cast<std::uintptr_t>(va_arg(args, void*)), false, 16, true, "");
        break;
      }
      case '%':
        o.Put('%');
        break;
      default:  // not a conversion of ours: the text as it stands
        for (const char* q = start; q <= p && *q; ++q) o.Put(*q);
        if (!*p) return o.Finish();
        break;
    }
  }
  return o.Finish();
}

int FormatText(char* out, std::size_t size, const char* format, ...) noexcept {
  va_list args;
  va_start(args, format);
  const int n = FormatTextV(out, size, format, args);
  va_end(args);
  return n;
}
