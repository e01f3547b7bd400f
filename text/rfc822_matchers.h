// rfc822_matchers.h - recognisers for the lexical productions of RFC 822
// headers.  They follow the protocol of the text matchers (text_matchers.h):
// on success the consumed span goes to *out, the position moves past it and
// the byte count is returned; on failure nothing changes and 0 is returned.
#ifndef COMMON_RFC822_MATCHERS_H
#define COMMON_RFC822_MATCHERS_H

#include <cstddef>

#include "base/text_span.h"

/// CR immediately followed by LF.
size_t MatchCrLf(const char *&position, TextSpan *out = nullptr);
/// Any mix of HT, space and CR LF pairs (linear-white-space).
size_t MatchLinearWhiteSpace(const char *&position, TextSpan *out = nullptr);
/// A backslash followed by any ASCII byte other than the zero byte.
size_t MatchQuotedPair(const char *&position, TextSpan *out = nullptr);
/// Repeatedly: a CR that is followed by a byte other than LF, or a run of
/// ASCII bytes other than CR.  (A CR at the very end of the text has no
/// byte behind it and is not text.)
size_t MatchText(const char *&position, TextSpan *out = nullptr);
/// A run of ASCII bytes that are not specials, space or control characters.
size_t MatchAtom(const char *&position, TextSpan *out = nullptr);
/// Repeatedly: a quoted pair, linear white space, or a run of ASCII bytes
/// other than double quote, backslash, CR, HT and space.
size_t MatchQuotedText(const char *&position, TextSpan *out = nullptr);
/// A double quote, quoted text, a double quote; "" (nothing quoted) fails.
size_t MatchQuotedString(const char *&position, TextSpan *out = nullptr);
/// A quoted string, or else an atom.
size_t MatchWord(const char *&position, TextSpan *out = nullptr);
/// One or more words, each followed by optional linear white space.
size_t MatchPhrase(const char *&position, TextSpan *out = nullptr);

#endif  // COMMON_RFC822_MATCHERS_H
