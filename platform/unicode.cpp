// unicode.cpp - the UTF-8, UTF-16 and UTF-32 conversions.
//
// All six converters are one loop, Convert<From, To>, over two encodings:
// From reads one code point at the source position (or says why to stop),
// To checks room for its whole encoding and writes it.  A stop leaves the
// source position at the start of what stopped it.  Where UTF-8 is on one
// side, the loop first copies runs of ASCII, which is where most text
// spends its bytes: unit by unit, and eight units at a time once a run has
// lasted eight; an ASCII unit converts the same either way, so both paths
// give the same results.
#include "platform/unicode.h"

#include <cstring>
#include <type_traits>

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr char32_t kHighFirst = 0xD800, kHighLast = 0xDBFF;
constexpr char32_t kLowFirst = 0xDC00, kLowLast = 0xDFFF;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

inline bool IsSurrogate(char32_t c) { return c >= kHighFirst && c <= kLowLast; }
inline bool IsHigh(char32_t c) { return c >= kHighFirst && c <= kHighLast; }
inline bool IsLow(char32_t c) { return c >= kLowFirst && c <= kLowLast; }
inline bool IsTrailingByte(uint8_t b) { return (b & 0xC0) == 0x80; }

// Whether count units fit between a position and an end (an end at or
// before the position leaves no room).
template <typename T>
inline bool HasRoom(const T *position, const T *end, ptrdiff_t count) {
  return end - position >= count;
}

// ---------------------------------------------------------------------------
// What a reader makes of the sequence at the source position
// ---------------------------------------------------------------------------

enum class Take {
  kWrite,          // write the value
  kWriteReported,  // write the value, a replacement: the result becomes SOURCE_ILLEGAL
  kSkipReported,   // write nothing, pass over it: the result becomes SOURCE_ILLEGAL
  kStop,           // stop here for the reason given
};

struct Decoded {
  Take take;
  int units;       // source units of the sequence (not for kStop)
  char32_t value;  // the code point to write
  int reason;      // SAL_CONV_* of a stop
};

constexpr Decoded Write(char32_t value, int units) { return {Take::kWrite, units, value, SAL_CONV_OK}; }
constexpr Decoded Stop(int reason) { return {Take::kStop, 0, 0, reason}; }

// ---------------------------------------------------------------------------
// UTF-8
// ---------------------------------------------------------------------------

// Trailing bytes announced by a first byte: 0 for 00-BF, 1 for C0-DF,
// 2 for E0-EF, 3 for F0-F7, 4 for F8-FB, 5 for FC-FF.  A sequence is
// exhausted when the source ends before them, whatever its bytes.
inline int TrailingBytes(uint8_t b) {
  if (b < 0xC0) return 0;
  if (b < 0xE0) return 1;
  if (b < 0xF0) return 2;
  if (b < 0xF8) return 3;
  if (b < 0xFC) return 4;
  return 5;
}

struct Utf8 {
  using Unit = uint8_t;

