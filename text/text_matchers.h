// text_matchers.h - small recognisers that consume a token at a position in
// zero-terminated 8-bit text, and the byte predicates they are built from.
//
// The protocol every matcher follows: it takes the caller's position by
// reference and an optional out-span.  It works on a private copy of the
// position; on success it stores the consumed bytes in *out (when given),
// moves the position past them and returns how many bytes it consumed.  On
// failure it leaves the position and *out untouched and returns 0, so a
// match that consumes nothing also answers 0.  A zero byte is the end of
// the text and is never consumed; the bounded forms also stop at a given
// end pointer (one past the last byte they may consume), which must not
// lie before the position.  A null position pointer answers 0.
//
// MatchLine (match_line.h) and the RFC 822 recognisers (rfc822_matchers.h)
// follow the same protocol.
#ifndef COMMON_TEXT_MATCHERS_H
#define COMMON_TEXT_MATCHERS_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/match_line.h"
#include "base/text_span.h"
#include "text/char_class.h"

// ---- predicates ----------------------------------------------------------------
// A predicate tests the byte at a place.  The byte predicates (Test) never
// accept the zero byte, whatever they test; Before adds an end pointer.

namespace text_match {

struct InClassPredicate {
  uint32_t mask;
  bool Test(unsigned char c) const { return IsCharClass(c, mask); }
};
struct IsBytePredicate {
  unsigned char byte;
  bool Test(unsigned char c) const { return c == byte; }
};
struct InSetPredicate {
  const char *set;  // zero-terminated; null is the empty set
  bool Test(unsigned char c) const { return set != nullptr && std::strchr(set, c) != nullptr; }
};
template <class P>
struct NotPredicate {
  P inner;
  bool Test(unsigned char c) const { return !inner.Test(c); }
};
template <class P, class Q>
struct BothPredicate {
  P first;
  Q second;
  bool Test(unsigned char c) const { return first.Test(c) && second.Test(c); }
};
template <class P>
struct BeforePredicate {
  const char *end;
  P inner;
};

/// Whether the predicate accepts the byte at at.
template <class P>
inline bool Accepts(const P &predicate, const char *at) {
  const unsigned char c = static_cast<unsigned char>(*at);
  return c != 0 && predicate.Test(c);
}
template <class P>
inline bool Accepts(const BeforePredicate<P> &predicate, const char *at) {
  return at < predicate.end && Accepts(predicate.inner, at);
}

// Commit, the last step of every matcher, is in base/match_line.h.

}  // namespace text_match

/// Bytes of any class in mask.
inline text_match::InClassPredicate InClass(uint32_t mask) { return {mask}; }
/// The byte equal to byte.
inline text_match::IsBytePredicate IsByte(char byte) { return {static_cast<unsigned char>(byte)}; }
/// Bytes of the zero-terminated set (the zero byte never belongs to it).
inline text_match::InSetPredicate InSet(const char *set) { return {set}; }
/// Bytes the predicate does not accept (still never the zero byte).
template <class P>
text_match::NotPredicate<P> Not(const P &p) { return {p}; }
/// Bytes both predicates accept.
template <class P, class Q>
text_match::BothPredicate<P, Q> Both(const P &p, const Q &q) { return {p, q}; }
/// Bytes before end that p accepts.
template <class P>
text_match::BeforePredicate<P> Before(const char *end, const P &p) { return {end, p}; }

// ---- single-byte and run matchers -----------------------------------------------

/// One byte that the predicate accepts.
template <class P>
size_t MatchOne(const char *&position, const P &predicate, TextSpan *out = nullptr) {
  if (position == nullptr || !text_match::Accepts(predicate, position)) return 0;
  return text_match::Commit(position, position + 1, out);
}

/// The longest run of bytes that the predicate accepts.
template <class P>
size_t MatchMany(const char *&position, const P &predicate, TextSpan *out = nullptr) {
  if (position == nullptr) return 0;
  const char *p = position;
  while (text_match::Accepts(predicate, p)) ++p;
  return text_match::Commit(position, p, out);
}

