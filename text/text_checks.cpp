// text_checks.cpp - UTF-8 checks and the identifier test.
#include "text/char_class.h"
#include "text/text_checks.h"
#include "text/text_matchers.h"

#include <cstdint>
#include <cstring>

#include "platform/unicode.h"

namespace {
const char *EndOf(const char *text, const char *end) { return end != nullptr ? end : text + std::strlen(text); }

// Bytes of the well-formed UTF-8 sequence at p (before end), 0 when there
// is none.
size_t LegalSequence(const char *p, const char *end) {
  const uint8_t b = static_cast<uint8_t>(*p);
  const size_t n = b < 0x80 ? 1 : b < 0xC2 ? 0 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 0;
  if (n == 0 || static_cast<size_t>(end - p) < n) return 0;
  return SalIsLegalUtf8(reinterpret_cast<const uint8_t *>(p), n) != 0 ? n : 0;
}

// Sorted, for the binary search.
const char *const kReservedWords[] = {
    "abstract",   "boolean",   "break",      "byte",      "case",      "catch",        "char",
    "class",      "const",     "continue",   "default",   "do",        "double",       "else",
    "extends",    "false",     "final",      "finally",   "float",     "for",          "goto",
    "if",         "implements", "import",    "instanceof", "int",      "interface",    "long",
    "native",     "new",       "null",       "package",   "private",   "protected",    "public",
    "return",     "short",     "static",     "super",     "switch",    "synchronized", "this",
    "throw",      "throws",    "transient",  "true",      "try",       "void",         "volatile",
    "while"};
}  // namespace

int HasUtf8Multibyte(const char *text, const char *end) {
  if (text == nullptr) return 0;
  end = EndOf(text, end);
  for (const char *p = text; p < end;) {
    const char *q = p;
    const size_t n = MatchUtf8Char(q, end);
    if (n >= 2) return 1;
    p += n != 0 ? n : 1;
  }
  return 0;
}

int IsValidUtf8(const char *text, const char *end) {
  if (text == nullptr) return 1;
  end = EndOf(text, end);
  for (const char *p = text; p < end;) {
    const size_t n = LegalSequence(p, end);
    if (n == 0) return 0;
    p += n;
  }
  return 1;
}

int IsUtf8WithMultibyte(const char *text, const char *end) {
  return text != nullptr && IsValidUtf8(text, end) != 0 && HasUtf8Multibyte(text, end) != 0 ? 1 : 0;
}

int IsIdentifier(const char *text) {
  if (text == nullptr || !IsCharClass(static_cast<unsigned char>(*text), kCharIdentStart)) return 0;
  for (const char *p = text + 1; *p != '\0'; ++p)
    if (!IsCharClass(static_cast<unsigned char>(*p), kCharIdentStart | kCharDigit)) return 0;
  size_t low = 0;
  size_t high = sizeof kReservedWords / sizeof kReservedWords[0];
  while (low < high) {
    const size_t mid = (low + high) / 2;
    const int order = std::strcmp(text, kReservedWords[mid]);
    if (order == 0) return 0;
    if (order < 0) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  return 1;
}
