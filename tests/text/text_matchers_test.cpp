// text_matchers_test.cpp - the matcher protocol (commit on success, no
// change on failure), numbers, UTF-8, ranges, counted strings and the
// RFC 822 recognisers.
#include "text/text_matchers.h"

#include <gtest/gtest.h>

#include <string>

#include "text/rfc822_matchers.h"

namespace {

// Runs a matcher on text; gives the bytes consumed as a string, or "FAIL"
// after checking that a failure left position and span alone.
template <class M>
std::string Consume(const char *text, M matcher) {
  const char *position = text;
  TextSpan span;
  span.start = "untouched";
  span.length = 9;
  const size_t n = matcher(position, &span);
  if (n == 0) {
    EXPECT_EQ(position, text);
    EXPECT_EQ(span.length, 9u);
    return "FAIL";
  }
  EXPECT_EQ(span.start, text);
  EXPECT_EQ(span.length, n);
  EXPECT_EQ(position, text + n);
  return std::string(text, n);
}

}  // namespace

TEST(TextMatchers, PredicatesRunsAndLiterals) {
  EXPECT_EQ(Consume("abc1", [](const char *&p, TextSpan *s) { return MatchMany(p, InClass(kCharAlpha), s); }), "abc");
  EXPECT_EQ(Consume("1abc", [](const char *&p, TextSpan *s) { return MatchMany(p, InClass(kCharAlpha), s); }), "FAIL");
  EXPECT_EQ(Consume("x-", [](const char *&p, TextSpan *s) { return MatchOne(p, IsByte('x'), s); }), "x");
  // The zero byte is never consumed, not even by a negated predicate.
  EXPECT_EQ(Consume("ab", [](const char *&p, TextSpan *s) { return MatchMany(p, Not(IsByte('q')), s); }), "ab");
  EXPECT_EQ(Consume("", [](const char *&p, TextSpan *s) { return MatchOne(p, Not(InClass(kCharAlpha)), s); }), "FAIL");
  EXPECT_EQ(Consume("+-*/x", [](const char *&p, TextSpan *s) { return MatchMany(p, InSet("*+-/"), s); }), "+-*/");
  EXPECT_EQ(Consume("aB3_", [](const char *&p, TextSpan *s) {
              return MatchMany(p, Both(InClass(kCharAlpha | kCharDigit), Not(IsByte('3'))), s);
            }),
            "aB");
  const char *text = "aaaa";
  EXPECT_EQ(Consume(text, [&](const char *&p, TextSpan *s) { return MatchMany(p, Before(text + 2, IsByte('a')), s); }),
            "aa");
  EXPECT_EQ(Consume("ab", [](const char *&p, TextSpan *s) { return MatchOneFollowedBy(p, IsByte('a'), IsByte('b'), s); }),
            "a");
  EXPECT_EQ(Consume("a", [](const char *&p, TextSpan *s) { return MatchOneFollowedBy(p, IsByte('a'), Not(IsByte('b')), s); }),
            "FAIL");
  EXPECT_EQ(Consume("selecT x", [](const char *&p, TextSpan *s) { return MatchLiteralNoCase(p, "SeLeCt", s); }), "selecT");
  EXPECT_EQ(Consume("sel", [](const char *&p, TextSpan *s) { return MatchLiteralNoCase(p, "SELECT", s); }), "FAIL");
  EXPECT_EQ(Consume("abc", [](const char *&p, TextSpan *s) { return MatchLiteral(p, "", s); }), "FAIL");
  EXPECT_EQ(Consume("abc", [](const char *&p, TextSpan *s) { return MatchLiteral(p, "abcd", s); }), "FAIL");
  const char *null = nullptr;
  EXPECT_EQ(MatchMany(null, InClass(kCharAlpha)), 0u);
}

