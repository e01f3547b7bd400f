// hex_text.cpp - CCommonString's hexadecimal text: bytes to two upper-case
// digits each, and digits back to bytes.
#include <cctype>
#include <cstring>

#include "base/common_string.h"
#include "base/common_string_chars.h"

using common_string::NoStorage;

namespace {
constexpr char kHexUpper[] = "0123456789ABCDEF";

inline int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Whether text opens with prefix, exactly or after upper-casing both.
bool HasPrefix(const char *text, const char *prefix, bool caseSensitive) {
  for (; *prefix != '\0'; ++prefix, ++text) {
    const unsigned char a = static_cast<unsigned char>(*text);
    const unsigned char b = static_cast<unsigned char>(*prefix);
    if (caseSensitive ? a != b : std::toupper(a) != std::toupper(b)) return false;
  }
  return true;
}
}  // namespace

int CCommonString::AppendHex(const void *data, uint32_t length, int append) {
  if (data == nullptr) return 0;
  const char *bytes = static_cast<const char *>(data);
  const size_t n = length == kAll ? std::strlen(bytes) : length;
  if (Owns(bytes, static_cast<uint32_t>(n < kAll ? n : kAll))) {
    // Clearing or growing the storage would change the data: work from a copy.
    const CCommonString copy(bytes, static_cast<uint32_t>(n));
    if (copy.GetLength() != n) return 0;
    return AppendHex(copy.CStr(), copy.GetLength(), append);
  }
  if (append == 0) Clear();
  const uint64_t total = static_cast<uint64_t>(length_) + 2 * static_cast<uint64_t>(n);
  if (total >= kAll) return NoStorage();
  // By the growth rule, as any append: a string with a growth record that
  // receives hex text in small steps grows geometrically.
  if (!GrowTo(total + 1)) return 0;
  if (buffer_ == nullptr) return 1;  // nothing to write and nothing written
  char *out = buffer_ + length_;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    *out++ = kHexUpper[c >> 4];
    *out++ = kHexUpper[c & 15];
  }
  length_ = static_cast<uint32_t>(total);
  buffer_[length_] = '\0';
  return 1;
}

int CCommonString::AppendFromHex(const char *text, const char *prefix, int prefixCaseSensitive,
                                 int append) {
  if (text != nullptr && Owns(text, 1)) {
    const CCommonString copy(text);
    if (copy.GetLength() != std::strlen(text)) return 0;
    return AppendFromHex(copy.CStr(), prefix, prefixCaseSensitive, append);
  }
  if (append == 0) Clear();
  if (text == nullptr) return 0;
  if (prefix != nullptr) {
    if (!HasPrefix(text, prefix, prefixCaseSensitive != 0)) return 0;
    text += std::strlen(prefix);
  }
  const size_t n = std::strlen(text);
  const uint64_t room = static_cast<uint64_t>(length_) + (n + 1) / 2;
  if (room >= kAll) return NoStorage();
  if (!GrowTo(room + 1)) return 0;
  if (buffer_ == nullptr) return 1;  // an empty text into a string without storage
  const char *p = text;
  while (*p != '\0') {
    const int high = HexValue(static_cast<unsigned char>(p[0]));
    if (high < 0) break;
    const int low = HexValue(static_cast<unsigned char>(p[1]));
    if (low < 0) {
      buffer_[length_++] = static_cast<char>(high);  // a single digit is a byte of its own
      p += 1;
    } else {
      buffer_[length_++] = static_cast<char>(high * 16 + low);
      p += 2;
    }
  }
  buffer_[length_] = '\0';
  return *p == '\0' ? 1 : 0;
}