  // A sequence is exhausted when the source ends before the length its
  // first byte announces, else illegal unless well-formed (SalUtf8LeadOf).
  // A well-formed sequence is never a surrogate nor above 0x10FFFF, so the
  // target's rules for those values never apply here.
  template <typename To>
  static Decoded Read(const uint8_t *s, const uint8_t *end, bool) {
    const uint8_t b0 = s[0];
    if (b0 < 0x80) return Write(b0, 1);
    const SalUtf8Lead lead = SalUtf8LeadOf(b0);
    const ptrdiff_t left = end - s;
    const auto second = [&lead](uint8_t b) { return b >= lead.secondLow && b <= lead.secondHigh; };
    switch (lead.length) {
      case 2:
        if (left < 2) return Stop(SAL_CONV_SOURCE_EXHAUSTED);
        if (!second(s[1])) return Stop(SAL_CONV_SOURCE_ILLEGAL);
        return Write((char32_t(b0 & 0x1F) << 6) | (s[1] & 0x3F), 2);
      case 3:
        if (left < 3) return Stop(SAL_CONV_SOURCE_EXHAUSTED);
        if (!second(s[1]) || !IsTrailingByte(s[2])) return Stop(SAL_CONV_SOURCE_ILLEGAL);
        return Write((char32_t(b0 & 0x0F) << 12) | (char32_t(s[1] & 0x3F) << 6) | (s[2] & 0x3F), 3);
      case 4:
        if (left < 4) return Stop(SAL_CONV_SOURCE_EXHAUSTED);
        if (!second(s[1]) || !IsTrailingByte(s[2]) || !IsTrailingByte(s[3]))
          return Stop(SAL_CONV_SOURCE_ILLEGAL);
        return Write((char32_t(b0 & 0x07) << 18) | (char32_t(s[1] & 0x3F) << 12) |
                         (char32_t(s[2] & 0x3F) << 6) | (s[3] & 0x3F),
                     4);
      default:  // no well-formed sequence starts here
        return Stop(TrailingBytes(b0) >= left ? SAL_CONV_SOURCE_EXHAUSTED : SAL_CONV_SOURCE_ILLEGAL);
    }
  }

  // Writes c (at most 0x10FFFF, surrogates allowed) as 1 to 4 bytes when
  // they fit.
  static bool Put(char32_t c, uint8_t *&t, uint8_t *end) {
    if (c < 0x80) {
      if (!HasRoom(t, end, 1)) return false;
      *t++ = static_cast<uint8_t>(c);
    } else if (c < 0x800) {
      if (!HasRoom(t, end, 2)) return false;
      t[0] = static_cast<uint8_t>(0xC0 | (c >> 6));
      t[1] = static_cast<uint8_t>(0x80 | (c & 0x3F));
      t += 2;
    } else if (c < 0x10000) {
      if (!HasRoom(t, end, 3)) return false;
      t[0] = static_cast<uint8_t>(0xE0 | (c >> 12));
      t[1] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
      t[2] = static_cast<uint8_t>(0x80 | (c & 0x3F));
      t += 3;
    } else {
      if (!HasRoom(t, end, 4)) return false;
      t[0] = static_cast<uint8_t>(0xF0 | (c >> 18));
      t[1] = static_cast<uint8_t>(0x80 | ((c >> 12) & 0x3F));
      t[2] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
      t[3] = static_cast<uint8_t>(0x80 | (c & 0x3F));
      t += 4;
    }
    return true;
  }

  // Lenient conversions from UTF-32 write a surrogate value as the three
  // bytes of its value; a value above 0x10FFFF becomes U+FFFD, reported in
  // both modes.
  static constexpr bool kPutsSurrogates = true;
  static Decoded AboveMax(bool) { return {Take::kWriteReported, 1, kReplacement, SAL_CONV_OK}; }
};

// ---------------------------------------------------------------------------
// UTF-16
// ---------------------------------------------------------------------------

struct Utf16 {
  using Unit = char16_t;

  // A high surrogate as the last unit is exhausted; an unpaired surrogate
  // stops a strict conversion and is passed on as a value of its own by a
  // lenient one.
  template <typename To>
  static Decoded Read(const char16_t *s, const char16_t *end, bool strict) {
    const char32_t c = s[0];
    if (!IsSurrogate(c)) return Write(c, 1);
    if (IsHigh(c)) {
      if (end - s < 2) return Stop(SAL_CONV_SOURCE_EXHAUSTED);
      const char32_t c2 = s[1];
      if (IsLow(c2)) return Write(((c - kHighFirst) << 10) + (c2 - kLowFirst) + 0x10000, 2);
    }
    return strict ? Stop(SAL_CONV_SOURCE_ILLEGAL) : Write(c, 1);
  }