TEST(TextMatchers, NumbersStopAtTheirMaximum) {
  const struct {
    const char *text;
    uint32_t min, max;
    unsigned base;
    bool bounded;
    const char *consumed;
    uint32_t value;
  } kCases[] = {
      {"300", 0, 255, 10, true, "FAIL", 30},  // grew too large: no prefix with an end
      {"300", 0, 255, 10, false, "30", 30},
      {"aA", 0, 255, 16, false, "aA", 0xAA},
      {"zZ", 0, 2000, 36, false, "zZ", 35 * 36 + 35},
      {"12", 0, 9, 10, false, "1", 1},
      {"7", 8, 9, 10, false, "FAIL", 7},
      {"4294967295x", 0, 0xFFFFFFFFu, 10, true, "4294967295", 0xFFFFFFFFu},
      {"4294967296", 0, 0xFFFFFFFFu, 10, false, "429496729", 429496729},
      {"102", 0, 7, 2, false, "10", 2},
      {"x", 0, 9, 10, false, "FAIL", 0},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.text);
    uint32_t value = 12345;
    const char *end = c.bounded ? c.text + std::strlen(c.text) : nullptr;
    EXPECT_EQ(Consume(c.text, [&](const char *&p, TextSpan *s) { return MatchNumber(p, &value, c.min, c.max, c.base, end, s); }),
              c.consumed);
    EXPECT_EQ(value, c.value);
  }
  uint32_t value = 99;
  for (unsigned base : {0u, 1u, 37u}) {
    EXPECT_EQ(Consume("1", [&](const char *&p, TextSpan *s) { return MatchNumber(p, &value, 0, 9, base, nullptr, s); }), "FAIL");
  }
  EXPECT_EQ(Consume("1", [&](const char *&p, TextSpan *s) { return MatchNumber(p, &value, 5, 4, 10, nullptr, s); }), "FAIL");
  EXPECT_EQ(value, 99u);  // failed at once: no value stored
  // The end bounds the digits read; the 8-bit form narrows the value.
  const char *digits = "1234";
  uint8_t byte = 0;
  EXPECT_EQ(Consume(digits, [&](const char *&p, TextSpan *s) { return MatchNumber(p, &byte, 0, 255, 10, digits + 2, s); }), "12");
  EXPECT_EQ(byte, 12);
}

TEST(TextMatchers, DottedQuadsAndRanges) {
  uint32_t value = 7;
  EXPECT_EQ(Consume("10.0.0.1 ", [&](const char *&p, TextSpan *s) { return MatchDottedQuad(p, &value, s); }), "10.0.0.1");
  EXPECT_EQ(value, 0x0100000Au);
  for (const char *bad : {"10.0.0", "10.0..1", "256.1.1.1", ".1.2.3"}) {
    SCOPED_TRACE(bad);
    value = 7;
    EXPECT_EQ(Consume(bad, [&](const char *&p, TextSpan *s) { return MatchDottedQuad(p, &value, s); }), "FAIL");
    EXPECT_EQ(value, 0u);
  }

  const struct {
    const char *text;
    const char *consumed;
    uint32_t low, high;
  } kRanges[] = {
      {"10-20", "10-20", 10, 20},   {"10", "10", 10, 0xFFFFFFFFu},       {"-20", "-20", 0, 20},
      {"5 \t- 9x", "5 \t- 9", 5, 9}, {"7 -x", "7 -", 7, 0xFFFFFFFFu}, {"x", "FAIL", 0, 0xFFFFFFFFu},
  };
  for (const auto &r : kRanges) {
    SCOPED_TRACE(r.text);
    uint32_t low = 1, high = 1;
    EXPECT_EQ(Consume(r.text, [&](const char *&p, TextSpan *s) { return MatchRange(p, &low, &high, "-", s); }), r.consumed);
    EXPECT_EQ(low, r.low);
    EXPECT_EQ(high, r.high);
  }
}

