// unicode.h - conversions between UTF-8, UTF-16 and UTF-32, without the
// platform's converters.
//
// Every converting function takes (pointer to the source position, source
// end, pointer to the target position, target end, flags), advances both
// positions past what it converted and returns one of the SAL_CONV_*
// results.  When it stops early, the source position is left at the start
// of the unit or sequence that stopped it, so that a caller can resume
// there (with more input, more room, or after skipping the bad sequence).
// Nothing is ever written at or past the target end, and no sequence is
// written in part: a surrogate pair or a multi-byte sequence that does not
// fit whole stops the conversion with SAL_CONV_TARGET_EXHAUSTED.
//
// Positions compare as ordinary pointers: a source end at or before the
// source position is an empty source, a target end at or before the target
// position leaves no room.  A null pointer to a position gives
// SAL_CONV_SOURCE_ILLEGAL and changes nothing.
//
// Rules per direction (strict = SAL_CONV_STRICT, lenient = any other flag):
//
//   UTF-8 input     A sequence whose length (read from its first byte)
//                   reaches past the source end stops with
//                   SAL_CONV_SOURCE_EXHAUSTED, whatever its bytes.  A
//                   sequence that is not well-formed (see SalIsLegalUtf8:
//                   overlong forms, encoded surrogates, values above
//                   0x10FFFF, stray trailing bytes, 5- and 6-byte forms)
//                   stops with SAL_CONV_SOURCE_ILLEGAL in both modes.
//   UTF-16 input    A high surrogate as the last unit stops with
//                   SAL_CONV_SOURCE_EXHAUSTED.  A high surrogate not
//                   followed by a low one, or a low one on its own, stops
//                   with SAL_CONV_SOURCE_ILLEGAL when strict; lenient passes
//                   it through as a code point of its own.
//   UTF-32 input    A surrogate value stops with SAL_CONV_SOURCE_ILLEGAL
//                   when strict.  Lenient writes U+FFFD for it towards
//                   UTF-16 and encodes it as a three-byte sequence towards
//                   UTF-8.  A value above 0x10FFFF: towards UTF-16 strict
//                   skips it and lenient writes U+FFFD; towards UTF-8 both
//                   modes write U+FFFD (EF BF BD).
//
// Where a conversion goes on past a bad value that it skipped or replaced
// without being told to (strict UTF-32 to UTF-16 skipping, both modes of
// UTF-32 to UTF-8 above 0x10FFFF), the result is SAL_CONV_SOURCE_ILLEGAL
// unless a later stop reports its own reason.  Lenient replacements towards
// UTF-16 leave the result as it is.
#ifndef SAL_UNICODE_H
#define SAL_UNICODE_H

#include <cstddef>
#include <cstdint>

/// Results of the Unicode conversions.
enum : int {
  SAL_CONV_OK = 0,                // the whole source was converted
  SAL_CONV_SOURCE_EXHAUSTED = 1,  // the source ends inside a sequence
  SAL_CONV_TARGET_EXHAUSTED = 2,  // no room for the next unit or sequence
  SAL_CONV_SOURCE_ILLEGAL = 3,    // a malformed sequence or a value out of range
};

/// Flags of the Unicode conversions; any value other than SAL_CONV_STRICT
/// is lenient.
enum : int {
  SAL_CONV_STRICT = 0,
  SAL_CONV_LENIENT = 1,
};

int SalUtf32ToUtf16(const char32_t **sourceStart, const char32_t *sourceEnd, char16_t **targetStart,
                    char16_t *targetEnd, int flags);
int SalUtf32ToUtf8(const char32_t **sourceStart, const char32_t *sourceEnd, uint8_t **targetStart,
                   uint8_t *targetEnd, int flags);
int SalUtf16ToUtf32(const char16_t **sourceStart, const char16_t *sourceEnd, char32_t **targetStart,
                    char32_t *targetEnd, int flags);
int SalUtf16ToUtf8(const char16_t **sourceStart, const char16_t *sourceEnd, uint8_t **targetStart,
                   uint8_t *targetEnd, int flags);
int SalUtf8ToUtf16(const uint8_t **sourceStart, const uint8_t *sourceEnd, char16_t **targetStart,
                   char16_t *targetEnd, int flags);
int SalUtf8ToUtf32(const uint8_t **sourceStart, const uint8_t *sourceEnd, char32_t **targetStart,
                   char32_t *targetEnd, int flags);

/// What the first byte of a UTF-8 sequence says about a well-formed one:
/// its length and the range of its second byte (every later byte lies in
/// 80-BF).  Length 1 for 00-7F, 2 for C2-DF, 3 for E0-EF (second byte A0-BF
/// after E0, 80-9F after ED), 4 for F0-F4 (90-BF after F0, 80-8F after F4);
/// 0 for a byte that starts none (80-C1, F5-FF).  Inline, so that programs
/// that link none of this layer share the rule.
struct SalUtf8Lead {
  int length;
  uint8_t secondLow;
  uint8_t secondHigh;
};

constexpr SalUtf8Lead SalUtf8LeadOf(uint8_t first) {
  if (first < 0x80) return {1, 0, 0};
  if (first < 0xC2) return {0, 0, 0};
  if (first < 0xE0) return {2, 0x80, 0xBF};
  if (first < 0xF0) return {3, uint8_t(first == 0xE0 ? 0xA0 : 0x80), uint8_t(first == 0xED ? 0x9F : 0xBF)};
  if (first < 0xF5) return {4, uint8_t(first == 0xF0 ? 0x90 : 0x80), uint8_t(first == 0xF4 ? 0x8F : 0xBF)};
  return {0, 0, 0};
}

/// How many of the available bytes at s (at least 1) begin a well-formed
/// UTF-8 sequence: the sequence's length when all of it is there, else the
/// length of the longest start that could still become one; 0 when s[0]
/// starts none.  The sequence is whole when the count equals
/// SalUtf8LeadOf(s[0]).length.
inline size_t SalUtf8WellFormedPrefix(const uint8_t *s, size_t available) {
  const SalUtf8Lead lead = SalUtf8LeadOf(s[0]);
  if (lead.length == 0) return 0;
  size_t n = 1;
  for (; n < static_cast<size_t>(lead.length) && n < available; ++n) {
    const uint8_t b = s[n];
    if (n == 1 ? b < lead.secondLow || b > lead.secondHigh : (b & 0xC0) != 0x80) break;
  }
  return n;
}

/// 1 when length is 1 to 4 and the length bytes at sequence form exactly one
/// well-formed UTF-8 sequence: its length is the one its first byte
/// announces (1 for 00-7F, 2 for C2-DF, 3 for E0-EF, 4 for F0-F4), every
/// later byte lies in 80-BF, and the second byte lies in A0-BF after E0,
/// 80-9F after ED, 90-BF after F0, 80-8F after F4.  0 otherwise, also for a
/// null sequence.
int SalIsLegalUtf8(const uint8_t *sequence, size_t length);

/// Writes codePoint as one or two UTF-16 units to units (room for 2) and
/// their number to *count.  Returns 1; 0 with *count 0 and nothing written
/// for a surrogate value or a value above 0x10FFFF.  count may be null.
int SalCodePointToUtf16(uint32_t codePoint, char16_t *units, int *count);

/// Writes codePoint as 1 to 4 UTF-8 bytes to bytes (room for 4) and their
/// number to *count.  Returns 1; 0 with *count 0 and nothing written for a
/// surrogate value or a value above 0x10FFFF.  count may be null.
int SalCodePointToUtf8(uint32_t codePoint, uint8_t *bytes, int *count);

#endif  // SAL_UNICODE_H
