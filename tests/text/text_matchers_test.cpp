// text_matchers_test.cpp - the matcher protocol (commit on success, no change
// on failure) over predicates, numbers, UTF-8, ranges, counted strings and
// the RFC 822 recognisers; the in-place tokenisers.
#include "text/text_matchers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "text/rfc822_matchers.h"
#include "text/tokenizer.h"

namespace {
using Matcher = std::function<size_t(const char *&, TextSpan *)>;
#define M(call) [&](const char *&p, TextSpan *s) { return call; }

// Runs a matcher on text; the bytes consumed, or "FAIL" after checking that
// a failure left position and span alone.
std::string Consume(const char *text, const Matcher &matcher) {
  const char *position = text;
  TextSpan span;
  span.start = "untouched";
  span.length = 9;
  const size_t n = matcher(position, &span);
  if (n == 0) {
    EXPECT_TRUE(position == text && span.length == 9u);
    return "FAIL";
  }
  EXPECT_TRUE(span.start == text && span.length == n && position == text + n);
  return std::string(text, n);
}

struct Row {
  const char *text;
  Matcher matcher;
  const char *consumed;
};
void ExpectRows(const std::vector<Row> &rows) {
  for (const Row &r : rows) EXPECT_EQ(Consume(r.text, r.matcher), r.consumed) << r.text;
}

// Every text a tokeniser returns for text, in order, up to the first null.
template <typename Next>
std::vector<std::string> All(std::string text, Next next) {
  std::vector<std::string> out;
  size_t state = 0;
  while (const char *t = next(&state, text.data())) out.emplace_back(t);
  EXPECT_EQ(next(&state, text.data()), nullptr) << "an ended walk stays ended";
  return out;
}
using List = std::vector<std::string>;
}  // namespace

TEST(TextMatchers, PredicatesRunsLiteralsLinesAndRfc822Productions) {
  const char *aaaa = "aaaa";
  ExpectRows({
      {"abc1", M(MatchMany(p, InClass(kCharAlpha), s)), "abc"},
      {"1abc", M(MatchMany(p, InClass(kCharAlpha), s)), "FAIL"}, {"x-", M(MatchOne(p, IsByte('x'), s)), "x"},
      {"ab", M(MatchMany(p, Not(IsByte('q')), s)), "ab"},  // the zero byte is never consumed, even negated
      {"", M(MatchOne(p, Not(InClass(kCharAlpha)), s)), "FAIL"}, {"+-*/x", M(MatchMany(p, InSet("*+-/"), s)), "+-*/"},
      {"aB3_", M(MatchMany(p, Both(InClass(kCharAlpha | kCharDigit), Not(IsByte('3'))), s)), "aB"},
      {aaaa, M(MatchMany(p, Before(aaaa + 2, IsByte('a')), s)), "aa"},
      {"ab", M(MatchOneFollowedBy(p, IsByte('a'), IsByte('b'), s)), "a"},
      {"a", M(MatchOneFollowedBy(p, IsByte('a'), Not(IsByte('b')), s)), "FAIL"},
      {"selecT x", M(MatchLiteralNoCase(p, "SeLeCt", s)), "selecT"},
      {"sel", M(MatchLiteralNoCase(p, "SELECT", s)), "FAIL"}, {"abc", M(MatchLiteral(p, "", s)), "FAIL"},
      {"abc", M(MatchLiteral(p, "abcd", s)), "FAIL"}, {"ab\r\ncd", M(MatchLine(p, s)), "ab\r\n"},
      {"last", M(MatchLine(p, s)), "last"}, {"", M(MatchLine(p, s)), "FAIL"}, {"\r\nx", MatchCrLf, "\r\n"},
      {"\n\r", MatchCrLf, "FAIL"}, {" \t\r\n \r x", MatchLinearWhiteSpace, " \t\r\n "},
      {"\\\"x", MatchQuotedPair, "\\\""}, {"\\\xE9", MatchQuotedPair, "FAIL"}, {"ab\rc\r\nd", MatchText, "ab\rc"},
      {"ab\r", MatchText, "ab"}, {"john.doe", MatchAtom, "john"},
      {"a!#$%&'*+-/=?^_`{|}~\x7F b", MatchAtom, "a!#$%&'*+-/=?^_`{|}~\x7F"}, {"(x", MatchAtom, "FAIL"},
      {"\"a \\\" b\"rest", MatchQuotedString, "\"a \\\" b\""}, {"\"a\r\n b\"", MatchQuotedString, "\"a\r\n b\""},
      {"\"\"", MatchQuotedString, "FAIL"}, {"\"open", MatchQuotedString, "FAIL"},
      {"\"a\rb\"", MatchQuotedString, "FAIL"}, {"\"x y\" z", MatchWord, "\"x y\""}, {"abc<", MatchWord, "abc"},
      {"John \"Q.\" Public <jqp@x>", MatchPhrase, "John \"Q.\" Public "}, {"<x>", MatchPhrase, "FAIL"},
  });
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
      {"300", 0, 255, 10, false, "30", 30},    {"aA", 0, 255, 16, false, "aA", 0xAA},
      {"zZ", 0, 2000, 36, false, "zZ", 35 * 36 + 35},                {"12", 0, 9, 10, false, "1", 1},
      {"7", 8, 9, 10, false, "FAIL", 7},       {"4294967295x", 0, 0xFFFFFFFFu, 10, true, "4294967295", 0xFFFFFFFFu},
      {"4294967296", 0, 0xFFFFFFFFu, 10, false, "429496729", 429496729}, {"102", 0, 7, 2, false, "10", 2},
      {"x", 0, 9, 10, false, "FAIL", 0},       {"1", 0, 9, 0, false, "FAIL", 12345},  // bases outside 2-36
      {"1", 0, 9, 1, false, "FAIL", 12345},    {"1", 0, 9, 37, false, "FAIL", 12345},
      {"1", 5, 4, 10, false, "FAIL", 12345},   // failed at once: no value stored
  };
  for (const auto &c : kCases) {
    uint32_t value = 12345;
    const char *end = c.bounded ? c.text + std::strlen(c.text) : nullptr;
    EXPECT_EQ(Consume(c.text, M(MatchNumber(p, &value, c.min, c.max, c.base, end, s))), c.consumed) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  const char *digits = "1234";  // the end bounds the digits read; the 8-bit form narrows the value
  uint8_t byte = 0;
  EXPECT_EQ(Consume(digits, M(MatchNumber(p, &byte, 0, 255, 10, digits + 2, s))), "12");
  EXPECT_EQ(byte, 12);
}

