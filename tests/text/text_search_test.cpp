// text_search_test.cpp - searches with flags, ignoring white space, across
// chunks and by skip table, against plain oracles.
#include "text/text_search.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/last_error.h"
#include "base/sal_errors.h"
#include "text/text_checks.h"

namespace {
// Every end position (one past the match) of pattern in text, overlapping.
std::vector<size_t> AllEnds(const std::string &text, const std::string &pattern) {
  std::vector<size_t> ends;
  for (size_t i = 0; i + pattern.size() <= text.size(); ++i)
    if (text.compare(i, pattern.size(), pattern) == 0) ends.push_back(i + pattern.size());
  return ends;
}

// Feeds text in chunks cut at the given lengths; returns the end positions
// (in the whole text) of every occurrence found.
std::vector<size_t> FeedAll(const std::string &text, const std::string &pattern, const std::vector<size_t> &cuts) {
  std::vector<size_t> ends;
  const char *state = nullptr;
  size_t offset = 0;
  size_t c = 0;
  while (offset < text.size()) {
    const size_t n = std::min(cuts[c++ % cuts.size()], text.size() - offset);
    const std::string chunk = text.substr(offset, n);
    const char *p = chunk.c_str();
    while (const char *hit = FeedSearch(&state, p, pattern.c_str())) {
      ends.push_back(offset + static_cast<size_t>(hit - chunk.c_str()));
      p = hit;
    }
    offset += n;
  }
  return ends;
}
}  // namespace

TEST(FindWithFlags, DirectionContinuationCaseAndWhiteSpace) {
  uint32_t position = 0;
  for (uint32_t expected : {4u, 1u, 0u})  // backward, then continuing backward
    EXPECT_EQ(FindWithFlags(&position, "abcabc", "abc", kFindBackward | (expected == 4 ? 0 : kFindContinue)), expected);
  for (uint32_t expected : {1u, 4u, 0u})
    EXPECT_EQ(FindWithFlags(&position, "abcabc", "abc", expected == 1 ? 0 : kFindContinue), expected);
  EXPECT_EQ(FindWithFlags(nullptr, "xABC", "abc", 0), 2u);
  EXPECT_EQ(FindWithFlags(nullptr, "xABC", "abc", kFindExact) + FindWithFlags(nullptr, "ab", "abc", 0), 0u);
  SalSetLastError(0);
  EXPECT_EQ(FindWithFlags(nullptr, static_cast<const char *>(nullptr), "a", 0), 0u);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullSearchArg);
  position = 0;
  EXPECT_EQ(FindWithFlags(&position, u"abcABC", u"abc", kFindBackward), 4u);
  EXPECT_EQ(FindWithFlags(&position, u"abcABC", u"abc", kFindBackward | kFindContinue | kFindExact), 1u);

  uint32_t skipped = 99;
  EXPECT_EQ(FindIgnoringSpace(nullptr, "xx a b\tc", "abc", 0, &skipped), 3u);
  EXPECT_EQ(skipped, 3u);  // the space before a, and the two inside
  EXPECT_EQ(FindIgnoringSpace(nullptr, "xxa b c", "a c", kFindExact, &skipped), 0u);
  EXPECT_EQ(FindIgnoringSpace(nullptr, "xxa bc", "A B", 0, &skipped), 3u);
  EXPECT_EQ(skipped, 0u);
  position = 0;
  EXPECT_EQ(FindIgnoringSpace(&position, "ab a b", "ab", kFindBackward, &skipped), 4u);
  SalSetLastError(0);
  EXPECT_EQ(FindIgnoringSpace(nullptr, "a", nullptr, 0, nullptr), 0u);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullSearchArg);

  // FeedSearch ignoring case and with degenerate arguments; the plain form is checked against a plain scan below.
  const char *state = nullptr;
  const char upper[] = "xAB", tail[] = "Bz";
  EXPECT_EQ(FeedSearchNoCase(&state, "a", "aab"), nullptr);
  EXPECT_EQ(FeedSearchNoCase(&state, upper, "aab"), nullptr);  // "aX" breaks it
  state = nullptr;
  EXPECT_EQ(FeedSearchNoCase(&state, "Aa", "aab"), nullptr);
  EXPECT_EQ(FeedSearchNoCase(&state, tail, "aab"), tail + 1);
  EXPECT_TRUE(FeedSearch(&state, "a", "") == nullptr && FeedSearch(nullptr, "a", "a") == nullptr);
}

