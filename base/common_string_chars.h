// common_string_chars.h - character walking and helpers shared by the
// CCommonString source files.  Internal: not installed.
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

/// White space of the trimming and FindSpace family.
inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

/// Sets the thread's last-error value to "storage not obtained"; returns 0.
int NoStorage();

}  // namespace common_string

#endif  // COMMON_COMMON_STRING_CHARS_H