  // Writes c (not a surrogate, at most 0x10FFFF) as one unit or a
  // surrogate pair when it fits.
  static bool Put(char32_t c, char16_t *&t, char16_t *end) {
    if (c <= 0xFFFF) {
      if (!HasRoom(t, end, 1)) return false;
      *t++ = static_cast<char16_t>(c);
    } else {
      if (!HasRoom(t, end, 2)) return false;
      c -= 0x10000;
      t[0] = static_cast<char16_t>(kHighFirst + (c >> 10));
      t[1] = static_cast<char16_t>(kLowFirst + (c & 0x3FF));
      t += 2;
    }
    return true;
  }

  // Lenient conversions from UTF-32 write U+FFFD for a surrogate value, and
  // for a value above 0x10FFFF, which a strict one skips and reports.
  static constexpr bool kPutsSurrogates = false;
  static Decoded AboveMax(bool strict) {
    return strict ? Decoded{Take::kSkipReported, 1, 0, SAL_CONV_OK} : Write(kReplacement, 1);
  }
};

// ---------------------------------------------------------------------------
// UTF-32
// ---------------------------------------------------------------------------

struct Utf32 {
  using Unit = char32_t;

  // Every unit is one value.  A surrogate value stops a strict conversion;
  // what else becomes of the values UTF-32 holds and Unicode does not is
  // the target's rule.
  template <typename To>
  static Decoded Read(const char32_t *s, const char32_t *, bool strict) {
    const char32_t c = s[0];
    if (c > kMaxCodePoint) return To::AboveMax(strict);
    if (IsSurrogate(c)) {
      if (strict) return Stop(SAL_CONV_SOURCE_ILLEGAL);
      if (!To::kPutsSurrogates) return Write(kReplacement, 1);
    }
    return Write(c, 1);
  }

  static bool Put(char32_t c, char32_t *&t, char32_t *end) {
    if (!HasRoom(t, end, 1)) return false;
    *t++ = c;
    return true;
  }
};

// ---------------------------------------------------------------------------
// The ASCII runs and the one loop
// ---------------------------------------------------------------------------

inline bool IsAsciiBlock(const uint8_t *p) {
  uint64_t block;
  std::memcpy(&block, p, 8);
  return (block & kHighBits) == 0;
}

template <typename Unit>
inline bool IsAsciiBlock(const Unit *p) {
  Unit any = 0;
  for (int i = 0; i < 8; ++i) any |= p[i];
  return any < 0x80;
}

// Copies the ASCII at s (s < end, t < tEnd, s[0] ASCII) to the end of the
// run or of either side.  Short runs (the space between two words) go unit
// by unit; after every eight units, blocks of eight while both sides have
// eight left.
template <typename S, typename T>
inline void CopyAscii(const S *&s, const S *end, T *&t, T *tEnd) {
  int n = 0;
  while (s < end && s[0] < 0x80 && t < tEnd) {
    *t++ = static_cast<T>(*s++);
    if (++n == 8) {
      while (end - s >= 8 && tEnd - t >= 8 && IsAsciiBlock(s)) {
        for (int i = 0; i < 8; ++i) t[i] = static_cast<T>(s[i]);
        s += 8;
        t += 8;
      }
      n = 0;
    }
  }
}