/// One byte that predicate accepts and whose next byte lookahead accepts;
/// the next byte is not consumed.
template <class P, class L>
size_t MatchOneFollowedBy(const char *&position, const P &predicate, const L &lookahead,
                          TextSpan *out = nullptr) {
  if (position == nullptr || !text_match::Accepts(predicate, position) ||
      !text_match::Accepts(lookahead, position + 1))
    return 0;
  return text_match::Commit(position, position + 1, out);
}

/// Exactly the bytes of the zero-terminated text (null or "": no match).
size_t MatchLiteral(const char *&position, const char *text, TextSpan *out = nullptr);
/// The same, bounded by end: the literal must end at or before end.
size_t MatchLiteral(const char *&position, const char *text, const char *end, TextSpan *out);
/// The bytes of text, compared after upper-casing both sides with the
/// runtime library's case conversion.
size_t MatchLiteralNoCase(const char *&position, const char *text, TextSpan *out = nullptr);

// ---- numbers --------------------------------------------------------------------

/// An unsigned number in base 2-36: digits 0-9, then A-Z or a-z for 10-35;
/// a byte whose value is not below base is no digit.  Digits are taken
/// while the value stays at most max (and before end, when end is not
/// null).  *value (when given) receives the value taken, on failure too.
/// Succeeds when at least one digit was taken, min <= value <= max and,
/// with an end, the next byte before end is no further digit -- so a number
/// that grew too large fails instead of matching a prefix; without an end
/// the prefix that fits matches.  min > max or a base outside 2-36 fails
/// at once without storing a value.
size_t MatchNumber(const char *&position, uint32_t *value, uint32_t min, uint32_t max,
                   unsigned base, const char *end, TextSpan *out = nullptr);
/// The same with an 8-bit result.
size_t MatchNumber(const char *&position, uint8_t *value, uint8_t min, uint8_t max, unsigned base,
                   const char *end, TextSpan *out = nullptr);

/// Four decimal numbers 0-255 separated by single dots.  *value (when
/// given) receives first + second * 2^8 + third * 2^16 + fourth * 2^24, or
/// 0 on failure.
size_t MatchDottedQuad(const char *&position, uint32_t *value, TextSpan *out = nullptr);

/// A decimal number, white space, the separator, white space, a decimal
/// number.  *low receives the first number, 0 when there is none; *high
/// the second, 0xFFFFFFFF when the separator or the second number is
/// missing -- the match then covers what was consumed up to there (a
/// separator that matched stays consumed).  Both are always stored (when
/// given).
size_t MatchRange(const char *&position, uint32_t *low, uint32_t *high, const char *separator,
                  TextSpan *out = nullptr);

// ---- UTF-8 ---------------------------------------------------------------------------

/// One UTF-8 encoded character: the first byte tells the number of
/// continuation bytes (0 below 0x80, 1 for 110xxxxx, 2 for 1110xxxx, 3 for
/// 11110xxx; any other first byte fails), each of which must be 10xxxxxx,
/// and the whole sequence must end at or before end (null: no end).
/// Overlong forms and encoded surrogates are accepted.
size_t MatchUtf8Char(const char *&position, const char *end, TextSpan *out = nullptr);
/// A run of such characters.
size_t MatchUtf8Chars(const char *&position, const char *end, TextSpan *out = nullptr);

// ---- counted strings ----------------------------------------------------------

/// A count, the separator, then that many characters, all within limit
/// bytes from the position.  The count is a number in base (0-4294967295)
/// that must leave the last of those bytes for the separator; a non-zero
/// count written with a leading "0" fails.  With escapes nonzero a
/// backslash and the byte after it count as one character; otherwise (and
/// for every other character) a character is one UTF-8 character, or a
/// single byte where there is none.  *chars receives the characters alone
/// (an empty span for a count of 0); the result and *out cover the whole
/// token.
size_t MatchCountedString(const char *&position, TextSpan *chars, size_t limit, int escapes,
                          unsigned base, const char *separator, TextSpan *out = nullptr);
/// The common form: base 10 and the separator "*".
size_t MatchCountedString(const char *&position, TextSpan *chars, size_t limit, int escapes,
                          TextSpan *out = nullptr);

#endif  // COMMON_TEXT_MATCHERS_H
