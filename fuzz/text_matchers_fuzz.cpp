// text_matchers_fuzz.cpp - libFuzzer target for the text matchers: every
// matcher at every position of the input text (in a block of its exact
// size), checking the protocol: a success consumes bytes inside the text and
// moves the position by exactly that; a failure moves nothing.
#include <cstdint>
#include <cstring>

#include "fuzz_support.h"
#include "text/rfc822_matchers.h"
#include "text/text_matchers.h"

namespace {
const char kTarget[] = "text_matchers_fuzz";

const char *g_text = nullptr;
const char *g_end = nullptr;  // the terminating zero byte

template <class M>
void Try(const char *at, M matcher) {
  const char *position = at;
  TextSpan span;
  const size_t n = matcher(position, &span);
  if (n == 0) {
    if (position != at) fuzz::Fail(kTarget, "a failed match moved the position");
    return;
  }
  if (span.start != at || span.length != n || position != at + n || position > g_end)
    fuzz::Fail(kTarget, "a match reports a span it did not consume");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  const unsigned base = data[0] % 40;  // also bases outside 2-36
  const fuzz::Block text = fuzz::Block::Text(data + 1, size - 1);
  g_text = text.Data();
  g_end = g_text + std::strlen(g_text);
  const size_t length = static_cast<size_t>(g_end - g_text);
  // Long inputs: every position would make the target quadratic.
  const size_t step = length > 512 ? length / 256 : 1;
  for (size_t i = 0; i <= length; i += step) {
    const char *at = g_text + i;
    const char *end = g_text + (i + data[0] % 7 <= length ? i + data[0] % 7 : length);
    uint32_t v32 = 0, low = 0, high = 0;
    uint8_t v8 = 0;
    TextSpan chars;
    Try(at, [&](const char *&p, TextSpan *s) { return MatchNumber(p, &v32, 0, 0xFFFFFFFFu, base, nullptr, s); });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchNumber(p, &v32, 3, 70000, base, end, s); });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchNumber(p, &v8, 0, 255, 16, end, s); });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchDottedQuad(p, &v32, s); });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchRange(p, &low, &high, "-", s); });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchUtf8Chars(p, nullptr, s); });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchUtf8Char(p, end, s); });
    Try(at, [&](const char *&p, TextSpan *s) {
      const size_t n = MatchCountedString(p, &chars, data[0], data[0] & 1, s);
      if (n != 0 && (chars.length > n || n > data[0])) fuzz::Fail(kTarget, "counted string beyond its limit");
      return n;
    });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchCountedString(p, &chars, ~size_t{0}, 1, base, ":", s); });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchLiteralNoCase(p, "SeLeCt", s); });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchLiteral(p, "ab", end, s); });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchMany(p, Before(end, Not(InSet("\\\""))), s); });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchOneFollowedBy(p, IsByte('\r'), Not(IsByte('\n')), s); });
    Try(at, [&](const char *&p, TextSpan *s) { return MatchLine(p, s); });
    Try(at, MatchLinearWhiteSpace);
    Try(at, MatchText);
    Try(at, MatchAtom);
    Try(at, MatchQuotedString);
    Try(at, MatchWord);
    Try(at, MatchPhrase);
  }
  return 0;
}