TEST(TextMatchers, Utf8CharactersRespectTheirLengthAndTheEnd) {
  const auto one = [](const char *&p, TextSpan *s) { return MatchUtf8Char(p, nullptr, s); };
  EXPECT_EQ(Consume("a\xC3\xA9", one), "a");
  EXPECT_EQ(Consume("\xC3\xA9x", one), "\xC3\xA9");
  EXPECT_EQ(Consume("\xE2\x82\xAC", one), "\xE2\x82\xAC");
  EXPECT_EQ(Consume("\xF0\x9F\x98\x80", one), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Consume("\xC0\x80", one), "\xC0\x80");          // overlong forms pass
  EXPECT_EQ(Consume("\xED\xA0\x80", one), "\xED\xA0\x80");  // so do encoded surrogates
  for (const char *bad : {"\x80", "\xF8\x80\x80\x80", "\xC3", "\xE2\x82", "\xC3x"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(Consume(bad, one), "FAIL");
  }
  const char *none = nullptr;
  EXPECT_EQ(MatchUtf8Char(none, nullptr), 0u);
  const char *euro = "\xE2\x82\xAC";
  EXPECT_EQ(Consume(euro, [&](const char *&p, TextSpan *s) { return MatchUtf8Char(p, euro + 2, s); }), "FAIL");
  EXPECT_EQ(Consume("a\xC3\xA9\xE2\x82\xAC\xFF", [](const char *&p, TextSpan *s) { return MatchUtf8Chars(p, nullptr, s); }),
            "a\xC3\xA9\xE2\x82\xAC");
}

TEST(TextMatchers, CountedStringsCoverCountSeparatorAndCharacters) {
  const struct {
    const char *text;
    size_t limit;
    int escapes;
    const char *consumed;
    const char *chars;
  } kCases[] = {
      {"5*hello world", 100, 0, "5*hello", "hello"},
      {"05*hello", 100, 0, "FAIL", ""},
      {"0*", 100, 0, "0*", ""},
      {"5*hell", 100, 0, "FAIL", ""},             // the text ends first
      {"5*hello", 6, 0, "FAIL", ""},              // the limit ends first
      {"5*hello", 7, 0, "5*hello", "hello"},
      {"2*\xC3\xA9\xE2\x82\xACz", 100, 0, "2*\xC3\xA9\xE2\x82\xAC", "\xC3\xA9\xE2\x82\xAC"},
      {"2*\xFF\xC3!", 100, 0, "2*\xFF\xC3", "\xFF\xC3"},  // no UTF-8 character: one byte each
      {"2*\\*a", 100, 1, "2*\\*a", "\\*a"},
      {"2*\\*a", 100, 0, "2*\\*", "\\*"},
      {"5", 100, 0, "FAIL", ""},
      {"5*", 2, 0, "FAIL", ""},
      {"1*", 1, 0, "FAIL", ""},                   // the count leaves the last byte for the separator
      {"12x", 100, 0, "FAIL", ""},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.text);
    TextSpan chars;
    chars.start = "untouched";
    const std::string got = Consume(c.text, [&](const char *&p, TextSpan *s) {
      return MatchCountedString(p, &chars, c.limit, c.escapes, s);
    });
    EXPECT_EQ(got, c.consumed);
    if (got != "FAIL") {
      EXPECT_EQ(std::string(chars.start != nullptr ? chars.start : "", chars.length), c.chars);
    }
  }
  TextSpan chars;
  EXPECT_EQ(Consume("1#x", [&](const char *&p, TextSpan *s) { return MatchCountedString(p, &chars, 9, 0, 10, "#", s); }), "1#x");
  EXPECT_EQ(Consume("a:xy", [&](const char *&p, TextSpan *s) { return MatchCountedString(p, &chars, 9, 0, 16, ":", s); }),
            "FAIL");  // ten characters are not there
}

TEST(Rfc822Matchers, LexicalProductions) {
  const struct {
    size_t (*matcher)(const char *&, TextSpan *);
    const char *name;
    const char *text;
    const char *consumed;
  } kCases[] = {
      {MatchCrLf, "crlf", "\r\nx", "\r\n"},
      {MatchCrLf, "crlf", "\n\r", "FAIL"},
      {MatchLinearWhiteSpace, "lwsp", " \t\r\n \r x", " \t\r\n "},
      {MatchQuotedPair, "pair", "\\\"x", "\\\""},
      {MatchQuotedPair, "pair", "\\\xE9", "FAIL"},
      {MatchText, "text", "ab\rc\r\nd", "ab\rc"},
      {MatchText, "text", "ab\r", "ab"},
      {MatchAtom, "atom", "john.doe", "john"},
      {MatchAtom, "atom", "a!#$%&'*+-/=?^_`{|}~\x7F b", "a!#$%&'*+-/=?^_`{|}~\x7F"},
      {MatchAtom, "atom", "(x", "FAIL"},
      {MatchQuotedString, "quoted", "\"a \\\" b\"rest", "\"a \\\" b\""},
      {MatchQuotedString, "quoted", "\"a\r\n b\"", "\"a\r\n b\""},
      {MatchQuotedString, "quoted", "\"\"", "FAIL"},
      {MatchQuotedString, "quoted", "\"open", "FAIL"},
      {MatchQuotedString, "quoted", "\"a\rb\"", "FAIL"},
      {MatchWord, "word", "\"x y\" z", "\"x y\""},
      {MatchWord, "word", "abc<", "abc"},
      {MatchPhrase, "phrase", "John \"Q.\" Public <jqp@x>", "John \"Q.\" Public "},
      {MatchPhrase, "phrase", "<x>", "FAIL"},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(testing::Message() << c.name << ": " << c.text);
    EXPECT_EQ(Consume(c.text, c.matcher), c.consumed);
  }
}

TEST(TextMatchers, MatchLineIncludesTheTerminator) {
  const auto line = [](const char *&p, TextSpan *s) { return MatchLine(p, s); };
  EXPECT_EQ(Consume("ab\r\ncd", line), "ab\r\n");
  EXPECT_EQ(Consume("last", line), "last");
  EXPECT_EQ(Consume("", line), "FAIL");
}
