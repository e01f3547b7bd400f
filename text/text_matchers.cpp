// text_matchers.cpp - the text matchers that are not templates: literals,
// numbers, UTF-8 characters and counted strings.
#include "text/text_matchers.h"

#include <cctype>
#include <cstdint>

using text_match::Commit;

namespace {

// The digit value of c in base, or -1 (the zero byte is never a digit).
inline int DigitValue(unsigned char c, unsigned base) {
  int d;
  if (c >= '0' && c <= '9') {
    d = c - '0';
  } else if (c >= 'A' && c <= 'Z') {
    d = c - 'A' + 10;
  } else if (c >= 'a' && c <= 'z') {
    d = c - 'a' + 10;
  } else {
    return -1;
  }
  return static_cast<unsigned>(d) < base ? d : -1;
}

inline bool Before(const char *p, const char *end) { return end == nullptr || p < end; }

// position + limit, reduced so that the addition cannot wrap around.
const char *EndAfter(const char *position, size_t limit) {
  const uintptr_t room = UINTPTR_MAX - reinterpret_cast<uintptr_t>(position);
  return position + (limit < room ? limit : room);
}

}  // namespace

size_t MatchLiteral(const char *&position, const char *text, TextSpan *out) {
  if (position == nullptr || text == nullptr || *text == '\0') return 0;
  const char *p = position;
  // A mismatch at the text's zero byte ends the loop before anything
  // behind it is read.
  for (; *text != '\0'; ++text, ++p)
    if (*p != *text) return 0;
  return Commit(position, p, out);
}

size_t MatchLiteral(const char *&position, const char *text, const char *end, TextSpan *out) {
  if (position == nullptr || text == nullptr || *text == '\0') return 0;
  const char *p = position;
  for (; *text != '\0'; ++text, ++p)
    if (!Before(p, end) || *p != *text) return 0;
  return Commit(position, p, out);
}

size_t MatchLiteralNoCase(const char *&position, const char *text, TextSpan *out) {
  if (position == nullptr || text == nullptr || *text == '\0') return 0;
  const char *p = position;
  for (; *text != '\0'; ++text, ++p)
    if (std::toupper(static_cast<unsigned char>(*p)) != std::toupper(static_cast<unsigned char>(*text)))
      return 0;
  return Commit(position, p, out);
}

size_t MatchNumber(const char *&position, uint32_t *value, uint32_t min, uint32_t max,
                   unsigned base, const char *end, TextSpan *out) {
  if (position == nullptr || min > max || base < 2 || base > 36) return 0;
  const char *p = position;
  uint32_t v = 0;
  for (; Before(p, end); ++p) {
    const int d = DigitValue(static_cast<unsigned char>(*p), base);
    if (d < 0) break;
    const uint32_t digit = static_cast<uint32_t>(d);
    if (digit > max || v > (max - digit) / base) break;  // one more digit would pass max
    v = v * base + digit;
  }
  if (value != nullptr) *value = v;
  if (p == position || v < min) return 0;
  if (end != nullptr && p < end && DigitValue(static_cast<unsigned char>(*p), base) >= 0) return 0;
  return Commit(position, p, out);
}

size_t MatchNumber(const char *&position, uint8_t *value, uint8_t min, uint8_t max, unsigned base,
                   const char *end, TextSpan *out) {
  if (min > max || base < 2 || base > 36) return 0;
  uint32_t v = 0;
  const size_t consumed = MatchNumber(position, &v, min, max, base, end, out);
  if (value != nullptr) *value = static_cast<uint8_t>(v);
  return consumed;
}

size_t MatchDottedQuad(const char *&position, uint32_t *value, TextSpan *out) {
  const char *p = position;
  uint32_t quad = 0;
  bool ok = position != nullptr;
  for (int k = 0; ok && k < 4; ++k) {
    uint32_t part = 0;
    ok = (k == 0 || MatchOne(p, IsByte('.')) != 0) && MatchNumber(p, &part, 0, 255, 10, nullptr) != 0;
    quad |= part << (8 * k);
  }
  if (value != nullptr) *value = ok ? quad : 0;
  return ok ? Commit(position, p, out) : 0;
}

size_t MatchRange(const char *&position, uint32_t *low, uint32_t *high, const char *separator,
                  TextSpan *out) {
  uint32_t first = 0;
  uint32_t second = 0xFFFFFFFFu;
  size_t consumed = 0;
  if (position != nullptr) {
    const char *p = position;
    if (MatchNumber(p, &first, 0, 0xFFFFFFFFu, 10, nullptr) == 0) first = 0;
    MatchMany(p, InClass(kCharWhite));
    if (MatchLiteral(p, separator) != 0) {
      MatchMany(p, InClass(kCharWhite));
      uint32_t number = 0;
      if (MatchNumber(p, &number, 0, 0xFFFFFFFFu, 10, nullptr) != 0) second = number;
    }
    consumed = Commit(position, p, out);
  }
  if (low != nullptr) *low = first;
  if (high != nullptr) *high = second;
  return consumed;
}

size_t MatchUtf8Char(const char *&position, const char *end, TextSpan *out) {
  if (position == nullptr || !Before(position, end)) return 0;
  const unsigned char *p = reinterpret_cast<const unsigned char *>(position);
  const unsigned char b = p[0];
  size_t follow;
  if (b == 0) {
    return 0;
  } else if (b < 0x80) {
    follow = 0;
  } else if ((b & 0xE0) == 0xC0) {
    follow = 1;
  } else if ((b & 0xF0) == 0xE0) {
    follow = 2;
  } else if ((b & 0xF8) == 0xF0) {
    follow = 3;
  } else {
    return 0;
  }
  if (end != nullptr && static_cast<size_t>(end - position) <= follow) return 0;
  // A zero byte is no continuation byte, so nothing behind the text is read.
  for (size_t k = 1; k <= follow; ++k)
    if ((p[k] & 0xC0) != 0x80) return 0;
  return Commit(position, position + 1 + follow, out);
}

size_t MatchUtf8Chars(const char *&position, const char *end, TextSpan *out) {
  if (position == nullptr) return 0;
  const char *p = position;
  while (MatchUtf8Char(p, end) != 0) {
  }
  return Commit(position, p, out);
}

size_t MatchCountedString(const char *&position, TextSpan *chars, size_t limit, int escapes,
                          unsigned base, const char *separator, TextSpan *out) {
  if (position == nullptr || limit == 0) return 0;
  const char *end = EndAfter(position, limit);
  const char *p = position;
  uint32_t count = 0;
  // The count leaves the token's last byte for the separator.
  if (MatchNumber(p, &count, 0, 0xFFFFFFFFu, base, end - 1) == 0) return 0;
  if (count != 0 && *position == '0') return 0;
  if (MatchLiteral(p, separator, end, nullptr) == 0) return 0;
  const char *first = p;
  for (uint32_t k = 0; k < count; ++k) {
    if (p >= end || *p == '\0') return 0;
    if (escapes != 0 && *p == '\\' && end - p >= 2 && p[1] != '\0') {
      p += 2;
    } else if (MatchUtf8Char(p, end) == 0) {
      ++p;
    }
  }
  if (chars != nullptr) {
    chars->start = p > first ? first : nullptr;
    chars->length = static_cast<size_t>(p - first);
  }
  return Commit(position, p, out);
}

size_t MatchCountedString(const char *&position, TextSpan *chars, size_t limit, int escapes,
                          TextSpan *out) {
  return MatchCountedString(position, chars, limit, escapes, 10, "*", out);
}