TEST(TextMatchers, DottedQuadsRangesAndUtf8) {
  uint32_t value = 7;
  EXPECT_EQ(Consume("10.0.0.1 ", M(MatchDottedQuad(p, &value, s))), "10.0.0.1");
  EXPECT_EQ(value, 0x0100000Au);
  for (const char *bad : {"10.0.0", "10.0..1", "256.1.1.1", ".1.2.3"}) {
    value = 7;
    EXPECT_EQ(Consume(bad, M(MatchDottedQuad(p, &value, s))), "FAIL");
    EXPECT_EQ(value, 0u) << bad;
  }
  const struct {
    const char *text, *consumed;
    uint32_t low, high;
  } kRanges[] = {{"10-20", "10-20", 10, 20},    {"10", "10", 10, 0xFFFFFFFFu},   {"-20", "-20", 0, 20},
                 {"5 \t- 9x", "5 \t- 9", 5, 9}, {"7 -x", "7 -", 7, 0xFFFFFFFFu}, {"x", "FAIL", 0, 0xFFFFFFFFu}};
  for (const auto &r : kRanges) {
    uint32_t low = 1, high = 1;
    EXPECT_EQ(Consume(r.text, M(MatchRange(p, &low, &high, "-", s))), r.consumed);
    EXPECT_TRUE(low == r.low && high == r.high) << r.text;
  }
  const char *euro = "\xE2\x82\xAC";
  const Matcher one = M(MatchUtf8Char(p, nullptr, s));
  ExpectRows({{"a\xC3\xA9", one, "a"},                 {"\xC3\xA9x", one, "\xC3\xA9"},
              {euro, one, euro},                       {"\xF0\x9F\x98\x80", one, "\xF0\x9F\x98\x80"},
              {"\xC0\x80", one, "\xC0\x80"},           {"\xED\xA0\x80", one, "\xED\xA0\x80"},  // overlong, surrogates pass
              {"\x80", one, "FAIL"},                   {"\xF8\x80\x80\x80", one, "FAIL"},
              {"\xC3", one, "FAIL"},                   {"\xE2\x82", one, "FAIL"},
              {"\xC3x", one, "FAIL"},                  {euro, M(MatchUtf8Char(p, euro + 2, s)), "FAIL"},
              {"a\xC3\xA9\xE2\x82\xAC\xFF", M(MatchUtf8Chars(p, nullptr, s)), "a\xC3\xA9\xE2\x82\xAC"}});
  const char *none = nullptr;
  EXPECT_EQ(MatchUtf8Char(none, nullptr), 0u);
}

