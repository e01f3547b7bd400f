// message_inserts_test.cpp - the message-text escapes and inserts used where
// the system has no message formatter.  The expected texts are what the
// Windows formatter gives for the same message and arguments.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/message_inserts.h"

namespace {
std::string Expand(const char *text, bool ignore, size_t capacity = 256) {
  const char *strings[] = {"A1", "B2", "C3"};
  std::string out(capacity, '\x7f');
  const int n = SalExpandMessageInserts(text, strings, 3, ignore, &out[0], capacity);
  if (n < 0) return "<-1:" + std::string(out.c_str()) + ">";
  EXPECT_EQ(static_cast<size_t>(n), std::strlen(out.c_str()));
  return out.c_str();
}
}  // namespace

TEST(SalExpandMessageInserts, ArgumentsAndEscapes) {
  const struct {
    const char *text, *expected;
  } cases[] = {
      {"a%%b%nc%!d%1!s!e%2 %3 %.f\r\n", "a%b\r\nc!dA1eB2 C3 .f\r\n"},
      {"line one\r\nline two%0", "line one\r\nline two"},
      {"%1%0\r\n", "A1"},
      {"%4 and %12 are empty", " and  are empty"},
      {"tab%tcr%r", "tab\tcr\r"},
      {"ends with %", "ends with %"},
      {"%1!d! unterminated %1!s", "A1 unterminated A1!s"},
      {"", ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Expand(c.text, false), c.expected);
  }
}

TEST(SalExpandMessageInserts, IgnoringInsertsKeepsThemButEndsAtPercentZero) {
  EXPECT_EQ(Expand("a%%b%nc%!d%1!s!e%2\r\n", true), "a%%b\r\nc%!d%1!s!e%2\r\n");
  EXPECT_EQ(Expand("line one\r\nline two%0\r\n", true), "line one\r\nline two");
  EXPECT_EQ(Expand("%1%0\r\n", true), "%1");
}

TEST(SalExpandMessageInserts, TooLongResultsFailTerminated) {
  EXPECT_EQ(Expand("%1%2%3", false, 7), "A1B2C3");
  EXPECT_EQ(Expand("%1%2%3", false, 6), "<-1:A1B2C>");
  EXPECT_EQ(Expand("abc", true, 1), "<-1:>");
  char out[4] = "xyz";
  EXPECT_EQ(SalExpandMessageInserts(nullptr, nullptr, 0, false, out, sizeof out), -1);
  EXPECT_EQ(SalExpandMessageInserts("a", nullptr, 0, false, out, 0), -1);
  EXPECT_STREQ(out, "xyz") << "capacity 0 writes nothing";
  EXPECT_EQ(SalExpandMessageInserts("%1", nullptr, 5, false, out, sizeof out), 0)
      << "no strings: every insert is empty";
}
