// message_inserts_test.cpp - the message-text escapes and inserts used where
// the system has no message formatter.  The expected texts are what the
// Windows formatter gives for the same message and arguments.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/message_inserts.h"

TEST(SalExpandMessageInserts, ArgumentsEscapesAndCapacities) {
  // Ignoring inserts keeps them, but the text still ends at "%0"; a result
  // that does not fit fails (-1) with the text cut and terminated.
  const struct {
    const char *text;
    bool ignore;
    size_t capacity;
    const char *expected;
  } cases[] = {
      {"a%%b%nc%!d%1!s!e%2 %3 %.f\r\n", false, 256, "a%b\r\nc!dA1eB2 C3 .f\r\n"},
      {"line one\r\nline two%0", false, 256, "line one\r\nline two"},
      {"%1%0\r\n", false, 256, "A1"},
      {"%4 and %12 are empty", false, 256, " and  are empty"},
      {"tab%tcr%r", false, 256, "tab\tcr\r"},
      {"ends with %", false, 256, "ends with %"},
      {"%1!d! unterminated %1!s", false, 256, "A1 unterminated A1!s"},
      {"", false, 256, ""},
      {"a%%b%nc%!d%1!s!e%2\r\n", true, 256, "a%%b\r\nc%!d%1!s!e%2\r\n"},
      {"line one\r\nline two%0\r\n", true, 256, "line one\r\nline two"},
      {"%1%0\r\n", true, 256, "%1"},
      {"%1%2%3", false, 7, "A1B2C3"},
      {"%1%2%3", false, 6, "<-1:A1B2C>"},
      {"abc", true, 1, "<-1:>"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    const char *strings[] = {"A1", "B2", "C3"};
    std::string out(c.capacity, '\x7f');
    const int n = SalExpandMessageInserts(c.text, strings, 3, c.ignore, &out[0], c.capacity);
    EXPECT_EQ(n < 0 ? "<-1:" + std::string(out.c_str()) + ">" : std::string(out.c_str()), c.expected);
    if (n >= 0) {
      EXPECT_EQ(static_cast<size_t>(n), std::strlen(out.c_str()));
    }
  }
  char out[4] = "xyz";
  EXPECT_EQ(SalExpandMessageInserts(nullptr, nullptr, 0, false, out, sizeof out), -1);
  EXPECT_EQ(SalExpandMessageInserts("a", nullptr, 0, false, out, 0), -1);
  EXPECT_STREQ(out, "xyz") << "capacity 0 writes nothing";
  EXPECT_EQ(SalExpandMessageInserts("%1", nullptr, 5, false, out, sizeof out), 0)
      << "no strings: every insert is empty";
}
