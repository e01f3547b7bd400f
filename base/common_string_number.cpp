// common_string_number.cpp - CCommonString numbers to text and text to numbers.
//
// The text-to-number readers reproduce the runtime library's formatted scan
// ("%i", "%u", "%hu", ...) through the 64-bit conversions, which behave the
// same on every runtime: the 32-bit-long runtimes would otherwise saturate
// values that the 64-bit ones reduce to the target's width.
#include <cstdlib>

#include "base/common_string.h"
#include "base/text.h"

namespace {
// Appends value formatted with format: through a 100-byte scratch buffer,
// or, for a longer text, through a formatted string of its exact size.
template <typename T>
int AppendFormatted(CCommonString &s, const char *format, T value) {
  char scratch[100];
  const int n = BoundedFormat(scratch, sizeof scratch, format, value);
  if (n >= 0) return s.Append(scratch, static_cast<uint32_t>(n));
  CCommonString text;
  return text.Format(format, value) ? s.Append(text) : 0;
}
}  // namespace

int CCommonString::AppendUInt(uint32_t value, const char *format) {
  CCommonString text;
  if (!text.Format(format != nullptr ? format : "%u", value)) return 0;
  return Append(text);
}

int CCommonString::AppendInt(int32_t value, const char *format) {
  CCommonString text;
  if (!text.Format(format != nullptr ? format : "%d", value)) return 0;
  return Append(text);
}

int CCommonString::AppendUInt64(uint64_t value, const char *format) {
  return AppendFormatted(*this, format != nullptr ? format : "%llu",
                         static_cast<unsigned long long>(value));
}

int CCommonString::AppendInt64(int64_t value, const char *format) {
  return AppendFormatted(*this, format != nullptr ? format : "%lld",
                         static_cast<long long>(value));
}

int CCommonString::AppendDouble(double value, const char *format) {
  return AppendFormatted(*this, format != nullptr ? format : "%f", value);
}

// "%hu" and "%u" read decimal digits as an unsigned 64-bit value (a minus
// sign wraps it) and keep the low bits; "%hi" and "%i" read with the 0x and
// leading-0 prefixes as a signed 64-bit value and keep the low bits.
uint16_t CCommonString::AsUShort() const {
  return static_cast<uint16_t>(std::strtoull(CStr(), nullptr, 10));
}

int16_t CCommonString::AsShort() const {
  return static_cast<int16_t>(static_cast<uint16_t>(std::strtoll(CStr(), nullptr, 0)));
}

uint32_t CCommonString::AsUInt() const {
  return static_cast<uint32_t>(std::strtoull(CStr(), nullptr, 10));
}

int32_t CCommonString::AsInt() const {
  return static_cast<int32_t>(static_cast<uint32_t>(std::strtoll(CStr(), nullptr, 0)));
}

int64_t CCommonString::AsInt64() const { return std::strtoll(CStr(), nullptr, 10); }

uint64_t CCommonString::AsUInt64() const { return std::strtoull(CStr(), nullptr, 10); }

float CCommonString::AsFloat() const { return std::strtof(CStr(), nullptr); }

double CCommonString::AsDouble() const { return std::strtod(CStr(), nullptr); }