// Random texts and patterns of a small alphabet (bytes 7E..81, both signs
// of char): FindFast finds the first occurrence, FeedSearch fed in random
// chunks every one (overlapping ones included), as a plain scan does.
TEST(FindFast, AndFeedSearchAgreeWithAPlainScan) {
  EXPECT_EQ(FindFast("caf\xE9 ok", "f\xE9"), 3u);  // last byte 0xE9
  EXPECT_EQ(FindFast("abc", ""), 1u);
  EXPECT_EQ(FindFast("ab", "abc") + FindFast(nullptr, "a"), 0u);
  std::mt19937 random(5);
  for (int i = 0; i < 20000; ++i) {
    std::string text, pattern;
    const unsigned alphabet = i % 2 ? 2 : 4;
    for (size_t k = 0, n = 1 + random() % 80; k < n; ++k) text += static_cast<char>(0x7E + random() % alphabet);
    for (size_t k = 0, m = 1 + random() % 6; k < m; ++k) pattern += static_cast<char>(0x7E + random() % alphabet);
    const size_t hit = text.find(pattern);
    ASSERT_EQ(FindFast(text.c_str(), pattern.c_str()), hit == std::string::npos ? 0u : hit + 1) << text << " / " << pattern;
    const std::vector<size_t> cuts = {1 + random() % 7, 1 + random() % 7, 1 + random() % 7, 1 + random() % 7};
    ASSERT_EQ(FeedAll(text, pattern, cuts), AllEnds(text, pattern)) << text << " / " << pattern;
  }
  // A pattern longer than the stack table.
  const std::string longPattern = std::string(300, 'a') + "b", longText = std::string(700, 'a') + "b" + std::string(10, 'a');
  ASSERT_EQ(FeedAll(longText, longPattern, {13, 250, 1}), AllEnds(longText, longPattern));
}

// The length is found in 64 KiB blocks ahead of the search: occurrences
// across a block boundary, at the very end, and texts that end inside a
// block just before a window would fit.
TEST(FindFast, FindsAcrossLengthBlocksAndAtTheEnd) {
  std::mt19937 random(8);
  std::string text(3 * 65536 + 100, ' ');
  for (char &c : text) c = static_cast<char>('a' + random() % 26);
  for (size_t n : {1u, 2u, 3u, 5u, 17u, 64u, 300u}) {
    std::string pattern(n, 'Q');
    pattern.back() = 'Z';
    for (size_t at : {size_t{65536} - n / 2, size_t{2 * 65536} - 1, text.size() - n}) {
      std::string copy = text;
      copy.replace(at, n, pattern);
      SCOPED_TRACE(std::to_string(n) + " at " + std::to_string(at));
      EXPECT_EQ(FindFast(copy.c_str(), pattern.c_str()), at + 1);
      copy.resize(at + n - 1);  // cut inside the occurrence
      EXPECT_EQ(FindFast(copy.c_str(), pattern.c_str()), 0u);
    }
  }
}

TEST(TextChecks, Utf8RangesAndIdentifiers) {
  EXPECT_EQ(HasUtf8Multibyte("\xC3\xA9", nullptr), 1);
  EXPECT_EQ(HasUtf8Multibyte("plain", nullptr) + HasUtf8Multibyte("\xC3" "A", nullptr), 0);
  const char cut[] = "ab\xC3\xA9";
  EXPECT_EQ(HasUtf8Multibyte(cut, cut + 3), 0);  // the end splits the sequence
  EXPECT_EQ(IsValidUtf8("\xC3", nullptr), 0);
  EXPECT_EQ(IsValidUtf8(nullptr, nullptr), 1);
  EXPECT_EQ(IsValidUtf8("a\xE2\x82\xAC\xF0\x9F\x98\x80", nullptr), 1);
  for (const char *bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})  // overlong, surrogate, above U+10FFFF
    EXPECT_EQ(IsValidUtf8(bad, nullptr), 0) << bad;
  EXPECT_EQ(IsUtf8WithMultibyte("a\xC3\xA9", nullptr), 1);
  EXPECT_EQ(IsUtf8WithMultibyte("ascii", nullptr) + IsUtf8WithMultibyte("\xC3\xA9\xFF", nullptr), 0);
  for (const char *good : {"_x1", "$", "Class", "abc$_9", "whilst"}) EXPECT_EQ(IsIdentifier(good), 1) << good;
  for (const char *bad : {"1x", "class", "a-b", "", "while", "abstract", "volatile", "a b"})
    EXPECT_EQ(IsIdentifier(bad), 0) << bad;
  EXPECT_EQ(IsIdentifier(nullptr), 0);
}
