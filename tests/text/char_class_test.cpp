// char_class_test.cpp - the character-class table against the membership
// rules written out independently, byte by byte.
#include "text/char_class.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {
bool In(const char *set, int c) { return c != 0 && std::strchr(set, c) != nullptr; }
bool Upper(int c) { return c >= 'A' && c <= 'Z'; }
bool Lower(int c) { return c >= 'a' && c <= 'z'; }
bool Digit(int c) { return c >= '0' && c <= '9'; }
bool Printable(int c) { return (c >= 32 && c <= 126) || (c >= 160 && c <= 254); }
}  // namespace

TEST(CCommonCharClasses, EveryClassHasExactlyItsMembers) {
  const struct {
    uint32_t mask;
    std::function<bool(int)> member;
  } kClasses[] = {
      {kCharAscii, [](int c) { return c < 128; }},
      {kCharAlpha, [](int c) { return Upper(c) || Lower(c); }},
      {kCharDigit, Digit},
      {kCharControl, [](int c) { return c < 32; }},
      {kCharCr, [](int c) { return c == 13; }},
      {kCharLf, [](int c) { return c == 10; }},
      {kCharSpace, [](int c) { return c == 32; }},
      {kCharHt, [](int c) { return c == 9; }},
      {kCharDoubleQuote, [](int c) { return c == '"'; }},
      {kCharLinearWhite, [](int c) { return c == 9 || c == 32; }},
      {kCharSpecial, [](int c) { return In("()<>@,;:\\\".[]", c); }},
      {kCharUpper, Upper},
      {kCharLower, Lower},
      {kCharLineBreak, [](int c) { return c == 13 || c == 10 || c == 12; }},
      {kCharDecimal, Digit},
      {kCharHexDigit, [](int c) { return Digit(c) || In("abcdefABCDEF", c); }},
      {kCharLetter, [](int c) { return Upper(c) || Lower(c); }},
      {kCharWhite, [](int c) { return In("\r\n\f\t ", c); }},
      {kCharBreakOrTab, [](int c) { return In("\r\n\f\t", c); }},
      {kCharPrintable, Printable},
      {kCharNonPrintable, [](int c) { return !Printable(c); }},
      {kCharQuote, [](int c) { return c == '"' || c == '\''; }},
      {kCharNonBase64, [](int c) { return !(Upper(c) || Lower(c) || Digit(c) || In("+/=", c)); }},
      {kCharPlainText, [](int c) { return (c >= 32 && c <= 127) || In("\r\n\t", c); }},
      {kCharUtf8Start, [](int c) { return c < 128 || (c >= 192 && c <= 247); }},
      {kCharIdentStart, [](int c) { return Upper(c) || Lower(c) || c == '_' || c == '$'; }},
  };
  uint32_t all = 0;
  for (const auto &k : kClasses) {
    SCOPED_TRACE(k.mask);
    all |= k.mask;
    for (int c = 0; c < 256; ++c)
      ASSERT_EQ(IsCharClass(static_cast<unsigned char>(c), k.mask), k.member(c)) << "byte " << c;
  }
  // No entry carries a bit that belongs to no class.
  for (int c = 0; c < 256; ++c) EXPECT_EQ(kCommonCharClasses.Classes(static_cast<unsigned char>(c)) & ~all, 0u);
}

TEST(CCommonCharClasses, SignedCharsAreTakenAsUnsignedAndMasksCombine) {
  const char high = static_cast<char>(0xE9);
  EXPECT_TRUE(IsCharClass(high, kCharPrintable));
  EXPECT_TRUE(IsCharClass(high, kCharUtf8Start));
  EXPECT_FALSE(IsCharClass(high, kCharAscii));
  EXPECT_TRUE(IsCharClass('7', kCharAlpha | kCharDigit));
  EXPECT_FALSE(IsCharClass('-', kCharAlpha | kCharDigit));
  // The table is usable in constant expressions: it exists before any code runs.
  static_assert(IsCharClass('\xFF', kCharNonPrintable) && !IsCharClass('=', kCharNonBase64), "");
}
