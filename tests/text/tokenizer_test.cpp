// tokenizer_test.cpp - the in-place tokenisers.
#include "text/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
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

TEST(Tokenizer, EveryFormSplitsWhereItShould) {
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
  EXPECT_EQ(NextMultiString(nullptr, "a\0"), nullptr);
  EXPECT_EQ(NextToken(&state, nullptr, ","), nullptr);
}

TEST(Tokenizer, WordCopiesAreBoundedAndSkipsStopAtTheFirstOtherByte) {
  const char text[] = "  alpha\r\n beta gamma";
  size_t state = 0;
  char out[4] = {'#', '#', '#', '#'};
  for (const char *expected : {"alp", "bet", "gam"}) {  // cut to capacity - 1, the rest consumed
    ASSERT_EQ(NextWordCopy(&state, text, out, 4), 1);
    EXPECT_STREQ(out, expected);
  }
  EXPECT_EQ(NextWordCopy(&state, text, out, 4), 0);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(NextWordCopy(&state, text, nullptr, 4), 0);

  state = 0;
  EXPECT_STREQ(SkipChar(&state, "xxxay", 'x'), "ay");
  EXPECT_EQ(state, 3u);
  state = 0;
  EXPECT_EQ(SkipChar(&state, "xx", 'x'), nullptr);
  EXPECT_EQ(SkipChar(&state, nullptr, 'x'), nullptr);
}
