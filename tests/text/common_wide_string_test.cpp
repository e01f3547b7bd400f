// common_wide_string_test.cpp - CCommonWideString by operation family, and
// the 16-bit formatter behind Format.
#include "text/common_wide_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_config.h"
#include "base/sal_errors.h"
#include "support/dbcs_fixture.h"
#include "support/expect_pairs.h"
#include "text/wide_format.h"

namespace {
std::u16string Units(const CCommonWideString &s) { return std::u16string(s.CStr(), s.GetLength()); }
// "result:text" after an edit of s that returned result (s is read after the call).
std::string After(const CCommonWideString &s, int64_t result) {
  std::string out = std::to_string(result) + ":";
  for (char16_t c : Units(s)) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

std::u16string Formatted(const char16_t *format, ...) {
  va_list args;
  va_start(args, format);
  char16_t out[256];
  const int n = WideFormatV(out, 256, format, args);
  va_end(args);
  return n < 0 ? u"<error>" : std::u16string(out);
}

// The ASCII text as 16-bit units, for expected values.
std::u16string U(const char *ascii) {
  std::u16string out;
  for (const char *p = ascii; *p != '\0'; ++p) out += static_cast<char16_t>(*p);
  return out;
}
}  // namespace

TEST(CCommonWideStringStorage, SizesInBytesCopiesFromItselfAndFailsWithoutChange) {
  const int64_t live = SalMemLiveBlocks();
  CCommonWideString s;
  ASSERT_EQ(s.Assign(u"hello", 5), 1);
  EXPECT_EQ(s.GetCapacity(), 12u);  // 2n + 2
  EXPECT_EQ(After(s, s.Assign(s.CStr() + 1, 3)), "1:ell");
  EXPECT_EQ(s.GetCapacity(), 12u);  // large enough already
  ASSERT_EQ(s.Resize(7), 1);  // odd sizes round up to whole units
  EXPECT_EQ(s.GetCapacity(), 8u);
  ASSERT_EQ(s.Assign(static_cast<const char16_t *>(nullptr)), 1);
  EXPECT_FALSE(s.HasStorage());
  EXPECT_EQ(SalMemLiveBlocks(), live) << "emptied strings give their storage back";

  char16_t *buffer = s.GetBuffer(16);
  ASSERT_NE(buffer, nullptr);
  std::memcpy(buffer, u"abcdef", 7 * sizeof(char16_t));
  s.ReleaseBuffer(6);  // bytes
  EXPECT_EQ(Units(s), u"abc");
  s.ReleaseBuffer();
  EXPECT_EQ(s.GetLength(), 3u);  // the terminator written before stays
  buffer = s.GetBuffer(0);
  std::memcpy(buffer, u"wxyzwxy", 8 * sizeof(char16_t));  // fills all 16 bytes
  s.ReleaseBuffer();
  EXPECT_EQ(Units(s), u"wxyzwxy");

  SalSetLastError(0);
  SalMemFailAfter(1);
  EXPECT_EQ(After(s, s.AppendUnits(u"more text", 9)), "0:wxyzwxy");
  SalMemFailAfter(0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
  EXPECT_EQ(After(s, s.Assign("", 0)), "1:");
  ASSERT_EQ(s.Assign("plain", 5), 1);
  EXPECT_STREQ(s.ToAnsi().CStr(), "plain");
  EXPECT_EQ(CCommonWideString().ToAnsi().GetLength(), 0u);
  EXPECT_EQ(After(s, s.FormatAnsi("%d-%s", 42, "z")), "1:42-z");
}

// Double-byte ANSI text converts through the code page: Shift_JIS 93 FA 96 7B
// is U+65E5 U+672C, whose second trail byte is an ASCII letter.
using CCommonWideStringDbcs = Cp932Test;

TEST_F(CCommonWideStringDbcs, AnsiTextOfTheCodePageConvertsBothWays) {
  const char sjis[] = "\x93\xFA\x96\x7B!";
  CCommonWideString s;
  ASSERT_EQ(s.Assign(sjis, 5), 1);
  EXPECT_EQ(Units(s), u"\u65E5\u672C!");
  EXPECT_STREQ(s.ToAnsi().CStr(), sjis);
  // A unit that Shift_JIS lacks comes back as the default character.
  ASSERT_EQ(s.Assign(u"a\u0E01b"), 1);
  EXPECT_STREQ(s.ToAnsi().CStr(), "a?b");
}

TEST(CCommonWideStringFormat, ConversionsMatchTheNarrowPrintf) {
  EXPECT_EQ(Formatted(u"%d|%5i|%-4u|%x|%#o", -7, 42, 3u, 255u, 8u), U("-7|   42|3   |ff|010"));
  EXPECT_EQ(Formatted(u"%lld|%I64u|%I32d|%hhd|%hu", -1234567890123LL, 18446744073709551615ULL, -5, 300, 70000),
            U("-1234567890123|18446744073709551615|-5|44|4464"));
  EXPECT_EQ(Formatted(u"%.3f|%10.2e|%G", 3.14159, 12345.678, 0.0001), U("3.142|  1.23e+04|0.0001"));
  EXPECT_EQ(Formatted(u"%s|%ls|%hs|%S", u"w\u00e9", u"x", "narrow", "N"), u"w\u00e9|x|narrow|N");
  EXPECT_EQ(Formatted(u"[%6s][%-3.1s][%*d][%-*d]", u"ab", u"xyz", 4, 7, -3, 5), U("[    ab][x  ][   7][5  ]"));
  // Precision taken from the arguments, for texts and numbers; a negative
  // one means none.
  EXPECT_EQ(Formatted(u"[%.*s][%.*f][%.*s][%d][%.s]", 2, u"abcdef", 1, 3.14159, -1, u"all", 9, u"none"),
            U("[ab][3.1][all][9][]"));
  // A number longer than the formatter's own buffer of 128 bytes.
  EXPECT_EQ(Formatted(u"%128d", 7), std::u16string(127, u' ') + u"7");
  EXPECT_EQ(Formatted(u"%c%lc%hc%%", u'\u20ac', u'b', 'c'), u"\u20acbc%");
  EXPECT_EQ(Formatted(u"%s", static_cast<const char16_t *>(nullptr)), U("(null)"));
  EXPECT_EQ(Formatted(u"%n", nullptr) + Formatted(u"%"), u"<error><error>");

  // Measuring, cutting, and a string formatting its own text.
  char16_t small[4] = {u'#', u'#', u'#', u'#'};
  EXPECT_EQ(WideFormat(small, 3, u"%d", 12345), 5);
  EXPECT_EQ(std::u16string(small), u"12");
  EXPECT_EQ(small[3], u'#');
  EXPECT_EQ(WideFormat(nullptr, 0, u"%s!", u"abc"), 4);
  CCommonWideString s(u"self");
  ASSERT_EQ(s.Format(u"<%s>", s.CStr()), 1);
  EXPECT_EQ(Units(s), u"<self>");
  EXPECT_EQ(s.GetCapacity(), 2u * 6u + 2u);
  ASSERT_EQ(s.Format(u"%.*s|%d", 3, s.CStr() + 1, 7), 1);  // the precision from the arguments, in both passes
  EXPECT_EQ(Units(s), u"sel|7");
  EXPECT_EQ(s.Format(nullptr), 0);
  EXPECT_FALSE(s.HasStorage());
}

TEST(CCommonWideStringCompare, NullConventionsAndCase) {
  CCommonWideString none, s(u"Abc");
  EXPECT_SIGNS({{none.Compare(u""), -1}, {none.CompareEmptyEqual(u""), 0}, {none.Compare(nullptr), 0}, {s.Compare(nullptr), 1},
                {s.Compare(u"abc"), -1}, {s.CompareNoCase(u"aBC"), 0}, {CCommonWideString(u"\xFF00").Compare(u"a"), 1}});
  EXPECT_EQ(s.EndsWithNoCase(u"BC") + none.EndsWithNoCase(nullptr), 2);
  EXPECT_EQ(s.EndsWithNoCase(u"xabc") + s.EndsWithNoCase(nullptr), 0);
}

TEST(CCommonWideStringSearch, FindCountReplace) {
  CCommonWideString s(u"aXa");
  uint32_t index = 99;
  ASSERT_EQ(s.Find(u"Xa", &index), 1);
  EXPECT_EQ(index, 1u);
  EXPECT_EQ(s.Find(u"", &index), 0);
  EXPECT_PAIRS(uint32_t, {{CCommonWideString(u"aaaa").Count(u"aa", 0), 2}, {CCommonWideString(u"aaaa").Count(u"aa", 2), 1}});
  CCommonWideString once(u"aXa"), shorter(u"abcab");
  EXPECT_EQ(After(s, s.Replace(u"a", u"bb", 1, CCommonWideString::kAll)), "2:bbXbb");
  EXPECT_EQ(After(once, once.Replace(u"a", u"bb", 1, 1)), "1:bbXa");
  EXPECT_EQ(After(once, once.Replace(u"bb", u"", 1, CCommonWideString::kAll)), "1:Xa");
  EXPECT_EQ(After(once, once.Replace(once.CStr(), u"y", 1, 1)), "0:Xa");  // find inside the string
  EXPECT_EQ(After(shorter, shorter.Replace(u"ab", u"X", 1, CCommonWideString::kAll)), "2:XcX");
  CCommonWideString spaced(u" \t x y");
  EXPECT_TRUE(spaced.FindNonSpace(0) == 4u && spaced.FindSpace(4) == 5u);
}

TEST(CCommonWideStringEdit, SubstringsDeletesAndSplices) {
  const CCommonWideString s(u"abcdef");
  EXPECT_EQ(Units(s.Left(2)), u"ab");
  EXPECT_EQ(Units(s.Right(10)), u"abcdef");
  EXPECT_EQ(Units(s.Mid(4, 10)), u"ef");
  EXPECT_FALSE(s.Right(0).HasStorage() || s.Mid(6, 1).HasStorage() || CCommonWideString().Left(3).HasStorage());
  CCommonWideString e(u"abcdef");
  EXPECT_PAIRS(int, {{e.DeleteAt(6), 0}, {e.DeleteAt(0), 1}, {e.DeleteAtPosition(0), 0}, {e.DeleteAtPosition(5), 1}});
  EXPECT_EQ(Units(e), u"bcde");
  e.Delete(2, 100);
  EXPECT_EQ(Units(e), u"b");
  CCommonWideString t(u"abcdef");
  t.Delete(2, 2);
  t.DeleteLeft(1);
  t.DeleteRight(1);
  EXPECT_EQ(Units(t), u"de");
  EXPECT_EQ(After(t, t.Splice(u"XYZ", 2, 1)), "1:dXYZ");
  EXPECT_EQ(After(t, t.Splice(u"!", 99, 5)), "1:dXYZ!");
  EXPECT_EQ(t.Splice(u"?", 0, 1) + t.Splice(t.CStr(), 1, 1), 0);
}

TEST(CCommonWideStringEdit, TrimCaseAndSeparators) {
  CCommonWideString s(u" \r\n\tmixed Case \t");
  s.TrimLeft();
  s.TrimRight();
  EXPECT_EQ(Units(s), u"mixed Case");
  s.MakeUpper();
  const std::u16string upper = Units(s);
  s.MakeLower();
  EXPECT_EQ(upper + Units(s), u"MIXED CASEmixed case");
  CCommonWideString blank(u" \t ");
  blank.TrimRight();
  EXPECT_EQ(blank.GetLength(), 0u);

  const char16_t sep = static_cast<char16_t>(SAL_PATH_SEPARATOR);
  CCommonWideString path(u"dir/");
  ASSERT_EQ(path.EnsureSeparator(), 1);
  EXPECT_EQ(Units(path), std::u16string(u"dir") + sep);
  path.RemoveSeparator();
  EXPECT_EQ(After(path, path.AddBackslash()), "1:dir\\");
  path.RemoveAnySeparator();
  ASSERT_EQ(path.AddSeparator() + path.AddSeparator(), 2);
  EXPECT_EQ(Units(path), std::u16string(u"dir") + sep);
  CCommonWideString empty;
  ASSERT_EQ(empty.AddSeparator(), 1);
  EXPECT_EQ(empty.GetLength(), 0u);
}

TEST(CCommonWideStringNumber, ScansReadSixteenBitText) {
  EXPECT_EQ(CCommonWideString(u"65").AsChar(), 65);  // a number, not the character '6'
  EXPECT_EQ(CCommonWideString(u"300").AsChar(), static_cast<char>(300 & 0xFF));
  EXPECT_PAIRS(int64_t, {{CCommonWideString(u"0x10").AsInt(), 16}, {CCommonWideString(u"010").AsInt(), 8},
                         {CCommonWideString(u"010").AsUInt(), 10}, {CCommonWideString(u" -12").AsShort(), -12},
                         {CCommonWideString(u"65535").AsUShort(), 65535}, {CCommonWideString(u"-9000000000").AsInt64(), -9000000000LL},
                         {CCommonWideString(u"12\u0663").AsInt(), 12}, {CCommonWideString().AsInt(), 0}});  // a non-ASCII digit ends it
  EXPECT_FLOAT_EQ(CCommonWideString(u"2.5").AsFloat(), 2.5f);
  EXPECT_DOUBLE_EQ(CCommonWideString(u"1e3").AsDouble(), 1000.0);
}