TEST(TextMatchers, CountedStringsCoverCountSeparatorAndCharacters) {
  const struct {
    const char *text;
    size_t limit;
    int escapes;
    const char *consumed, *chars;
  } kCases[] = {
      {"5*hello world", 100, 0, "5*hello", "hello"}, {"05*hello", 100, 0, "FAIL", ""}, {"0*", 100, 0, "0*", ""},
      {"5*hell", 100, 0, "FAIL", ""},  {"5*hello", 6, 0, "FAIL", ""},  // the text or the limit ends first
      {"5*hello", 7, 0, "5*hello", "hello"},
      {"2*\xC3\xA9\xE2\x82\xACz", 100, 0, "2*\xC3\xA9\xE2\x82\xAC", "\xC3\xA9\xE2\x82\xAC"},
      {"2*\xFF\xC3!", 100, 0, "2*\xFF\xC3", "\xFF\xC3"},  // no UTF-8 character: one byte each
      {"2*\\*a", 100, 1, "2*\\*a", "\\*a"}, {"2*\\*a", 100, 0, "2*\\*", "\\*"}, {"5", 100, 0, "FAIL", ""},
      {"5*", 2, 0, "FAIL", ""}, {"1*", 1, 0, "FAIL", ""},  // the count leaves the last byte for the separator
      {"12x", 100, 0, "FAIL", ""},
  };
  for (const auto &c : kCases) {
    TextSpan chars;
    chars.start = "untouched";
    const std::string got = Consume(c.text, M(MatchCountedString(p, &chars, c.limit, c.escapes, s)));
    EXPECT_EQ(got, c.consumed);
    if (got != "FAIL") { EXPECT_EQ(std::string(chars.start != nullptr ? chars.start : "", chars.length), c.chars); }
  }
  TextSpan chars;
  EXPECT_EQ(Consume("1#x", M(MatchCountedString(p, &chars, 9, 0, 10, "#", s))), "1#x");
  EXPECT_EQ(Consume("a:xy", M(MatchCountedString(p, &chars, 9, 0, 16, ":", s))), "FAIL");  // ten characters are not there
}

TEST(Tokenizer, EveryFormSplitsWhereItShouldAndWordCopiesAreBounded) {
  EXPECT_EQ(All(std::string("one\0two\0\0three", 14), NextMultiString), (List{"one", "two"}));
  auto commas = [](size_t *s, char *t) { return NextToken(s, t, ","); };
  EXPECT_EQ(All("a,,b,c,", commas), (List{"a", "b", "c"}));
  EXPECT_EQ(All(",a", commas), (List{"", "a"})) << "only the first token may be empty";
  EXPECT_EQ(All("", commas), List{});
  EXPECT_EQ(All("l1\r\nl2\n\nl3", NextLine), (List{"l1", "l2", "l3"}));
  EXPECT_EQ(All("a::b:c::", [](size_t *s, char *t) { return NextPiece(s, t, "::"); }), (List{"a", "b:c"}));
  EXPECT_EQ(All("xy", [](size_t *s, char *t) { return NextPiece(s, t, ""); }), List{"xy"});
  EXPECT_EQ(All(" one  two\n", NextWord), (List{"one", "two"}));
  size_t state = 0;
  EXPECT_TRUE(NextMultiString(nullptr, "a\0") == nullptr && NextToken(&state, nullptr, ",") == nullptr);
  char out[4] = {'#', '#', '#', '#'};
  for (const char *expected : {"alp", "bet", "gam"}) {  // cut to capacity - 1, the rest consumed
    ASSERT_EQ(NextWordCopy(&state, "  alpha\r\n beta gamma", out, 4), 1);
    EXPECT_STREQ(out, expected);
  }
  EXPECT_EQ(NextWordCopy(&state, "  alpha\r\n beta gamma", out, 4), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(NextWordCopy(&state, "  alpha\r\n beta gamma", nullptr, 4), 0);
  state = 0;
  EXPECT_STREQ(SkipChar(&state, "xxxay", 'x'), "ay");
  EXPECT_EQ(state, 3u);
  state = 0;
  EXPECT_TRUE(SkipChar(&state, "xx", 'x') == nullptr && SkipChar(&state, nullptr, 'x') == nullptr);
}
