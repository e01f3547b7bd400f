// number_layout.cpp - base-100 decimal numbers.
//
// The base-100 digits come from the shortest decimal text that reads back as
// the double (std::to_chars), not from repeated multiplication of the
// remainder by 100: that arithmetic drifts in the last bits, so 123.45
// would become 1, 23, 44, 99, 99, ... and fill all twenty digits.  From the
// decimal digits, 123.45 is 1, 23, 45 and exact.
#include "text/number_layout.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
constexpr uint32_t kMaxDigits = 20;
constexpr uint8_t kNegativeEnd = 102;
constexpr int kMinExponent = -65;
constexpr int kMaxExponent = 62;

// The shortest decimal form of a finite magnitude > 0: digits without
// trailing zeros, the first one standing at 10^exponent10.
struct Decimal {
  char digits[24];
  int count = 0;
  int exponent10 = 0;

  explicit Decimal(double magnitude) {
    char text[40];
    const auto result = std::to_chars(text, text + sizeof text - 1, magnitude, std::chars_format::scientific);
    *result.ptr = '\0';
    for (const char *p = text; *p != '\0' && *p != 'e'; ++p)
      if (*p != '.') digits[count++] = *p;
    while (count > 1 && digits[count - 1] == '0') --count;
    const char *e = std::strchr(text, 'e');
    exponent10 = e != nullptr ? std::atoi(e + 1) : 0;
  }
  // The decimal digit standing at 10^position, 0 outside the digits.
  int At(int position) const {
    const int index = exponent10 - position;
    return index >= 0 && index < count ? digits[index] - '0' : 0;
  }
  // The position of the last digit.
  int Last() const { return exponent10 - count + 1; }
};

// floor(a / 2) for negative a too.
int HalfDown(int a) { return a >= 0 ? a / 2 : -((1 - a) / 2); }
}  // namespace

int EncodeNumber(double value, uint8_t *buffer, uint32_t *ioLength, uint32_t flags) {
  if (buffer == nullptr || ioLength == nullptr) return kNumberNoRoom;
  const uint32_t size = *ioLength;
  const uint32_t at = (flags & kNumberVarnum) != 0 ? 1 : 0;  // the exponent byte
  if (at >= size) {
    *ioLength = 0;
    return kNumberNoRoom;
  }
  if (!std::isfinite(value)) {
    *ioLength = 0;
    return kNumberCut;
  }
  const bool negative = value < 0;
  uint32_t end = at + 1;
  bool exact = true;
  if (value == 0) {
    buffer[at] = 0x80;
  } else {
    const Decimal decimal(std::fabs(value));
    // Base-100 digit k covers the decimal positions 2(e - k) + 1 and 2(e - k).
    int exponent = HalfDown(decimal.exponent10);
    bool overflow = false;
    if (exponent > kMaxExponent) {
      exponent = kMaxExponent;
      overflow = true;
    } else if (exponent < kMinExponent) {
      exponent = kMinExponent;  // the leading digits are zeros
    }
    const uint8_t biased = static_cast<uint8_t>(exponent + 193);
    buffer[at] = negative ? static_cast<uint8_t>(~biased) : biased;

    uint32_t limit = at + 1 + kMaxDigits;
    if (limit > size) {
      limit = size;
      // A negative number that the buffer cuts short keeps a byte for its end.
      if (negative && limit > at + 1) --limit;
    }
    const int last = decimal.Last();
    for (int k = 0;; ++k) {
      const int low = 2 * (exponent - k);
      const bool remaining = low + 1 >= last || overflow;
      if (!remaining && (flags & kNumberAllDigits) == 0) break;
      if (end >= limit) {
        exact = !remaining;
        break;
      }
      // Past the exponent limit every digit above two places is too large:
      // the digit saturates at 99.
      const uint32_t digit = overflow ? 99u : static_cast<uint32_t>(decimal.At(low + 1) * 10 + decimal.At(low));
      buffer[end++] = negative ? static_cast<uint8_t>(101 - digit) : static_cast<uint8_t>(digit + 1);
    }
    if (overflow) exact = false;
    // A value below the smallest exponent starts with zero digits; when the
    // limit cut them all, none is worth writing.
    if ((flags & kNumberAllDigits) == 0) {
      const uint8_t zero = negative ? 101 : 1;
      while (end > at + 1 && buffer[end - 1] == zero) --end;
    }
    if (negative && end < at + 1 + kMaxDigits && end < size) buffer[end++] = kNegativeEnd;
  }
  if (at == 1) buffer[0] = static_cast<uint8_t>(end - 1);
  *ioLength = end;
  return exact ? kNumberExact : kNumberCut;
}

int DecodeNumber(const uint8_t *bytes, uint32_t length, double *out) {
  if (out != nullptr) *out = 0;
  if (bytes == nullptr || length == 0) return 1;
  const bool negative = bytes[0] < 0x80;
  const int exponent = (negative ? static_cast<uint8_t>(~bytes[0]) : bytes[0]) - 193;
  uint32_t last = length;  // one past the last digit byte
  if (negative && last > 1 && bytes[last - 1] == kNegativeEnd) --last;
  double value = 0;
  for (uint32_t i = last; i > 1; --i) {
    const uint32_t digit = negative ? 101u - bytes[i - 1] : bytes[i - 1] - 1u;
    if (digit > 99) return 1;
    value = value / 100 + digit;
  }
  for (int i = 0; i < exponent; ++i) value *= 100;
  for (int i = 0; i > exponent; --i) value /= 100;
  if (out != nullptr) *out = negative ? -value : value;
  return 0;
}
