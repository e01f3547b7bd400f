// common_string_chars.h - character walking and helpers shared by the
// CCommonString source files (and, where the rule is the same, by
// CCommonWideString's).  Internal: not installed.
#ifndef COMMON_COMMON_STRING_CHARS_H
#define COMMON_COMMON_STRING_CHARS_H

#include <cstdint>
#include <cstring>

#include "base/code_page.h"

namespace common_string {

/// Bytes of text before its first zero byte, at most length.
inline uint32_t TextLength(const char *text, uint32_t length) {
  const void *zero = std::memchr(text, '\0', length);
  return zero != nullptr ? static_cast<uint32_t>(static_cast<const char *>(zero) - text) : length;
}

/// Byte offset reached by stepping over chars characters of text[0, end);
/// *walked (when given) receives the characters actually stepped over.
inline uint32_t SkipChars(const uint8_t *leads, const char *text, uint32_t end, uint32_t chars,
                          uint32_t *walked = nullptr) {
  uint32_t i = 0;
  uint32_t n = 0;
  while (n < chars && i < end) {
    i += static_cast<uint32_t>(SalCharLength(leads, text + i));
    ++n;
  }
  if (walked != nullptr) *walked = n;
  return i;
}

/// Whether walking the n bytes of pattern as characters ends on a lead
/// byte that would take the text's next byte as its trail: such a pattern
/// matches only where the text ends behind it.
inline bool EndsInLead(const uint8_t *leads, const char *pattern, uint32_t n) {
  uint32_t i = 0;
  while (i + 1 < n) i += static_cast<uint32_t>(SalCharLength(leads, pattern + i));
  return i == n - 1 && leads[static_cast<uint8_t>(pattern[i])] != 0;
}

/// The null conventions of the text comparisons of both string objects: a
/// string without storage (hasStorage false) equals a null text, and with
/// emptyEqual also an empty one, and is less than any other; a string with
/// storage is greater than a null text.  Returns true with *result set
/// when they decide, false when the texts themselves must be compared.
template <typename Char>
bool NullOrder(bool hasStorage, const Char *text, bool emptyEqual, int *result) {
  if (!hasStorage) {
    *result = text == nullptr || (emptyEqual && *text == 0) ? 0 : -1;
    return true;
  }
  if (text == nullptr) {
    *result = 1;
    return true;
  }
  return false;
}

/// The first / last min(count, length) units of the length units at text,
/// as a String (either string object); an empty String without storage for
/// null text or a count of 0.
template <typename String, typename Char>
String Leftmost(const Char *text, uint32_t length, uint32_t count) {
  if (text == nullptr || count == 0) return String();
  return String(text, count < length ? count : length);
}

template <typename String, typename Char>
String Rightmost(const Char *text, uint32_t length, uint32_t count) {
  if (text == nullptr || count == 0) return String();
  const uint32_t n = count < length ? count : length;
  return String(text + (length - n), n);
}

/// White space of the trimming and FindSpace family.
inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

/// Sets the thread's last-error value to "storage not obtained"; returns 0.
int NoStorage();

}  // namespace common_string

#endif  // COMMON_COMMON_STRING_CHARS_H
