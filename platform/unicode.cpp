// unicode.cpp - the UTF-8, UTF-16 and UTF-32 conversions.
//
// Each converter is one loop over the source: decode one code point (or
// stop), check room for its whole encoding (or stop), write it.  A stop
// puts the source position back to the start of what stopped it.  The
// UTF-8 reading and writing loops take runs of ASCII eight at a time, which
// is where most text spends its bytes; the run ends before any byte that is
// not ASCII or when either side has fewer than eight left, and the general
// path handles the rest, so both paths give the same results.
#include "platform/unicode.h"

#include <cstring>

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr char32_t kHighFirst = 0xD800, kHighLast = 0xDBFF;
constexpr char32_t kLowFirst = 0xDC00, kLowLast = 0xDFFF;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

inline bool IsSurrogate(char32_t c) { return c >= kHighFirst && c <= kLowLast; }
inline bool IsHigh(char32_t c) { return c >= kHighFirst && c <= kHighLast; }
inline bool IsLow(char32_t c) { return c >= kLowFirst && c <= kLowLast; }

// Trailing bytes announced by a first byte: 0 for 00-BF, 1 for C0-DF,
// 2 for E0-EF, 3 for F0-F7, 4 for F8-FB, 5 for FC-FF.
inline int TrailingBytes(uint8_t b) {
  if (b < 0xC0) return 0;
  if (b < 0xE0) return 1;
  if (b < 0xF0) return 2;
  if (b < 0xF8) return 3;
  if (b < 0xFC) return 4;
  return 5;
}

