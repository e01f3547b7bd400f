// tokenizer_test.cpp - the in-place tokenisers.
#include "text/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// Every token NextToken finds, in order.
std::vector<std::string> Tokens(std::string text, const char *delimiters) {
  std::vector<std::string> out;
  size_t state = 0;
  while (const char *t = NextToken(&state, text.data(), delimiters)) out.emplace_back(t);
  return out;
}
}  // namespace

TEST(Tokenizer, MultiStringListEndsAtTheEmptyText) {
  const char list[] = "one\0two\0\0three";
  size_t state = 0;
  EXPECT_STREQ(NextMultiString(&state, list), "one");
  EXPECT_STREQ(NextMultiString(&state, list), "two");
  EXPECT_EQ(NextMultiString(&state, list), nullptr);
  EXPECT_EQ(NextMultiString(&state, list), nullptr);
  EXPECT_EQ(NextMultiString(nullptr, list), nullptr);
}

TEST(Tokenizer, TokensCutDelimiterRunsAndMayBeEmptyOnlyAtTheStart) {
  EXPECT_EQ(Tokens("a,,b,c,", ","), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Tokens(",a", ","), (std::vector<std::string>{"", "a"}));
  EXPECT_EQ(Tokens("", ","), std::vector<std::string>{});
  std::string lines = "l1\r\nl2\n\nl3";
  size_t state = 0;
  EXPECT_STREQ(NextLine(&state, lines.data()), "l1");
  EXPECT_STREQ(NextLine(&state, lines.data()), "l2");
  EXPECT_STREQ(NextLine(&state, lines.data()), "l3");
  EXPECT_EQ(NextLine(&state, lines.data()), nullptr);
  EXPECT_EQ(NextToken(&state, nullptr, ","), nullptr);
}

TEST(Tokenizer, PiecesSplitAtAWholeSeparator) {
  std::string text = "a::b:c::";
  size_t state = 0;
  EXPECT_STREQ(NextPiece(&state, text.data(), "::"), "a");
  EXPECT_STREQ(NextPiece(&state, text.data(), "::"), "b:c");
  EXPECT_EQ(NextPiece(&state, text.data(), "::"), nullptr);
  std::string rest = "xy";
  state = 0;
  EXPECT_STREQ(NextPiece(&state, rest.data(), ""), "xy");
  EXPECT_EQ(NextPiece(&state, rest.data(), ""), nullptr);
}

TEST(Tokenizer, WordsSkipBlanksAndCopiesAreBounded) {
  const char text[] = "  alpha\r\n beta gamma";
  size_t state = 0;
  char out[4] = {'#', '#', '#', '#'};
  ASSERT_EQ(NextWordCopy(&state, text, out, 4), 1);
  EXPECT_STREQ(out, "alp");  // cut to capacity - 1, the rest consumed
  ASSERT_EQ(NextWordCopy(&state, text, out, 4), 1);
  EXPECT_STREQ(out, "bet");
  ASSERT_EQ(NextWordCopy(&state, text, out, 4), 1);
  EXPECT_STREQ(out, "gam");
  EXPECT_EQ(NextWordCopy(&state, text, out, 4), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(NextWordCopy(&state, text, nullptr, 4), 0);

  std::string words = " one  two\n";
  state = 0;
  EXPECT_STREQ(NextWord(&state, words.data()), "one");
  EXPECT_STREQ(NextWord(&state, words.data()), "two");
  EXPECT_EQ(NextWord(&state, words.data()), nullptr);
}

TEST(Tokenizer, SkipCharStopsAtTheFirstOtherByte) {
  const char text[] = "xxxay";
  size_t state = 0;
  EXPECT_STREQ(SkipChar(&state, text, 'x'), "ay");
  EXPECT_EQ(state, 3u);
  state = 0;
  EXPECT_EQ(SkipChar(&state, "xx", 'x'), nullptr);
  EXPECT_EQ(SkipChar(&state, nullptr, 'x'), nullptr);
}
