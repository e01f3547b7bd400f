// double_text.cpp - doubles to text and back.
//
// The runtime library formats and reads doubles with the locale's decimal
// point.  Text made here always carries ".", so it reads back the same in
// any locale: the formatters swap the locale's point for ".", the readers
// swap "." for the locale's point before converting.
#include "text/double_text.h"

#include <clocale>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>

#include "base/common_string.h"

namespace {
constexpr int kMaxDecimals = 340;

// The locale's decimal point; "." when the locale gives none.
const char *LocalePoint() {
  const lconv *conv = std::localeconv();
  return conv != nullptr && conv->decimal_point != nullptr && conv->decimal_point[0] != '\0'
             ? conv->decimal_point
             : ".";
}

// Digits and decimal position of |value| rounded to decimals places, as a
// fixed-point digit conversion gives them: digits without leading zeros,
// point the number of digits before the decimal point (<= 0 when the first
// digit lies behind it).
struct FixedDigits {
  char digits[kMaxDecimals + 330];
  int point = 0;
};

void ToFixedDigits(double magnitude, int decimals, FixedDigits &out) {
  char text[sizeof out.digits + 8];
  // For decimals < 0 the integer part is taken exactly (floor is exact) and
  // rounded below; rounding the fraction first could round twice.
  if (decimals > 0) {
    std::snprintf(text, sizeof text, "%.*f", decimals, magnitude);
  } else {
    std::snprintf(text, sizeof text, "%.0f", decimals == 0 ? magnitude : std::floor(magnitude));
  }
  // Split "iii.fff" into the digit run and the position of the point (the
  // locale's point, which may be more than one byte).
  int integerDigits = 0;
  while (text[integerDigits] >= '0' && text[integerDigits] <= '9') ++integerDigits;
  char all[sizeof text];
  int n = 0;
  for (const char *p = text; *p != '\0'; ++p)
    if (*p >= '0' && *p <= '9') all[n++] = *p;
  all[n] = '\0';
  if (decimals < 0) {
    // Round the integer digits to a power of ten; the fraction only decides
    // whether the dropped part is exactly one half.
    const int drop = -decimals;
    const double fraction = magnitude - std::floor(magnitude);
    if (drop >= n) {
      // Everything goes: the value is below half of 10^drop unless its
      // digits say otherwise (n == drop and a first digit >= 5).
      bool up = false;
      if (drop == n) {
        const bool rest = std::strspn(all + 1, "0") != static_cast<size_t>(n - 1) || fraction != 0;
        up = all[0] > '5' || (all[0] == '5' && rest);
      }
      if (up) {
        all[0] = '1';
        for (int i = 1; i <= n; ++i) all[i] = '0';
        n += 1;
        all[n] = '\0';
      } else {
        all[0] = '0';
        all[1] = '\0';
        n = 1;
      }
    } else {
      const int keep = n - drop;
      const char first = all[keep];
      bool rest = fraction != 0;
      for (int i = keep + 1; i < n; ++i) rest = rest || all[i] != '0';
      const bool odd = ((all[keep - 1] - '0') & 1) != 0;
      const bool up = first > '5' || (first == '5' && (rest || odd));
      for (int i = keep; i < n; ++i) all[i] = '0';
      if (up) {
        int i = keep - 1;
        while (i >= 0 && all[i] == '9') all[i--] = '0';
        if (i >= 0) {
          ++all[i];
        } else {
          std::memmove(all + 1, all, static_cast<size_t>(n) + 1);
          all[0] = '1';
          ++n;
        }
      }
    }
    // The rounded integer is all[0, n); %.0f put no point in it.
    const int skip = static_cast<int>(std::strspn(all, "0"));
    std::memcpy(out.digits, all + skip, static_cast<size_t>(n - skip) + 1);
    out.point = n - skip;
    return;
  }
  // Leading zeros go, moving the point left with them.
  const int skip = static_cast<int>(std::strspn(all, "0"));
  std::memcpy(out.digits, all + skip, static_cast<size_t>(n - skip) + 1);
  out.point = integerDigits - skip;
}

// Replaces every occurrence of from by to in string (either may be longer).
void ReplaceAll(CCommonString &string, const char *from, const char *to, bool firstOnly) {
  const uint32_t n = static_cast<uint32_t>(std::strlen(from));
  const uint32_t m = static_cast<uint32_t>(std::strlen(to));
  if (n == m && std::memcmp(from, to, n) == 0) return;
  string.Replace(from, n, to, m, 1, firstOnly ? 1 : CCommonString::kAll);
}
}  // namespace