// Well-formedness of length bytes at p, where length is the one p[0]
// announces (so only the byte ranges remain to be checked).
inline bool WellFormed(const uint8_t *p, int length) {
  const uint8_t b0 = p[0];
  switch (length) {
    case 1:
      return b0 < 0x80;
    case 2:
      return b0 >= 0xC2 && (p[1] & 0xC0) == 0x80;
    case 3: {
      const uint8_t b1 = p[1];
      if ((b1 & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80) return false;
      if (b0 == 0xE0) return b1 >= 0xA0;  // shorter forms are overlong
      if (b0 == 0xED) return b1 <= 0x9F;  // ED A0-BF would be surrogates
      return true;
    }
    case 4: {
      const uint8_t b1 = p[1];
      if (b0 > 0xF4) return false;
      if ((b1 & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80 || (p[3] & 0xC0) != 0x80) return false;
      if (b0 == 0xF0) return b1 >= 0x90;  // overlong
      if (b0 == 0xF4) return b1 <= 0x8F;  // above 0x10FFFF
      return true;
    }
    default:  // 5- and 6-byte forms are not UTF-8
      return false;
  }
}

// The value of a well-formed sequence of length bytes.
inline char32_t DecodeWellFormed(const uint8_t *p, int length) {
  switch (length) {
    case 1:
      return p[0];
    case 2:
      return (char32_t(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
    case 3:
      return (char32_t(p[0] & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    default:
      return (char32_t(p[0] & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) |
             (char32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
  }
}

// Bytes of the UTF-8 form of c (c at most 0x10FFFF, surrogates allowed).
inline int Utf8Length(char32_t c) {
  if (c < 0x80) return 1;
  if (c < 0x800) return 2;
  if (c < 0x10000) return 3;
  return 4;
}

inline void EncodeUtf8(char32_t c, int length, uint8_t *t) {
  switch (length) {
    case 1:
      t[0] = static_cast<uint8_t>(c);
      break;
    case 2:
      t[0] = static_cast<uint8_t>(0xC0 | (c >> 6));
      t[1] = static_cast<uint8_t>(0x80 | (c & 0x3F));
      break;
    case 3:
      t[0] = static_cast<uint8_t>(0xE0 | (c >> 12));
      t[1] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
      t[2] = static_cast<uint8_t>(0x80 | (c & 0x3F));
      break;
    default:
      t[0] = static_cast<uint8_t>(0xF0 | (c >> 18));
      t[1] = static_cast<uint8_t>(0x80 | ((c >> 12) & 0x3F));
      t[2] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
      t[3] = static_cast<uint8_t>(0x80 | (c & 0x3F));
      break;
  }
}

// Room left between a position and an end; none when the end lies before.
template <typename T>
inline ptrdiff_t Room(const T *position, const T *end) {
  return end > position ? end - position : 0;
}

// Reads one code point of UTF-16 at s (s < end).  Returns SAL_CONV_OK with
// the value and the units it took, or the reason to stop.
inline int ReadUtf16(const char16_t *s, const char16_t *end, bool strict, char32_t *value,
                     int *units) {
  const char32_t c = *s;
  *units = 1;
  *value = c;
  if (IsHigh(c)) {
    if (end - s < 2) return SAL_CONV_SOURCE_EXHAUSTED;
    const char32_t c2 = s[1];
    if (IsLow(c2)) {
      *value = ((c - kHighFirst) << 10) + (c2 - kLowFirst) + 0x10000;
      *units = 2;
    } else if (strict) {
      return SAL_CONV_SOURCE_ILLEGAL;
    }
  } else if (strict && IsLow(c)) {
    return SAL_CONV_SOURCE_ILLEGAL;
  }
  return SAL_CONV_OK;
}

// Reads one sequence of UTF-8 at s (s < end): SAL_CONV_OK with the value
// and its length, or the reason to stop.
inline int ReadUtf8(const uint8_t *s, const uint8_t *end, char32_t *value, int *length) {
  const int extra = TrailingBytes(*s);
  if (extra >= end - s) return SAL_CONV_SOURCE_EXHAUSTED;
  if (!WellFormed(s, extra + 1)) return SAL_CONV_SOURCE_ILLEGAL;
  *length = extra + 1;
  *value = DecodeWellFormed(s, extra + 1);
  return SAL_CONV_OK;
}

// Copies the ASCII run at *s as long as eight bytes and eight units of room
// remain on both sides and the block holds ASCII only.
inline void CopyAsciiToUtf16(const uint8_t **s, const uint8_t *end, char16_t **t, char16_t *tEnd) {
  const uint8_t *p = *s;
  char16_t *q = *t;
  while (end - p >= 8 && tEnd - q >= 8) {
    uint64_t block;
    std::memcpy(&block, p, 8);
    if ((block & kHighBits) != 0) break;
    for (int i = 0; i < 8; ++i) q[i] = p[i];
    p += 8;
    q += 8;
  }
  *s = p;
  *t = q;
}

inline void CopyAsciiToUtf8(const char16_t **s, const char16_t *end, uint8_t **t, uint8_t *tEnd) {
  const char16_t *p = *s;
  uint8_t *q = *t;
  while (end - p >= 8 && tEnd - q >= 8) {
    char16_t acc = 0;
    for (int i = 0; i < 8; ++i) acc |= p[i];
    if (acc >= 0x80) break;
    for (int i = 0; i < 8; ++i) q[i] = static_cast<uint8_t>(p[i]);
    p += 8;
    q += 8;
  }
  *s = p;
  *t = q;
}

}  // namespace

int SalUtf32ToUtf16(const char32_t **sourceStart, const char32_t *sourceEnd, char16_t **targetStart,
                    char16_t *targetEnd, int flags) {
  if (sourceStart == nullptr || targetStart == nullptr) return SAL_CONV_SOURCE_ILLEGAL;
  const bool strict = flags == SAL_CONV_STRICT;
  int result = SAL_CONV_OK;
  const char32_t *s = *sourceStart;
  char16_t *t = *targetStart;
  for (; s < sourceEnd; ++s) {
    char32_t c = *s;
    if (c > kMaxCodePoint) {
      if (strict) {  // skipped, and remembered in the result
        result = SAL_CONV_SOURCE_ILLEGAL;
        continue;
      }
      c = kReplacement;
    } else if (IsSurrogate(c)) {
      if (strict) {
        result = SAL_CONV_SOURCE_ILLEGAL;
        break;
      }
      c = kReplacement;
    }
    if (c <= 0xFFFF) {
      if (Room(t, targetEnd) < 1) {
        result = SAL_CONV_TARGET_EXHAUSTED;
        break;
      }
      *t++ = static_cast<char16_t>(c);
    } else {
      if (Room(t, targetEnd) < 2) {
        result = SAL_CONV_TARGET_EXHAUSTED;
        break;
      }
      c -= 0x10000;
      *t++ = static_cast<char16_t>(kHighFirst + (c >> 10));
      *t++ = static_cast<char16_t>(kLowFirst + (c & 0x3FF));
    }
  }
  *sourceStart = s;
  *targetStart = t;
  return result;
}

int SalUtf32ToUtf8(const char32_t **sourceStart, const char32_t *sourceEnd, uint8_t **targetStart,
                   uint8_t *targetEnd, int flags) {
  if (sourceStart == nullptr || targetStart == nullptr) return SAL_CONV_SOURCE_ILLEGAL;
  const bool strict = flags == SAL_CONV_STRICT;
  int result = SAL_CONV_OK;
  const char32_t *s = *sourceStart;
  uint8_t *t = *targetStart;
  for (; s < sourceEnd; ++s) {
    char32_t c = *s;
    if (strict && IsSurrogate(c)) {
      result = SAL_CONV_SOURCE_ILLEGAL;
      break;
    }
    bool replaced = false;
    if (c > kMaxCodePoint) {
      c = kReplacement;
      replaced = true;
    }
    const int length = Utf8Length(c);
    if (Room(t, targetEnd) < length) {
      result = SAL_CONV_TARGET_EXHAUSTED;
      break;
    }
    EncodeUtf8(c, length, t);
    t += length;
    if (replaced) result = SAL_CONV_SOURCE_ILLEGAL;
  }
  *sourceStart = s;
  *targetStart = t;
  return result;
}

int SalUtf16ToUtf32(const char16_t **sourceStart, const char16_t *sourceEnd, char32_t **targetStart,
                    char32_t *targetEnd, int flags) {
  if (sourceStart == nullptr || targetStart == nullptr) return SAL_CONV_SOURCE_ILLEGAL;
  const bool strict = flags == SAL_CONV_STRICT;
  int result = SAL_CONV_OK;
  const char16_t *s = *sourceStart;
  char32_t *t = *targetStart;
  while (s < sourceEnd) {
    char32_t c;
    int units;
    result = ReadUtf16(s, sourceEnd, strict, &c, &units);
    if (result != SAL_CONV_OK) break;
    if (Room(t, targetEnd) < 1) {
      result = SAL_CONV_TARGET_EXHAUSTED;
      break;
    }
    *t++ = c;
    s += units;
  }
  *sourceStart = s;
  *targetStart = t;
  return result;
}

int SalUtf16ToUtf8(const char16_t **sourceStart, const char16_t *sourceEnd, uint8_t **targetStart,
                   uint8_t *targetEnd, int flags) {
  if (sourceStart == nullptr || targetStart == nullptr) return SAL_CONV_SOURCE_ILLEGAL;
  const bool strict = flags == SAL_CONV_STRICT;
  int result = SAL_CONV_OK;
  const char16_t *s = *sourceStart;
  uint8_t *t = *targetStart;
  while (s < sourceEnd) {
    if (*s < 0x80) {
      CopyAsciiToUtf8(&s, sourceEnd, &t, targetEnd);
      if (s >= sourceEnd) break;
      if (*s < 0x80) {
        if (Room(t, targetEnd) < 1) {
          result = SAL_CONV_TARGET_EXHAUSTED;
          break;
        }
        *t++ = static_cast<uint8_t>(*s++);
        continue;
      }
    }
    // Units outside the surrogate range that need two or three bytes, with
    // room for them, are written in place; the rest goes the general way.
    {
      const char16_t c = *s;
      const ptrdiff_t room = Room(t, targetEnd);
      if (c < 0x800) {
        if (room >= 2) {
          t[0] = static_cast<uint8_t>(0xC0 | (c >> 6));
          t[1] = static_cast<uint8_t>(0x80 | (c & 0x3F));
          t += 2;
          ++s;
          continue;
        }
      } else if ((c < kHighFirst || c > kLowLast) && room >= 3) {
        t[0] = static_cast<uint8_t>(0xE0 | (c >> 12));
        t[1] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
        t[2] = static_cast<uint8_t>(0x80 | (c & 0x3F));
        t += 3;
        ++s;
        continue;
      }
    }
    char32_t c;
    int units;
    result = ReadUtf16(s, sourceEnd, strict, &c, &units);
    if (result != SAL_CONV_OK) break;
    const int length = Utf8Length(c);
    if (Room(t, targetEnd) < length) {
      result = SAL_CONV_TARGET_EXHAUSTED;
      break;
    }
    EncodeUtf8(c, length, t);
    t += length;
    s += units;
  }
  *sourceStart = s;
  *targetStart = t;
  return result;
}

int SalUtf8ToUtf16(const uint8_t **sourceStart, const uint8_t *sourceEnd, char16_t **targetStart,
                   char16_t *targetEnd, int flags) {
  if (sourceStart == nullptr || targetStart == nullptr) return SAL_CONV_SOURCE_ILLEGAL;
  const bool strict = flags == SAL_CONV_STRICT;
  int result = SAL_CONV_OK;
  const uint8_t *s = *sourceStart;
  char16_t *t = *targetStart;
  while (s < sourceEnd) {
    if (*s < 0x80) {
      CopyAsciiToUtf16(&s, sourceEnd, &t, targetEnd);
      if (s >= sourceEnd) break;
      if (*s < 0x80) {
        if (Room(t, targetEnd) < 1) {
          result = SAL_CONV_TARGET_EXHAUSTED;
          break;
        }
        *t++ = *s++;
        continue;
      }
    }
    // Complete, well-formed two- and three-byte sequences (most non-ASCII
    // text) are decoded in place when there is room; every other case goes
    // the general way below, which gives the same result for these.
    if (t < targetEnd) {
      const uint8_t b0 = *s;
      const ptrdiff_t left = sourceEnd - s;
      if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (left >= 2 && (s[1] & 0xC0) == 0x80) {
          *t++ = static_cast<char16_t>(((b0 & 0x1F) << 6) | (s[1] & 0x3F));
          s += 2;
          continue;
        }
      } else if ((b0 & 0xF0) == 0xE0 && left >= 3) {
        const uint8_t b1 = s[1], b2 = s[2];
        if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && (b0 != 0xE0 || b1 >= 0xA0) && (b0 != 0xED || b1 <= 0x9F)) {
          *t++ = static_cast<char16_t>(((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
          s += 3;
          continue;
        }
      }
    }
    char32_t c;
    int length;
    result = ReadUtf8(s, sourceEnd, &c, &length);
    if (result != SAL_CONV_OK) break;
    // A well-formed sequence is neither a surrogate nor above 0x10FFFF; the
    // two checks below keep the conversion's rules should that ever change.
    if (IsSurrogate(c)) {
      if (strict) {
        result = SAL_CONV_SOURCE_ILLEGAL;
        break;
      }
      c = kReplacement;
    } else if (c > kMaxCodePoint) {
      if (strict) {
        result = SAL_CONV_SOURCE_ILLEGAL;
        break;
      }
      c = kReplacement;
    }
    if (c <= 0xFFFF) {
      if (Room(t, targetEnd) < 1) {
        result = SAL_CONV_TARGET_EXHAUSTED;
        break;
      }
      *t++ = static_cast<char16_t>(c);
    } else {
      if (Room(t, targetEnd) < 2) {
        result = SAL_CONV_TARGET_EXHAUSTED;
        break;
      }
      c -= 0x10000;
      *t++ = static_cast<char16_t>(kHighFirst + (c >> 10));
      *t++ = static_cast<char16_t>(kLowFirst + (c & 0x3FF));
    }
    s += length;
  }
  *sourceStart = s;
  *targetStart = t;
  return result;
}

int SalUtf8ToUtf32(const uint8_t **sourceStart, const uint8_t *sourceEnd, char32_t **targetStart,
                   char32_t *targetEnd, int flags) {
  if (sourceStart == nullptr || targetStart == nullptr) return SAL_CONV_SOURCE_ILLEGAL;
  const bool strict = flags == SAL_CONV_STRICT;
  int result = SAL_CONV_OK;
  const uint8_t *s = *sourceStart;
  char32_t *t = *targetStart;
  while (s < sourceEnd) {
    char32_t c;
    int length;
    const int read = ReadUtf8(s, sourceEnd, &c, &length);
    if (read != SAL_CONV_OK) {
      result = read;
      break;
    }
    // As in SalUtf8ToUtf16, the two cases below cannot come out of a
    // well-formed sequence; they are kept with the conversion's rules.
    bool replaced = false;
    if (IsSurrogate(c)) {
      if (strict) {
        result = SAL_CONV_SOURCE_ILLEGAL;
        break;
      }
      c = kReplacement;
    } else if (c > kMaxCodePoint) {
      c = kReplacement;
      replaced = true;
    }
    if (Room(t, targetEnd) < 1) {
      result = SAL_CONV_TARGET_EXHAUSTED;
      break;
    }
    *t++ = c;
    s += length;
    if (replaced) result = SAL_CONV_SOURCE_ILLEGAL;
  }
  *sourceStart = s;
  *targetStart = t;
  return result;
}

int SalIsLegalUtf8(const uint8_t *sequence, size_t length) {
  if (sequence == nullptr || length < 1 || length > 4) return 0;
  if (static_cast<size_t>(TrailingBytes(sequence[0])) + 1 != length) return 0;
  return WellFormed(sequence, static_cast<int>(length)) ? 1 : 0;
}

int SalCodePointToUtf16(uint32_t codePoint, char16_t *units, int *count) {
  if (count != nullptr) *count = 0;
  if (units == nullptr || codePoint > kMaxCodePoint || IsSurrogate(codePoint)) return 0;
  int n = 1;
  if (codePoint <= 0xFFFF) {
    units[0] = static_cast<char16_t>(codePoint);
  } else {
    const uint32_t c = codePoint - 0x10000;
    units[0] = static_cast<char16_t>(kHighFirst + (c >> 10));
    units[1] = static_cast<char16_t>(kLowFirst + (c & 0x3FF));
    n = 2;
  }
  if (count != nullptr) *count = n;
  return 1;
}

int SalCodePointToUtf8(uint32_t codePoint, uint8_t *bytes, int *count) {
  if (count != nullptr) *count = 0;
  if (bytes == nullptr || codePoint > kMaxCodePoint || IsSurrogate(codePoint)) return 0;
  const int n = Utf8Length(codePoint);
  EncodeUtf8(codePoint, n, bytes);
  if (count != nullptr) *count = n;
  return 1;
}
