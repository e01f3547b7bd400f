// value_text.cpp - integers to text and text to integers.
#include "text/value_text.h"

#include <cerrno>
#include <cstdlib>

#include "base/common_string.h"
#include "base/text.h"
#include "text/plain_text.h"

namespace {
const char kNullText[] = "NULL";
}  // namespace

const char *IntToText(char *buffer, size_t capacity, int32_t value) {
  if (buffer == nullptr) return kNullText;
  BoundedFormat(buffer, capacity, "%i", static_cast<int>(value));
  return buffer;
}

const char *UIntToText(char *buffer, size_t capacity, uint32_t value) {
  if (buffer == nullptr) return kNullText;
  BoundedFormat(buffer, capacity, "%u", static_cast<unsigned>(value));
  return buffer;
}

const char *ShortToText(char *buffer, size_t capacity, int16_t value) {
  if (buffer == nullptr) return kNullText;
  BoundedFormat(buffer, capacity, "%hi", static_cast<short>(value));
  return buffer;
}

const char *IntToText(CCommonString &out, int32_t value) {
  out.Format("%i", static_cast<int>(value));
  return out.CStr();
}

const char *UIntToText(CCommonString &out, uint32_t value) {
  out.Format("%u", static_cast<unsigned>(value));
  return out.CStr();
}

const char *UInt64ToHex(char *buffer, size_t capacity, uint64_t value) {
  if (buffer == nullptr) return kNullText;
  static const char kDigits[] = "0123456789ABCDEF";
  char digits[16];
  size_t n = 0;
  do {
    digits[n++] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  if (capacity < n + 1) return nullptr;
  for (size_t i = 0; i < n; ++i) buffer[i] = digits[n - 1 - i];
  buffer[n] = '\0';
  return buffer;
}

int TextToULong(const char *text, uint32_t *out, int base) {
  if (text == nullptr) return 0;
  const char *start = SkipSpaces(text);
  if (*start == '\0') return 0;
  // The sign is read here and the magnitude in 64 bits, so that the range
  // is the 32-bit one on every platform (unsigned long is 64 bits on LP64).
  const char *p = start;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  uint32_t value = 0;
  bool rangeError = false;
  bool read = false;
  // After a sign only a digit may follow: strtoull would skip white space
  // and accept a second sign.
  if (*p != '\0' && *p != '+' && *p != '-' && *p != ' ' && !(*p >= '\t' && *p <= '\r')) {
    char *end = nullptr;
    errno = 0;
    const unsigned long long magnitude = std::strtoull(p, &end, base);
    read = end != p;
    if (read) {
      if (errno == ERANGE || magnitude > 0xFFFFFFFFull) {
        rangeError = true;
        value = 0xFFFFFFFFu;
      } else {
        value = static_cast<uint32_t>(magnitude);
        if (negative) value = 0u - value;
      }
    }
  }
  if (out != nullptr) *out = value;
  return value != 0 || (!rangeError && read) ? 1 : 0;
}

int TextToLong(const char *text, int32_t *out, int base) {
  if (text == nullptr) return 0;
  const char *start = SkipSpaces(text);
  if (*start == '\0') return 0;
  char *end = nullptr;
  errno = 0;
  const long long wide = std::strtoll(start, &end, base);
  const bool read = end != start;
  bool rangeError = errno == ERANGE;
  int32_t value;
  if (wide > INT32_MAX) {
    value = INT32_MAX;
    rangeError = true;
  } else if (wide < INT32_MIN) {
    value = INT32_MIN;
    rangeError = true;
  } else {
    value = static_cast<int32_t>(wide);
  }
  if (out != nullptr) *out = value;
  return value != 0 || (!rangeError && read) ? 1 : 0;
}

int IsNumericText(const char *text) {
  if (text == nullptr) return 0;
  for (const char *p = SkipSpaces(text); *p != '\0' && *p != ' '; ++p)
    if (!((*p >= '0' && *p <= '9') || *p == '.')) return 0;
  return 1;
}

int IsNumericText(const CCommonString &text) { return IsNumericText(text.CStr()); }