const char *DoubleToFixed(double value, CCommonString &string, int decimals) {
  if (decimals > kMaxDecimals) decimals = kMaxDecimals;
  if (std::isnan(value)) {
    string.Assign("nan");
    return string.CStr();
  }
  if (std::isinf(value)) {
    string.Assign(value < 0 ? "-inf" : "inf");
    return string.CStr();
  }
  const bool negative = std::signbit(value) && value != 0;
  if (std::fabs(value) < 1 && decimals <= 0) {
    string.Assign(value < 0 ? "-0" : "0");
    return string.CStr();
  }
  FixedDigits fixed;
  ToFixedDigits(std::fabs(value), decimals, fixed);
  const int count = static_cast<int>(std::strlen(fixed.digits));
  const int p = fixed.point;
  if (count == 0 && decimals <= 0) {
    // Rounded to a power of ten, nothing is left.
    string.Assign(value < 0 ? "-0" : "0");
    return string.CStr();
  }
  // Laid out here and appended once: the text is at most the digits, the
  // sign, "0." and the zeros that stand in for dropped digits.
  char text[sizeof fixed.digits + 8];
  size_t n = 0;
  const auto put = [&](const char *bytes, size_t length) {
    std::memcpy(text + n, bytes, length);
    n += length;
  };
  const auto zeros = [&](int length) {
    if (length <= 0) return;
    std::memset(text + n, '0', static_cast<size_t>(length));
    n += static_cast<size_t>(length);
  };
  if (negative) put("-", 1);
  if (p > 0) {
    // p > count happens only for decimals < 0, where the dropped digits
    // come back as zeros.
    put(fixed.digits, static_cast<size_t>(p < count ? p : count));
    if (decimals > 0) {
      put(".", 1);
      put(fixed.digits + p, std::strlen(fixed.digits + p));
    } else {
      zeros(p - count);
    }
  } else {
    put("0.", 2);
    zeros(-p);
    put(fixed.digits, static_cast<size_t>(count));
  }
  string.Clear();
  string.Append(text, static_cast<uint32_t>(n));
  return string.CStr();
}

const char *DoubleToText(double value, CCommonString &string, int precision, int flags) {
  char format[16];
  size_t n = 0;
  format[n++] = '%';
  if ((flags & kDoubleAlternate) != 0) format[n++] = '#';
  if ((flags & kDoubleSign) != 0) format[n++] = '+';
  format[n++] = '1';
  format[n++] = '.';
  format[n++] = '*';
  const int conversion = flags & 3;
  format[n++] = conversion == kDoubleExponent ? 'E' : conversion == kDoubleFixed ? 'f' : 'G';
  format[n] = '\0';
  string.Format(format, precision, value);
  const char *point = LocalePoint();
  if (std::strcmp(point, ".") != 0) ReplaceAll(string, point, ".", false);
  return string.CStr();
}

namespace {
double Parse(const char *text, bool useScan, bool firstOnly) {
  if (text == nullptr) return 0;
  CCommonString copy(text);
  const char *point = LocalePoint();
  if (std::strcmp(point, ".") != 0) ReplaceAll(copy, ".", point, firstOnly);
  if (!useScan) return std::strtod(copy.CStr(), nullptr);
  double value = 0;
  if (std::sscanf(copy.CStr(), "%lG", &value) != 1) return 0;
  return value;
}
}  // namespace

double ParseDouble(const char *text, int useScan) { return Parse(text, useScan != 0, false); }

double ParseDoubleFirstPoint(const char *text) { return Parse(text, false, true); }

int DoubleToShortestText(double value, CCommonString &string, int minPrecision, int flags) {
  int precision = minPrecision;
  int limit = 17;
  if (value != 0 && std::isfinite(value)) {
    const double magnitude = std::log10(std::fabs(value));
    if ((flags & kDoubleFixed) != 0 && (flags & kDoubleExponent) == 0) {
      const int z = magnitude < 0 ? static_cast<int>(std::floor(-magnitude)) : 0;
      if (precision < z) precision = z;
      limit = z + 17;
    } else if (magnitude >= 0) {
      const int n = static_cast<int>(std::floor(magnitude)) + 1;
      if (n < 18 && precision < n) precision = n;
    }
  }
  if (precision > limit) precision = limit;
  if (precision < 0) precision = 0;
  // No precision below the one that gives as many significant digits as the
  // shortest decimal form can read back (that form would not be the
  // shortest then): start there, the results are the same.
  if (std::isfinite(value)) {
    char digits[40];
    const auto result = std::to_chars(digits, digits + sizeof digits - 1, value, std::chars_format::scientific);
    *result.ptr = '\0';
    int count = 0;
    const char *p = digits;
    for (; *p != '\0' && *p != 'e'; ++p)
      if (*p >= '0' && *p <= '9') ++count;
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    const int conversion = flags & 3;
    const int needed = conversion == kDoubleFixed ? count - 1 - exponent
                       : conversion == kDoubleExponent ? count - 1
                                                       : count;
    if (precision < needed) precision = needed < limit ? needed : limit;
  }
  for (; precision <= limit; ++precision) {
    DoubleToText(value, string, precision, flags);
    const double back = ParseDouble(string.CStr(), 0);
    if (back == value && std::signbit(back) == std::signbit(value)) return 1;
  }
  return 0;
}
