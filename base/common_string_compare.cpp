// common_string_compare.cpp - CCommonString comparisons and their null
// conventions.
#include <cctype>
#include <cstring>

#include "base/code_page.h"
#include "base/common_string.h"
#include "base/common_string_chars.h"

using common_string::NullOrder;

namespace {
int Fold(unsigned char c) { return std::tolower(c); }

// Compares two zero-terminated texts character by character: single-byte
// characters after lower-casing, double-byte characters byte for byte (a
// trail byte that looks like a letter is not a letter).
int CompareFolded(const char *a, const char *b) {
  const uint8_t *leads = SalLeadByteTable();
  for (;;) {
    const unsigned char ca = static_cast<unsigned char>(a[0]);
    const unsigned char cb = static_cast<unsigned char>(b[0]);
    const bool da = leads[ca] != 0 && a[1] != '\0';
    const bool db = leads[cb] != 0 && b[1] != '\0';
    const int x = da ? ca : Fold(ca);
    const int y = db ? cb : Fold(cb);
    if (x != y) return x - y;
    if (da || db) {
      // Same lead byte: the trail bytes decide (a lone lead compares its
      // terminator against the other's trail).
      const int ta = static_cast<unsigned char>(a[1]);
      const int tb = static_cast<unsigned char>(b[1]);
      if (ta != tb || !(da && db)) return ta - tb;
      a += 2;
      b += 2;
      continue;
    }
    if (x == 0) return 0;
    ++a;
    ++b;
  }
}

}  // namespace

int CCommonString::Compare(const char *text) const {
  int result = 0;
  if (NullOrder(buffer_ != nullptr, text, false, &result)) return result;
  return std::strcmp(buffer_, text);
}

int CCommonString::CompareEmptyEqual(const char *text) const {
  int result = 0;
  if (NullOrder(buffer_ != nullptr, text, true, &result)) return result;
  return std::strcmp(buffer_, text);
}

int CCommonString::CompareNoCase(const char *text) const {
  int result = 0;
  if (NullOrder(buffer_ != nullptr, text, false, &result)) return result;
  return CompareFolded(buffer_, text);
}

int CCommonString::CompareNoCaseEmptyEqual(const char *text) const {
  int result = 0;
  if (NullOrder(buffer_ != nullptr, text, true, &result)) return result;
  return CompareFolded(buffer_, text);
}

int CCommonString::CompareBytes(const char *bytes, uint32_t n) const {
  if (bytes == nullptr) n = 0;
  if (length_ != n) return length_ < n ? -1 : 1;
  return n == 0 ? 0 : std::memcmp(buffer_, bytes, n);
}

int CCommonString::Equals(const CCommonString &other) const {
  if (length_ != other.length_) return 0;
  return length_ == 0 || std::memcmp(buffer_, other.buffer_, length_) == 0 ? 1 : 0;
}

int CCommonString::Compare(const CCommonString &other) const {
  if (buffer_ == nullptr && other.buffer_ == nullptr) return 0;
  return Compare(other.buffer_);
}

int CCommonString::CompareNoCase(const CCommonString &other) const {
  if (buffer_ == nullptr && other.buffer_ == nullptr) return 0;
  return CompareNoCase(other.buffer_);
}

int CCommonString::EndsWithNoCase(const char *text) const {
  if (text == nullptr) return buffer_ == nullptr ? 1 : 0;
  const uint8_t *leads = SalLeadByteTable();
  uint32_t wanted = 0;
  for (const char *p = text; *p != '\0'; p += SalCharLength(leads, p)) ++wanted;
  const uint32_t have = CharCount();
  if (have < wanted) return 0;
  const char *s = CStr();
  const uint32_t at = common_string::SkipChars(leads, s, TextLength(), have - wanted);
  return CompareFolded(s + at, text) == 0 ? 1 : 0;
}
