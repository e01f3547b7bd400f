// rfc822_matchers.cpp - the RFC 822 recognisers, composed from the text
// matchers on a private position that is committed as a whole.
#include "text/rfc822_matchers.h"

#include "text/char_class.h"
#include "text/text_matchers.h"

using text_match::Commit;

size_t MatchCrLf(const char *&position, TextSpan *out) {
  const char *p = position;
  if (MatchOne(p, InClass(kCharCr)) == 0 || MatchOne(p, InClass(kCharLf)) == 0) return 0;
  return Commit(position, p, out);
}

size_t MatchLinearWhiteSpace(const char *&position, TextSpan *out) {
  if (position == nullptr) return 0;
  const char *p = position;
  while (MatchMany(p, InClass(kCharLinearWhite)) != 0 || MatchCrLf(p) != 0) {
  }
  return Commit(position, p, out);
}

size_t MatchQuotedPair(const char *&position, TextSpan *out) {
  const char *p = position;
  if (MatchOne(p, IsByte('\\')) == 0 || MatchOne(p, InClass(kCharAscii)) == 0) return 0;
  return Commit(position, p, out);
}

size_t MatchText(const char *&position, TextSpan *out) {
  if (position == nullptr) return 0;
  const char *p = position;
  while (MatchOneFollowedBy(p, IsByte('\r'), Not(IsByte('\n'))) != 0 ||
         MatchMany(p, Both(InClass(kCharAscii), Not(IsByte('\r')))) != 0) {
  }
  return Commit(position, p, out);
}

size_t MatchAtom(const char *&position, TextSpan *out) {
  return MatchMany(position, Both(InClass(kCharAscii), Not(InClass(kCharSpecial | kCharSpace | kCharControl))),
                   out);
}

size_t MatchQuotedText(const char *&position, TextSpan *out) {
  if (position == nullptr) return 0;
  const char *p = position;
  // qtext: ASCII except double quote, backslash, CR and linear white space.
  const auto plain = Both(InClass(kCharAscii),
                          Both(Not(InClass(kCharLinearWhite | kCharDoubleQuote | kCharCr)), Not(IsByte('\\'))));
  while (MatchQuotedPair(p) != 0 || MatchLinearWhiteSpace(p) != 0 || MatchMany(p, plain) != 0) {
  }
  return Commit(position, p, out);
}

size_t MatchQuotedString(const char *&position, TextSpan *out) {
  const char *p = position;
  if (MatchOne(p, InClass(kCharDoubleQuote)) == 0 || MatchQuotedText(p) == 0 ||
      MatchOne(p, InClass(kCharDoubleQuote)) == 0)
    return 0;
  return Commit(position, p, out);
}

size_t MatchWord(const char *&position, TextSpan *out) {
  const size_t quoted = MatchQuotedString(position, out);
  return quoted != 0 ? quoted : MatchAtom(position, out);
}

size_t MatchPhrase(const char *&position, TextSpan *out) {
  const char *p = position;
  if (MatchWord(p) == 0) return 0;
  do {
    MatchLinearWhiteSpace(p);
  } while (MatchWord(p) != 0);
  return Commit(position, p, out);
}
