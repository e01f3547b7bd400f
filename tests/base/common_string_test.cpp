// common_string_test.cpp - CCommonString by operation family, with a
// double-byte code page for the character operations (suites named *Dbcs*).
#include "base/common_string.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>

#include "base/code_page.h"
#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_config.h"
#include "base/sal_errors.h"
#include "support/dbcs_fixture.h"
#include "support/expect_pairs.h"

namespace {
std::string Bytes(const CCommonString &s) { return std::string(s.CStr(), s.GetLength()); }

CCommonString Make(const std::string &bytes) {
  return CCommonString(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// The path with every '|' turned into the platform's separator.
std::string Path(std::string text) {
  for (char &c : text)
    if (c == '|') c = SAL_PATH_SEPARATOR;
  return text;
}

// Replace-all as a plain left-to-right scan: the oracle for Replace.
std::string ReplaceOracle(const std::string &text, const std::string &find, const std::string &with,
                          size_t from, uint32_t maxCount, uint32_t *count) {
  std::string out = text.substr(0, from);
  size_t i = from;
  for (*count = 0; *count < maxCount; ++*count) {
    const size_t hit = text.find(find, i);
    if (hit == std::string::npos) break;
    out.append(text, i, hit - i).append(with);
    i = hit + find.size();
  }
  return out.append(text, i, std::string::npos);
}
}  // namespace

// ---- storage and growth --------------------------------------------------------

TEST(CCommonStringStorage, AppendsGrowByTheRuleAndOnlyWhenFull) {
  for (bool withGrowth : {false, true}) {
    SCOPED_TRACE(withGrowth);
    CCommonString s;
    ASSERT_EQ(withGrowth ? s.SetGrowth(25, 256, 1024, 0) : 1, 1);
    uint32_t capacity = s.GetCapacity();
    int reallocations = 0;
    for (uint32_t i = 0; i < 3000; ++i) {
      ASSERT_EQ(s.AppendChar(static_cast<char>('a' + i % 26)), 1);
      if (s.GetCapacity() == capacity) continue;
      const uint32_t needed = s.GetLength() + 1;
      ASSERT_GT(needed, capacity) << "grew although the byte fitted, at " << i;
      ASSERT_EQ(s.GetCapacity(), withGrowth && needed >= 1024 ? needed + needed * 25 / 100 + 256 : needed);
      capacity = s.GetCapacity();
      ++reallocations;
    }
    EXPECT_EQ(s.GetLength(), 3000u);
    EXPECT_EQ(s.CStr()[3000], '\0');
    EXPECT_EQ(s.CharAt(2999), static_cast<char>('a' + 2999 % 26));
    EXPECT_EQ(reallocations, withGrowth ? 1023 + 3 : 3000);
  }
  // 4300000 * 1000 exceeds 32 bits; a 32-bit product would wrap.
  CCommonString s;
  ASSERT_EQ(s.SetGrowth(1000, 7, 0, 0), 1);
  char *p = s.GetBuffer(4299999);
  ASSERT_NE(p, nullptr);
  std::memset(p, 'x', 4299998);
  s.ReleaseBuffer(4299998);
  ASSERT_EQ(s.AppendChar('y'), 1);
  EXPECT_EQ(s.GetCapacity(), 4300000u + 43000000u + 7u);
}

TEST(CCommonStringStorage, OwnTextReserveBuffersSwapAndAttach) {
  CCommonString s("hello world");
  ASSERT_EQ(s.Assign(s.CStr() + 6, 5), 1);
  // The capacity is exact after an assignment, so this append moves the
  // storage that it reads from.
  ASSERT_EQ(s.Reserve(5, 5), 1);
  ASSERT_EQ(s.Append(s), 1);
  ASSERT_EQ(s.Append(s.CStr() + 8, 2), 1);
  s = static_cast<const CCommonString &>(s);
  EXPECT_EQ(Bytes(s), "worldworldld");
  ASSERT_EQ(s.Reserve(20), 1);
  EXPECT_EQ(s.GetCapacity(), 21u);
  ASSERT_EQ(s.Reserve(2, 5), 1) << "reduced to max + 1";
  EXPECT_EQ(s.GetCapacity(), 6u);
  EXPECT_STREQ(s.CStr(), "world") << "the cut text is terminated";
  ASSERT_EQ(s.Reserve(1, 1), 1) << "n >= max: exactly n + 1";
  EXPECT_EQ(s.GetCapacity(), 2u);
  EXPECT_EQ(s.GetLength(), 1u);
  EXPECT_STREQ(s.CStr(), "w");

  std::strcpy(s.GetBuffer(20), "written directly");
  s.ReleaseBuffer();
  EXPECT_EQ(Bytes(s), "written directly");
  s.ReleaseBuffer(7);
  EXPECT_EQ(Bytes(s), "written");
  // Filled to the last byte: ReleaseBuffer still terminates.
  std::memset(s.GetBuffer(0), 'z', s.GetCapacity());
  s.ReleaseBuffer(s.GetCapacity());
  EXPECT_EQ(s.GetLength(), s.GetCapacity() - 1);
  CCommonString none;
  EXPECT_EQ(none.GetBuffer(0), nullptr);
  none.ReleaseBuffer(5);
  EXPECT_FALSE(none.HasStorage());

  // Growth records: inherited ones travel with copies, all stay put in a swap.
  CCommonString a("first"), b("second");
  ASSERT_EQ(a.SetGrowth(50, 10, 0, 1), 1);
  ASSERT_NE(CCommonString(a).GetGrowth(), nullptr);
  ASSERT_EQ(a.SetGrowth(50, 10, 0, 0), 1);
  EXPECT_EQ(CCommonString(a).GetGrowth(), nullptr);
  a.Swap(b);
  EXPECT_EQ(Bytes(a) + Bytes(b), "secondfirst");
  EXPECT_NE(a.GetGrowth(), nullptr);
  EXPECT_EQ(b.GetGrowth(), nullptr);
  a.Clear();
  EXPECT_STREQ(a.CStr(), "");
  EXPECT_TRUE(a.HasStorage());
  a.Empty();
  EXPECT_FALSE(a.HasStorage());
  const int64_t live = SalMemLiveBlocks();
  char *storage = static_cast<char *>(std::malloc(16));
  std::memcpy(storage, "adopted", 8);
  ASSERT_EQ(a.Attach(storage, 16, 7), 1);
  EXPECT_EQ(SalMemLiveBlocks(), live + 1) << "adopted storage is counted";
  ASSERT_EQ(a.Append(" and grown beyond sixteen bytes"), 1);
  EXPECT_EQ(Bytes(a), "adopted and grown beyond sixteen bytes");
  char *text = static_cast<char *>(std::malloc(4));
  std::memcpy(text, "abc", 4);
  ASSERT_EQ(a.Attach(text), 1);  // the previous storage is freed
  EXPECT_EQ(SalMemLiveBlocks(), live + 1);
  EXPECT_EQ(a.GetCapacity(), 4u);
}

// ---- appending and editing -------------------------------------------------------

TEST(CCommonStringEdit, SpliceDeleteAndPad) {
  CCommonString s("abcd");
  EXPECT_EQ(s.Splice("XY", 2, 2, 1), 1);
  EXPECT_EQ(Bytes(s), "aXYcd");
  EXPECT_EQ(s.GetCapacity(), 6u) << "grown by one byte, the terminator's room included";
  EXPECT_EQ(s.Splice("--", 2, 99, 5), 1) << "beyond the end appends";
  EXPECT_EQ(s.Splice("", 0, 2, 2), 1);
  EXPECT_EQ(s.Splice(s.CStr() + 1, 1, 1, 0), 0) << "own storage is refused";
  EXPECT_EQ(s.Splice("z", 1, 0, 0), 0);
  EXPECT_EQ(Bytes(s), "acd--");
  for (auto [position, count, expected] : {std::tuple<uint32_t, uint32_t, const char *>{2, 2, "a--"}, {4, 10, "acd"},
                                           {1, 5, ""}, {0, 1, "acd--"}, {6, 1, "acd--"}, {3, 0, "acd--"}}) {
    CCommonString t("acd--");
    t.Delete(position, count);
    EXPECT_EQ(Bytes(t), expected) << position << "+" << count;
  }
  s.DeleteLeft(1);
  s.DeleteRight(2);
  s.DeleteLastChar();
  EXPECT_EQ(Bytes(s), "c");
  s.DeleteRight(7);
  EXPECT_TRUE(s.IsEmpty());
  s.Assign("42");
  EXPECT_EQ(s.PadLeft('0', 5), 1);
  EXPECT_EQ(Bytes(s), "00042");
  EXPECT_EQ(s.PadLeft('\0', 9), 0);
  EXPECT_EQ(s.PadToMultiple(0, '.'), 0);
  for (uint32_t length : {0u, 5u, 7u, 15u}) {
    CCommonString t(std::string(length, 'x').c_str());
    ASSERT_EQ(t.PadToMultiple(8, '.'), 1);
    EXPECT_EQ(Bytes(t), std::string(length, 'x') + std::string(length < 7 ? 8 - length : 8 * (length / 8 + 2) - length, '.'));
  }
}

TEST(CCommonStringEdit, FormatAndMakeBlock) {
  CCommonString s("ab");
  ASSERT_EQ(s.Format("%s-%s-%d", s.CStr(), s.CStr(), 7), 1) << "own text as argument";
  EXPECT_EQ(Bytes(s), "ab-ab-7");
  const std::string longText(300, 'q');
  ASSERT_EQ(s.Format("<%s>", longText.c_str()), 1);
  EXPECT_EQ(Bytes(s), "<" + longText + ">");
  EXPECT_EQ(s.GetCapacity(), 303u);
  EXPECT_EQ(s.Format(nullptr), 0);
  EXPECT_FALSE(s.HasStorage());

  ASSERT_EQ(s.MakeBlock("one\r\ntwo\rthree\n\nlast", "BEGIN", "END", "> ", -1), 1);
  EXPECT_EQ(Bytes(s), "BEGIN\n> one\r\n> two\r> three\n> \n> last\nEND");
  ASSERT_NE(s.GetGrowth(), nullptr);
  const CCommonStringGrowth &g = *s.GetGrowth();
  EXPECT_EQ(std::make_tuple(g.threshold, g.percent, g.increment, g.inherit), std::make_tuple(1024u, 25u, 256u, 0u));
  s.Assign("first\nsecond\n");
  ASSERT_EQ(s.MakeBlock(s.CStr(), "[", "]", "", 1), 1) << "own text as source";
  EXPECT_EQ(Bytes(s), "[\nfirst\n\n]");
  ASSERT_EQ(s.MakeBlock(nullptr, nullptr, nullptr, "p", 0), 1);
  EXPECT_EQ(Bytes(s), "\n\n");
}

// ---- comparison ---------------------------------------------------------------------

TEST(CCommonStringCompare, NullConventionsBytesAndEquality) {
  // No storage stands for a null text: less than "", equal to "" only in
  // the ...EmptyEqual forms.  Bytes compare unsigned.
  const CCommonString none, empty(""), text("b"), file("Report.TXT");
  const char *const null = nullptr;
  EXPECT_SIGNS({{none.Compare(""), -1},         {none.CompareEmptyEqual(""), 0}, {none.CompareEmptyEqual(null), 0},
               {none.CompareEmptyEqual("a"), -1}, {none.Compare(null), 0},       {empty.Compare(null), 1},
               {empty.CompareEmptyEqual(null), 1}, {empty.Compare(""), 0},      {text.Compare("c"), -1},
               {text.Compare("B"), 1},          {text.CompareNoCase("B"), 0},   {none.CompareNoCase(""), -1},
               {none.CompareNoCaseEmptyEqual(""), 0}, {CCommonString("a\xE9").Compare("a\x7F"), 1},
               {none.Compare(CCommonString()), 0}, {none.Compare(empty), -1},  {empty.Compare(none), 1},
               {CCommonString("MiXed").CompareNoCase(CCommonString("mixed")), 0},
               {CCommonString("\xFF").CompareBytes("\x00\x00", 2), -1},  // shorter is less
               {CCommonString("ab").CompareBytes("z", 1), 1},
               {Make(std::string("a\0a", 3)).CompareBytes("a\0b", 3), -1},  // zero bytes included
               {CCommonString().CompareBytes(nullptr, 5), 0}});
  EXPECT_PAIRS(int, {{Make(std::string("a\0b", 3)).Equals(Make(std::string("a\0c", 3))), 0},
                    {CCommonString("same").Equals(CCommonString("same")), 1},
                    {CCommonString().Equals(CCommonString("")), 1},  // both empty
                    {CCommonString("ab").Equals(CCommonString("abc")), 0},
                    {file.EndsWithNoCase(".txt"), 1}, {file.EndsWithNoCase(""), 1},
                    {file.EndsWithNoCase("a report.txt"), 0}, {file.EndsWithNoCase(nullptr), 0},
                    {CCommonString().EndsWithNoCase(nullptr), 1}});
}

// ---- searching and replacing --------------------------------------------------------

TEST(CCommonStringSearch, OverlapRulesPositionsAndSubstrings) {
  // Byte searches find overlapping occurrences, counts do not; byte
  // searches pass a zero byte, character searches stop at it.
  const CCommonString s("aaaa"), t = Make(std::string("xAbC\0abcABC", 11)), w(" \t x\r\n y"), h("hello");
  EXPECT_PAIRS(uint32_t, {{s.FindNth("aa", 2, 0, 2, true), 3},      {s.FindNthChars("aa", 2, 0, 2), 2},
                         {s.CountChars("aa", 2, 1), 3},            {s.Count("aa", 2, 1), 2},
                         {s.Count("aa", 2, 2), 1},                 {s.FindNth("aa", 2, 0, 3, true), 0},
                         {s.Count(nullptr, 2, 1), 0},              {s.Count("aa", 0, 1), 0},
                         {s.FindNth("aaaaa", 5, 0, 1, true), 0},   {t.FindNth("abc", 3, 0, 1, true), 6},
                         {t.FindNth("abc", 3, 0, 1, false), 2},    {t.FindNth("abc", 3, 3, 2, false), 9},
                         {t.FindNthChars("abc", 3, 1, 1), 0},      {t.FindNthOfSet("Cx", 2, 0, 2, true), 4},
                         {t.FindNthOfSet("xA", 2, 1, 1, false), 3}, {t.FindNthOfSet("", 0, 2, 1, false), 2},
                         {t.FindNthOfSet("", 0, 2, 1, true), 0},   {t.FindNthOfSet("\xC0", 1, 1, 1, true), 0},
                         {w.FindNonSpace(0), 4},                   {w.FindSpace(4), 5},
                         {w.FindNonSpace(5), 8},                   {w.FindSpace(8), 0},
                         {h.CharToBytePosition(3), 3},             {h.ByteToCharPosition(5), 5},
                         {h.CharToBytePosition(0), 0},             {CCommonString().CharToBytePosition(4), 1}});
  EXPECT_PAIRS(std::string, {{Bytes(h.Left(2)), "he"},    {Bytes(h.Right(3)), "llo"}, {Bytes(h.Right(30)), "hello"},
                            {Bytes(h.Mid(2, 3)), "ell"}, {Bytes(h.Mid(4, 30)), "lo"}, {Bytes(h.Mid(9, 1)), ""}});
  EXPECT_FALSE(h.Left(0).HasStorage());
  EXPECT_FALSE(CCommonString().Right(3).HasStorage());
}

TEST(CCommonStringSearch, ReplaceAgreesWithAPlainScan) {
  // Both families, random texts; replacements may hold the pattern again.
  std::mt19937 random(12345);
  for (int round = 0; round < 2000; ++round) {
    std::string text, find, with;
    for (int i = static_cast<int>(random() % 40); i > 0; --i) text += "aab"[random() % 3];
    for (int i = 1 + static_cast<int>(random() % 3); i > 0; --i) find += "aab"[random() % 3];
    for (int i = static_cast<int>(random() % 6); i > 0; --i) with += "xab"[random() % 3];
    const uint32_t start = static_cast<uint32_t>(random() % (text.size() + 2));
    const uint32_t maxCount = random() % 4 == 0 ? static_cast<uint32_t>(random() % 4) : CCommonString::kAll;
    SCOPED_TRACE(text + " / " + find + " -> " + with + " from " + std::to_string(start));
    uint32_t count = 0;
    const std::string expected = start == 0 || start > text.size()
                                     ? text
                                     : ReplaceOracle(text, find, with, start - 1, maxCount, &count);
    for (bool chars : {false, true}) {
      CCommonString s = Make(text);
      ASSERT_EQ(random() % 2 == 0 ? s.Reserve(static_cast<uint32_t>(text.size()) + 50) : 1, 1);
      const uint32_t n = static_cast<uint32_t>(find.size()), m = static_cast<uint32_t>(with.size());
      ASSERT_EQ(chars ? s.ReplaceChars(find.data(), n, with.data(), m, start, maxCount)
                      : s.Replace(find.data(), n, with.data(), m, start, maxCount),
                count);
      ASSERT_EQ(Bytes(s), expected);
      ASSERT_EQ(std::strlen(s.CStr()), s.GetLength()) << "terminated";
      if (chars && count != 0) {
        ASSERT_EQ(s.GetCapacity(), s.GetLength() + 1) << "exact storage";
      }
    }
  }
  CCommonString s("abab");
  const char *ab = "ab";
  EXPECT_EQ(s.Replace(ab, 2, ab, 2, 1, CCommonString::kAll), 2u) << "same bytes: counted only";
  EXPECT_EQ(s.Replace(s.CStr(), 1, "x", 1, 1, CCommonString::kAll), 0u) << "own storage";
  EXPECT_EQ(s.Replace("b", 1, s.CStr(), 2, 1, CCommonString::kAll), 0u) << "own storage";
  EXPECT_EQ(Bytes(s), "abab");
  EXPECT_EQ(s.ReplaceByte('b', 'c', 3, 5), 1u);
  EXPECT_EQ(Bytes(s), "abac");
}

TEST(CCommonStringSearch, ReplaceAcrossLongGapsAllocatesOnce) {
  // Occurrences far apart, many of them, and long patterns: every way the
  // longer replacement keeps track of where its occurrences were.
  struct Case {
    size_t gap;
    int occurrences;
    const char *find, *with;
    uint32_t maxCount;
  } cases[] = {
      {300, 100, "\n", "\r\n", CCommonString::kAll}, {300, 700, "\n", "\r\n", CCommonString::kAll},
      {300, 700, "\n", "\r\n", 600},                 {70000, 5, "ab", "ABC", CCommonString::kAll},
      {9, 3000, "abcdef", "0123456789", CCommonString::kAll}, {0, 5000, "ab", "xyz", 4321},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::to_string(c.gap) + " x " + std::to_string(c.occurrences));
    std::string text;
    for (int i = 0; i < c.occurrences; ++i) text += std::string(c.gap, '.') + c.find;
    text += "end";
    uint32_t count = 0;
    const std::string expected = ReplaceOracle(text, c.find, c.with, 0, c.maxCount, &count);
    const uint32_t n = static_cast<uint32_t>(std::strlen(c.find));
    const uint32_t m = static_cast<uint32_t>(std::strlen(c.with));
    CCommonString refused = Make(text);
    SalMemFailAfter(1);
    EXPECT_EQ(refused.Replace(c.find, n, c.with, m, 1, c.maxCount), 0u);
    SalMemFailAfter(0);
    ASSERT_EQ(Bytes(refused), text) << "a refused growth leaves the text as it was";
    CCommonString s = Make(text);
    SalMemFailAfter(2, true);  // the first allocation succeeds, every later one fails
    EXPECT_EQ(s.Replace(c.find, n, c.with, m, 1, c.maxCount), count);
    SalMemFailAfter(0);
    EXPECT_EQ(Bytes(s), expected);
  }
}

// ---- trimming, case and numbers -----------------------------------------------------

TEST(CCommonStringText, TrimAndCase) {
  CCommonString s(" \t\r\n Mixed Case 1 \n\t "), blank("   ");
  s.TrimLeft();
  EXPECT_EQ(Bytes(s), "Mixed Case 1 \n\t ");
  s.TrimRight();
  s.MakeUpper();
  EXPECT_EQ(Bytes(s), "MIXED CASE 1");
  s.MakeLower();
  s.At(6).MakeUpper();
  s.At(0) = 'N';
  EXPECT_EQ(Bytes(s), "Nixed Case 1");
  EXPECT_EQ(static_cast<char>(s.At(99)), '\0');
  blank.TrimRight();
  EXPECT_TRUE(blank.IsEmpty());
  CCommonString inner = Make(std::string("ab  \0cd", 7));
  inner.TrimRight();
  EXPECT_EQ(Bytes(inner), std::string("ab\0cd", 5)) << "bytes behind a zero byte stay";
}

TEST(CCommonStringNumber, AppendsAndReadsNumbers) {
  CCommonString s;
  s.AppendUInt(4294967295u);
  s.AppendInt(-42, "[%5d]");
  s.AppendUInt64(18446744073709551615ull);
  s.AppendChar(' ');
  s.AppendInt64(INT64_MIN);
  s.AppendDouble(2.5);
  EXPECT_EQ(Bytes(s), "4294967295[  -42]18446744073709551615 -92233720368547758082.500000");
  // Longer than the 100-byte scratch: appended whole, not cut.
  CCommonString big;
  ASSERT_EQ(big.AppendDouble(1e300), 1);
  EXPECT_EQ(big.GetLength(), 308u);
  EXPECT_EQ(Bytes(big).substr(0, 4), "1000");
  ASSERT_EQ(big.AppendInt64(7, "%0150lld"), 1);
  EXPECT_EQ(big.GetLength(), 458u);

  const struct {
    const char *text;
    int32_t asInt;
    uint32_t asUInt;
    int16_t asShort;
    uint16_t asUShort;
  } cases[] = {{"0x10", 16, 0, 16, 0},         {"010", 8, 10, 8, 10},  {"  -12z", -12, 4294967284u, -12, 65524},
               {"70000", 70000, 70000, 4464, 4464}, {"4294967297", 1, 1, 1, 1}, {"-0x10", -16, 0, -16, 0},
               {"99999999999999999999", -1, 4294967295u, -1, 65535},   {"abc", 0, 0, 0, 0}};
  for (const auto &c : cases) {
    const CCommonString t(c.text);
    EXPECT_EQ(std::make_tuple(t.AsInt(), t.AsUInt(), t.AsShort(), t.AsUShort()),
              std::make_tuple(c.asInt, c.asUInt, c.asShort, c.asUShort))
        << c.text;
  }
  EXPECT_EQ(CCommonString("65").AsChar(), '6');
  EXPECT_EQ(CCommonString().AsChar(), '\0');
  EXPECT_EQ(CCommonString("-9223372036854775809").AsInt64(), INT64_MIN);
  EXPECT_EQ(CCommonString("012").AsInt64(), 12) << "decimal only";
  EXPECT_EQ(CCommonString("-1").AsUInt64(), UINT64_MAX);
  EXPECT_EQ(CCommonString("1.5e3").AsDouble(), 1500.0);
  EXPECT_EQ(CCommonString(" -0.25").AsFloat(), -0.25f);
  EXPECT_EQ(CCommonString("x1").AsDouble(), 0.0);
}

// ---- path separators and lists -----------------------------------------------------

TEST(CCommonStringPath, SeparatorRules) {
  using Op = void (*)(CCommonString &);
  const Op add = [](CCommonString &s) { s.AddSeparator(); };
  const Op ensure = [](CCommonString &s) { s.EnsureSeparator(); };
  const Op removeAny = [](CCommonString &s) { s.RemoveAnySeparator(); };
  const Op keep = [](CCommonString &s) { s.NormalizeSeparators(true); };
  const struct {
    Op op;
    const char *in, *out;
  } cases[] = {
      {[](CCommonString &s) { s.AddBackslash(); }, "a", "a\\"},
      {[](CCommonString &s) { s.AddBackslash(); }, "a/", "a/"},
      {[](CCommonString &s) { s.RemoveSeparator(); }, "a||", "a|"},
      {[](CCommonString &s) { s.NormalizeSeparators(false); }, "a/b/", "a|b"},
      {add, "a", "a|"},         {add, "a|", "a|"},        {add, "", ""},
      {ensure, "a/", "a|"},     {ensure, "a\\", "a|"},    {ensure, "a", "a|"}, {ensure, "", ""},
      {removeAny, "a/", "a"},   {removeAny, "a\\", "a"},  {keep, "a/b/", "a|b|"}, {keep, "a\\b", "a|b|"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.in);
    CCommonString s(Path(c.in).c_str());
    c.op(s);
    EXPECT_EQ(Bytes(s), Path(c.out));
  }
}

TEST(CCommonStringList, SplitAndJoin) {
  CCommonStringList list;
  CCommonString(";a;;b;").Split(list, ";");
  ASSERT_EQ(list.GetCount(), 2u);
  EXPECT_EQ(Bytes(list.At(0)), "a");
  EXPECT_EQ(Bytes(list.At(1)), "b");
  CCommonString joined;
  ASSERT_EQ(joined.Join(list, ",", 0, -1), 1);
  EXPECT_EQ(Bytes(joined), "a,b");

  // Enough tokens to move the list's storage a few times.
  CCommonString many;
  for (int i = 0; i < 100; ++i) many.AppendUInt(static_cast<uint32_t>(i), "%u, ");
  many.Split(list, ", ");
  ASSERT_EQ(list.GetCount(), 100u);
  EXPECT_EQ(Bytes(list.At(57)), "57");
  ASSERT_EQ(joined.Join(list, "+", 98, 5), 1);
  EXPECT_EQ(Bytes(joined), "98+99");
  ASSERT_EQ(joined.Join(list, nullptr, 3, 2), 1);
  EXPECT_EQ(Bytes(joined), "34");
  ASSERT_EQ(joined.Join(list, "+", 200, -1), 1);
  EXPECT_TRUE(joined.IsEmpty());

  // A list frees its strings' storage with its own.
  const int64_t live = SalMemLiveBlocks();
  {
    CCommonStringList scoped;
    CCommonString("a b c").Split(scoped, " ");
    EXPECT_EQ(scoped.GetCount(), 3u);
  }
  EXPECT_EQ(SalMemLiveBlocks(), live);
  std::ostringstream out;
  out << Make(std::string("a\0b", 3)) << CCommonString();
  EXPECT_EQ(out.str(), std::string("a\0b", 3));
}

// ---- failed allocations -----------------------------------------------------------

TEST(CCommonStringNoStorage, FailedOperationsChangeNothing) {
  using Op = std::function<int(CCommonString &)>;
  const std::pair<const char *, Op> cases[] = {
      {"Append", [](CCommonString &s) { return s.Append("more text than fits"); }},
      {"AppendChar", [](CCommonString &s) { return s.AppendChar('!'); }},
      {"Assign", [](CCommonString &s) { return s.Assign("a longer text than before"); }},
      {"Reserve", [](CCommonString &s) { return s.Reserve(100); }},
      {"GetBuffer", [](CCommonString &s) { return s.GetBuffer(100) != nullptr ? 1 : 0; }},
      {"Format", [](CCommonString &s) { return s.Format("%s", "x"); }},
      {"Splice", [](CCommonString &s) { return s.Splice("inserted", 8, 2, 0); }},
      {"SpliceChars", [](CCommonString &s) { return s.SpliceChars("inserted", 8, 2, 0); }},
      {"PadLeft", [](CCommonString &s) { return s.PadLeft('0', 40); }},
      {"PadToMultiple", [](CCommonString &s) { return s.PadToMultiple(64, ' '); }},
      {"Replace",
       [](CCommonString &s) { return static_cast<int>(s.Replace("e", 1, "EEE", 3, 1, CCommonString::kAll)); }},
      {"ReplaceChars",
       [](CCommonString &s) { return static_cast<int>(s.ReplaceChars("e", 1, "E", 1, 1, CCommonString::kAll)); }},
      {"MakeBlock", [](CCommonString &s) { return s.MakeBlock("x\ny", "h", "f", "-", -1); }},
      {"AppendUInt", [](CCommonString &s) { return s.AppendUInt(7); }},
      {"AppendDouble", [](CCommonString &s) { return s.AppendDouble(7); }},
      {"SetGrowth", [](CCommonString &s) { return s.SetGrowth(1, 1, 1, 1); }},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.first);
    CCommonString s;
    ASSERT_EQ(s.Assign("seven e"), 1);
    ASSERT_EQ(s.Reserve(7, 7), 1);
    const uint32_t capacity = s.GetCapacity();
    SalSetLastError(0);
    SalMemFailAfter(1, true);
    const int result = c.second(s);
    SalMemFailAfter(0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
    EXPECT_EQ(Bytes(s), "seven e");
    EXPECT_EQ(s.GetCapacity(), capacity);
    EXPECT_EQ(s.CStr()[s.GetLength()], '\0');
  }
  // A string whose first storage was refused still reads as "".
  SalMemFailAfter(1);
  CCommonString refused("text");
  SalMemFailAfter(0);
  EXPECT_FALSE(refused.HasStorage());
  EXPECT_STREQ(refused.CStr(), "");
  CCommonStringList list;
  SalMemFailAfter(1, true);
  CCommonString("a b c").Split(list, " ");
  SalMemFailAfter(0);
  EXPECT_EQ(list.GetCount(), 0u);
}

// ---- double-byte code page ----------------------------------------------------------

using StringDbcs = Cp932Test;

// 0x95 0x5C is one character whose trail byte is the backslash; 0x83 0x61
// and 0x83 0x41 are two characters whose trail bytes are 'a' and 'A'.
#define SJIS_5C "\x95\x5C"
#define SJIS_61 "\x83\x61"
#define SJIS_41 "\x83\x41"

TEST_F(StringDbcs, TrailBytesAreNeverSeparators) {
  CCommonString s("dir\\" SJIS_5C);
  s.RemoveAnySeparator();
  s.RemoveSeparator();
  EXPECT_EQ(Bytes(s), "dir\\" SJIS_5C);
  s.AddBackslash();
  EXPECT_EQ(Bytes(s), "dir\\" SJIS_5C "\\");
  s.Assign(SJIS_5C);
  s.EnsureSeparator();
  EXPECT_EQ(Bytes(s), SJIS_5C + Path("|"));
  s.Assign("a/" SJIS_5C "\\" SJIS_5C);
  s.NormalizeSeparators(true);
  EXPECT_EQ(Bytes(s), Path("a|" SJIS_5C "|" SJIS_5C "|"));
  // A run of lead-byte values: 0x81 0x81 is one character, then 0x5C alone.
  s.Assign("\x81\x81\\");
  s.RemoveAnySeparator();
  EXPECT_EQ(Bytes(s), "\x81\x81");
}

TEST_F(StringDbcs, TrailBytesAreNeverMatches) {
  CCommonString s(SJIS_5C "\\" SJIS_61 "a");
  EXPECT_PAIRS(uint32_t, {{s.FindNthChars("\\", 1, 1, 1), 2}, {s.FindNthChars("a", 1, 1, 1), 4},
                         {s.CountChars("a", 1, 1), 1},
                         {s.FindNthChars("\x83", 1, 1, 1), 0},  // a lead byte alone splits no character
                         {s.ReplaceChars("a", 1, "b", 1, 1, CCommonString::kAll), 1},
                         {s.ReplaceChars("\\", 1, "/", 1, 1, CCommonString::kAll), 1}});
  EXPECT_EQ(Bytes(s), SJIS_5C "/" SJIS_61 "b");
  CCommonString kana(SJIS_61 "a"), upper(SJIS_41 "A");
  kana.MakeUpper();
  upper.MakeLower();
  EXPECT_EQ(Bytes(kana) + Bytes(upper), SJIS_61 "A" SJIS_41 "a");
  EXPECT_SIGNS({{kana.EndsWithNoCase("A"), 1}, {kana.EndsWithNoCase(SJIS_41 "a"), 0},
               {CCommonString(SJIS_61).CompareNoCase(SJIS_41), 1},
               {CCommonString(SJIS_61 "X").CompareNoCase(SJIS_61 "x"), 0}});
}

TEST_F(StringDbcs, CharacterPositionsAndEdits) {
  const CCommonString s("a" SJIS_61 "b" SJIS_5C), lone("x\x83");  // a lead byte before the end stands alone
  CCommonString w(" " SJIS_41 " \t");
  EXPECT_PAIRS(uint32_t, {{s.CharCount(), 4}, {s.CharToBytePosition(3), 4},
                         {s.CharToBytePosition(5), 7},  // just behind the text
                         {s.ByteToCharPosition(3), 2},  // a trail byte belongs to its character
                         {s.ByteToCharPosition(4), 3}, {lone.CharCount(), 2}, {lone.FindNthChars("\x83", 1, 1, 1), 2},
                         {w.FindNonSpace(1), 2}, {w.FindSpace(2), 3}});
  EXPECT_PAIRS(std::string, {{Bytes(s.LeftChars(2)), "a" SJIS_61}, {Bytes(s.RightChars(1)), SJIS_5C},
                            {Bytes(s.MidChars(2, 2)), SJIS_61 "b"},
                            {Bytes(s.Left(2)), "a\x83"}});  // the byte forms cut anywhere
  w.TrimLeft();
  w.TrimRight();
  EXPECT_EQ(Bytes(w), SJIS_41);

  CCommonString t(s);
  EXPECT_EQ(t.DeleteCharAt(1), 1);
  EXPECT_EQ(Bytes(t), "ab" SJIS_5C);
  EXPECT_EQ(t.DeleteCharAtPosition(3), 1);
  EXPECT_EQ(Bytes(t), "ab");
  EXPECT_EQ(t.DeleteCharAt(2), 0);
  t.Assign(s);
  EXPECT_EQ(t.SpliceChars("--", 2, 2, 2), 1);
  EXPECT_EQ(Bytes(t), "a--" SJIS_5C);
  EXPECT_EQ(t.AssignChars(SJIS_61 SJIS_5C "z", 2), 1);
  EXPECT_EQ(Bytes(t), SJIS_61 SJIS_5C);
  EXPECT_EQ(t.AssignChars(nullptr, 2), 1);  // no text: emptied
  EXPECT_EQ(Bytes(t), "");
}