template <typename From, typename To>
int Convert(const typename From::Unit **sourceStart, const typename From::Unit *sourceEnd,
            typename To::Unit **targetStart, typename To::Unit *targetEnd, int flags) {
  constexpr bool kAsciiRuns = std::is_same_v<From, Utf8> || std::is_same_v<To, Utf8>;
  if (sourceStart == nullptr || targetStart == nullptr) return SAL_CONV_SOURCE_ILLEGAL;
  const bool strict = flags == SAL_CONV_STRICT;
  int result = SAL_CONV_OK;
  const typename From::Unit *s = *sourceStart;
  typename To::Unit *t = *targetStart;
  while (s < sourceEnd) {
    if (kAsciiRuns && s[0] < 0x80) {
      if (t >= targetEnd) {
        result = SAL_CONV_TARGET_EXHAUSTED;
        break;
      }
      CopyAscii(s, sourceEnd, t, targetEnd);
      continue;
    }
    const Decoded d = From::template Read<To>(s, sourceEnd, strict);
    if (d.take != Take::kWrite) {
      if (d.take == Take::kStop) {
        result = d.reason;
        break;
      }
      // A replacement or a skip is reported unless a later stop names a
      // reason of its own (want of room for this very replacement included).
      result = SAL_CONV_SOURCE_ILLEGAL;
      if (d.take == Take::kSkipReported) {
        s += d.units;
        continue;
      }
    }
    if (!To::Put(d.value, t, targetEnd)) {
      result = SAL_CONV_TARGET_EXHAUSTED;
      break;
    }
    s += d.units;
  }
  *sourceStart = s;
  *targetStart = t;
  return result;
}

// One code point, written by the converters' writer into room for its
// longest form; 0 for a value that is not a Unicode scalar value.
template <typename To>
int CodePointTo(uint32_t codePoint, typename To::Unit *units, int room, int *count) {
  if (count != nullptr) *count = 0;
  if (units == nullptr || codePoint > kMaxCodePoint || IsSurrogate(codePoint)) return 0;
  typename To::Unit *t = units;
  (void)To::Put(codePoint, t, units + room);
  if (count != nullptr) *count = static_cast<int>(t - units);
  return 1;
}

}  // namespace

int SalUtf32ToUtf16(const char32_t **sourceStart, const char32_t *sourceEnd, char16_t **targetStart,
                    char16_t *targetEnd, int flags) {
  return Convert<Utf32, Utf16>(sourceStart, sourceEnd, targetStart, targetEnd, flags);
}

int SalUtf32ToUtf8(const char32_t **sourceStart, const char32_t *sourceEnd, uint8_t **targetStart,
                   uint8_t *targetEnd, int flags) {
  return Convert<Utf32, Utf8>(sourceStart, sourceEnd, targetStart, targetEnd, flags);
}

int SalUtf16ToUtf32(const char16_t **sourceStart, const char16_t *sourceEnd, char32_t **targetStart,
                    char32_t *targetEnd, int flags) {
  return Convert<Utf16, Utf32>(sourceStart, sourceEnd, targetStart, targetEnd, flags);
}

int SalUtf16ToUtf8(const char16_t **sourceStart, const char16_t *sourceEnd, uint8_t **targetStart,
                   uint8_t *targetEnd, int flags) {
  return Convert<Utf16, Utf8>(sourceStart, sourceEnd, targetStart, targetEnd, flags);
}

int SalUtf8ToUtf16(const uint8_t **sourceStart, const uint8_t *sourceEnd, char16_t **targetStart,
                   char16_t *targetEnd, int flags) {
  return Convert<Utf8, Utf16>(sourceStart, sourceEnd, targetStart, targetEnd, flags);
}

int SalUtf8ToUtf32(const uint8_t **sourceStart, const uint8_t *sourceEnd, char32_t **targetStart,
                   char32_t *targetEnd, int flags) {
  return Convert<Utf8, Utf32>(sourceStart, sourceEnd, targetStart, targetEnd, flags);
}

int SalIsLegalUtf8(const uint8_t *sequence, size_t length) {
  if (sequence == nullptr || length < 1 || length > 4) return 0;
  const Decoded d = Utf8::Read<Utf32>(sequence, sequence + length, true);
  return d.take == Take::kWrite && static_cast<size_t>(d.units) == length ? 1 : 0;
}

int SalCodePointToUtf16(uint32_t codePoint, char16_t *units, int *count) {
  return CodePointTo<Utf16>(codePoint, units, 2, count);
}

int SalCodePointToUtf8(uint32_t codePoint, uint8_t *bytes, int *count) {
  return CodePointTo<Utf8>(codePoint, bytes, 4, count);
}
