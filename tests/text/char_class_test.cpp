// char_class_test.cpp - the character-class table and the printable tests
// against membership rules written out independently, byte by byte, and the
// masking of unprintable bytes.  Double-byte forms are in dbcs_test.cpp.
#include "text/char_class.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "base/common_string.h"
#include "support/text_buffers.h"
#include "text/printable.h"

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
      {kCharAscii, [](int c) { return c < 128; }},       {kCharAlpha, [](int c) { return Upper(c) || Lower(c); }},
      {kCharDigit, Digit},                                {kCharControl, [](int c) { return c < 32; }},
      {kCharCr, [](int c) { return c == 13; }},           {kCharLf, [](int c) { return c == 10; }},
      {kCharSpace, [](int c) { return c == 32; }},        {kCharHt, [](int c) { return c == 9; }},
      {kCharDoubleQuote, [](int c) { return c == '"'; }}, {kCharLinearWhite, [](int c) { return c == 9 || c == 32; }},
      {kCharSpecial, [](int c) { return In("()<>@,;:\\\".[]", c); }},
      {kCharUpper, Upper},                                {kCharLower, Lower},
      {kCharLineBreak, [](int c) { return c == 13 || c == 10 || c == 12; }},
      {kCharDecimal, Digit},                              {kCharHexDigit, [](int c) { return Digit(c) || In("abcdefABCDEF", c); }},
      {kCharLetter, [](int c) { return Upper(c) || Lower(c); }},
      {kCharWhite, [](int c) { return In("\r\n\f\t ", c); }}, {kCharBreakOrTab, [](int c) { return In("\r\n\f\t", c); }},
      {kCharPrintable, Printable},                        {kCharNonPrintable, [](int c) { return !Printable(c); }},
      {kCharQuote, [](int c) { return c == '"' || c == '\''; }},
      {kCharNonBase64, [](int c) { return !(Upper(c) || Lower(c) || Digit(c) || In("+/=", c)); }},
      {kCharPlainText, [](int c) { return (c >= 32 && c <= 127) || In("\r\n\t", c); }},
      {kCharUtf8Start, [](int c) { return c < 128 || (c >= 192 && c <= 247); }},
      {kCharIdentStart, [](int c) { return Upper(c) || Lower(c) || c == '_' || c == '$'; }},
  };
  uint32_t all = 0;
  for (const auto &k : kClasses) {
    all |= k.mask;
    for (int c = 0; c < 256; ++c)
      ASSERT_EQ(IsCharClass(static_cast<unsigned char>(c), k.mask), k.member(c)) << "class " << k.mask << " byte " << c;
  }
  for (int c = 0; c < 256; ++c) {
    const unsigned char b = static_cast<unsigned char>(c);
    EXPECT_EQ(kCommonCharClasses.Classes(b) & ~all, 0u) << "a bit of no class";
    EXPECT_EQ(IsPrintableChar(b), Printable(c)) << c;
    EXPECT_EQ(IsPrintableOrHighChar(b), (c >= 32 && c <= 126) || (c >= 128 && c <= 254)) << c;
    EXPECT_EQ(IsSpaceChar(b), (c >= 9 && c <= 13) || c == 32) << c;
  }
  // Signed chars are taken as unsigned, masks combine, the table works in constant expressions.
  EXPECT_TRUE(IsCharClass(static_cast<char>(0xE9), kCharPrintable | kCharAscii));
  EXPECT_FALSE(IsCharClass(static_cast<char>(0xE9), kCharAscii));
  EXPECT_TRUE(IsCharClass('7', kCharAlpha | kCharDigit));
  static_assert(IsCharClass('\xFF', kCharNonPrintable) && !IsCharClass('=', kCharNonBase64), "");
  EXPECT_TRUE(IsSpaceCharW(u'\v'));
  EXPECT_FALSE(IsSpaceCharW(0x2009) || IsSpaceCharW(0x0120));  // only the single-byte spaces
}

TEST(Printable, TextsRangesAndMasks) {
  EXPECT_EQ(IsPrintableText("tab\tand\r\nline\x0B\xA0"), 1);
  EXPECT_EQ(IsPrintableText("bell\a") + IsPrintableText("\x85") + IsPrintableText(nullptr), 0);
  EXPECT_EQ(IsPrintableOrHighText("\x85") + IsPrintableText(""), 2);
  EXPECT_EQ(IsPrintableRange("ab\0c", 4), 0);  // the zero byte counts
  EXPECT_EQ(IsPrintableRange("ab\0c", 2) + IsPrintableRange("x", 0), 2);
  EXPECT_EQ(IsPrintableRange(nullptr, 0), 0);
  // In 932, 0x82 leads a character whose trail byte 0x9F is unprintable alone; 1252 has no pairs.
  EXPECT_EQ(IsPrintableRangeMbcs("a\x82\x9F" "b", 4, 932), 1);
  EXPECT_EQ(IsPrintableRangeMbcs("a\x82\x9F" "b", 4, 1252), 0);
  EXPECT_EQ(IsPrintableRangeMbcs("\x82", 1, 932) + IsPrintableRangeMbcs(nullptr, 0, 932), 2);  // a lead byte at the end
  EXPECT_EQ(IsPrintableRangeMbcs(nullptr, 2, 932) + IsPrintableOrHighRangeMbcs("\x85\x01", 2, 1252), 0);
  EXPECT_EQ(IsPrintableOrHighRangeMbcs("\x82\x01", 2, 932), 1);
  CCommonString s(std::string("a\t\x85\xA0\0z", 6).data(), 6);
  s.MaskNonPrintable('?');
  EXPECT_EQ(Bytes(s), "a??\xA0?z");
}
