// code_page_convert_test.cpp - conversions between code pages and UTF-16, the
// UTF-16 strings built on them, code-page names and the code-page list.
#include "platform/code_page_convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "base/code_page.h"
#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_config.h"
#include "base/sal_errors.h"
#include "support/dbcs_fixture.h"
#include "support/expect_pairs.h"

namespace {

std::u16string ToWide(uint32_t codePage, const std::string &bytes, uint32_t flags = 0) {
  const int needed = SalMultiByteToWide(codePage, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0, flags);
  if (needed <= 0) return u"<failed>";
  std::u16string out(static_cast<size_t>(needed), u'\0');
  const int written =
      SalMultiByteToWide(codePage, bytes.data(), static_cast<int>(bytes.size()), &out[0], needed, flags);
  EXPECT_EQ(written, needed);
  return out;
}

std::string FromWide(uint32_t codePage, const std::u16string &units, uint32_t flags = 0,
                     const char *defaultChar = nullptr, int *usedDefault = nullptr) {
  const int needed = SalWideToMultiByte(codePage, units.data(), static_cast<int>(units.size()), nullptr, 0, flags,
                                        defaultChar, usedDefault);
  if (needed <= 0) return "<failed>";
  std::string out(static_cast<size_t>(needed), '\0');
  const int written = SalWideToMultiByte(codePage, units.data(), static_cast<int>(units.size()), &out[0], needed,
                                         flags, defaultChar, usedDefault);
  EXPECT_EQ(written, needed);
  return out;
}

std::string Bytes(const CCommonString &s) { return std::string(s.CStr(), s.GetLength()); }

}  // namespace

// ---------------------------------------------------------------------------
// The conversion wrappers
// ---------------------------------------------------------------------------

TEST(SalCodePageConvert, SingleByteAndUtf8CodePagesBothWays) {
  // Invalid UTF-8 is replaced and the text around it kept; lone surrogates
  // become U+FFFD.  With SAL_..._ERR_INVALID_CHARS the conversion fails.
  EXPECT_PAIRS(std::u16string, {{ToWide(1252, "Gr\xFC\xDF\x65 \x80"), u"Gr\u00FC\u00DFe \u20AC"},
                               {ToWide(1251, "\xC6\xE8\xE2"), u"\u0416\u0438\u0432"},
                               {ToWide(28591, "\x80\xFF"), u"\u0080\u00FF"},
                               {ToWide(437, "\xB0\xE1"), u"\u2591\u00DF"},
                               {ToWide(65001, "A\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80"), u"A\u00E9\u65E5\U0001F600"},
                               {ToWide(65001, "a\xFF" "b\xE6\x97" "c"), u"a\xFFFD" u"b\xFFFD" u"c"},
                               {ToWide(65001, "a\xFF", SAL_MB_ERR_INVALID_CHARS), u"<failed>"}});
  EXPECT_PAIRS(std::string, {{FromWide(1252, u"Gr\u00FC\u00DFe \u20AC"), "Gr\xFC\xDF\x65 \x80"},
                            {FromWide(65001, u"A\u00E9\u65E5\U0001F600"), "A\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80"},
                            {FromWide(65001, u"a\xD800z"), "a\xEF\xBF\xBDz"},
                            {FromWide(65001, u"a\xDC00", SAL_WC_ERR_INVALID_CHARS), "<failed>"}});
  // Every byte of 1252 survives the round trip, the five that name no
  // character (81, 8D, 8F, 90, 9D) included.
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string wide = ToWide(1252, all);
  ASSERT_EQ(wide.size(), all.size());
  EXPECT_EQ(wide[0x81 - 1], u'\u0081');
  EXPECT_EQ(FromWide(1252, wide), all);
}

TEST(SalCodePageConvert, LengthsCapacitiesAndFailures) {
  char16_t out[8];
  char bytes[8];
  int used = 0;
  EXPECT_PAIRS(int, {{SalMultiByteToWide(1252, "abc", -1, out, 8, 0), 4},  // -1 takes the terminator along
                    {out[3] == u'\0', 1},
                    {SalMultiByteToWide(1252, "abc", -1, nullptr, 0, 0), 4},
                    {SalMultiByteToWide(1252, "abc", 2, out, 8, 0), 2},
                    {SalWideToMultiByte(1252, u"xyz", -1, bytes, 8, 0, nullptr, nullptr), 4},
                    {std::strcmp(bytes, "xyz"), 0},
                    // Failures: a target one unit too small, null source,
                    // lengths 0 and -2, a negative capacity, an unknown code
                    // page; UTF-8 with a default character or its flag.
                    {SalMultiByteToWide(1252, "abc", -1, out, 3, 0), 0},
                    {SalMultiByteToWide(1252, nullptr, 3, out, 8, 0), 0},
                    {SalMultiByteToWide(1252, "abc", -2, out, 8, 0), 0},
                    {SalMultiByteToWide(1252, "abc", 3, out, -1, 0), 0},
                    {SalMultiByteToWide(12345, "abc", 3, out, 8, 0), 0},
                    {SalWideToMultiByte(1252, nullptr, 3, bytes, 8, 0, nullptr, nullptr), 0},
                    {SalWideToMultiByte(65001, u"x", 1, bytes, 8, 0, "?", nullptr), 0},
                    {SalWideToMultiByte(65001, u"x", 1, bytes, 8, 0, nullptr, &used), 0}});
  SalSetLastError(0);
  EXPECT_EQ(SalMultiByteToWide(1252, "abc", 0, out, 8, 0), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrArgument);
  SalSetLastError(0);
  EXPECT_EQ(SalWideToMultiByte(1252, u"xyz", -1, bytes, 3, 0, nullptr, nullptr), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrArgument);
}

TEST(SalCodePageConvert, MissingCharactersTakeTheDefault) {
  // The text and whether a default was used; as Windows does it, each unit
  // of a surrogate pair gets its own.
  auto narrow = [](const char16_t *text, const char *defaultChar) {
    int used = -1;
    const std::string narrowed = FromWide(1252, text, SAL_WC_NO_BEST_FIT_CHARS, defaultChar, &used);
    return narrowed + std::to_string(used);
  };
  EXPECT_PAIRS(std::string, {{narrow(u"a\u4E00b", nullptr), "a?b1"}, {narrow(u"a\u4E00b", "*"), "a*b1"},
                            {narrow(u"plain", "*"), "plain0"}, {narrow(u"a\U0001F600b", "*"), "a**b1"}});
  // Best-fit flags go away on systems before version 5: Windows refuses
  // 0x400 for UTF-8, and there it never reaches the converter.
  EXPECT_PAIRS(uint32_t, {{SalAdjustWideCharFlagsFor(0x480, 4), 0x80}, {SalAdjustWideCharFlagsFor(0x480, 5), 0x480},
                         {SalAdjustWideCharFlagsFor(0x400, 10), 0x400}});
  SalOverrideWideCharSystemVersion(4);
  EXPECT_EQ(SalAdjustWideCharFlags(0x480), 0x80u);
  EXPECT_EQ(FromWide(65001, u"abc", SAL_WC_NO_BEST_FIT_CHARS), "abc");
  SalOverrideWideCharSystemVersion(6);
  EXPECT_EQ(SalAdjustWideCharFlags(0x480), 0x480u);
  SalOverrideWideCharSystemVersion(0);
}

TEST(SalCodePageConvert, ValidCodePagesAndTheirNames) {
  for (uint32_t cp : {0u, 437u, 932u, 1252u, 65001u}) EXPECT_EQ(SalIsValidCodePage(cp), 1) << cp;
  EXPECT_EQ(SalIsValidCodePage(12345), 0);
  CCommonString name("unchanged");
  EXPECT_EQ(SalGetCodePageName(12345, &name) + SalGetCodePageName(1252, nullptr), 0);
  EXPECT_STREQ(name.CStr(), "unchanged");
  ASSERT_EQ(SalGetCodePageName(1252, &name), 1);
  if (SAL_OS_POSIX) {
    // The POSIX backend names them from its own table, without UTF-16.
    EXPECT_STREQ(name.CStr(), "1252  (ANSI - Latin I)");
    ASSERT_EQ(SalGetCodePageName(2, &name), 1);
    EXPECT_STREQ(name.CStr(), "10000  (MAC - Roman)");
    EXPECT_EQ(SalIsValidCodePage(1200), 0);
  }
  EXPECT_GT(name.GetLength(), 0u);
  EXPECT_STRNE(name.CStr(), "unchanged");
}

// ---------------------------------------------------------------------------
// UTF-16 strings
// ---------------------------------------------------------------------------

TEST(SalCodePageConvert, Utf16StringsEndInAZeroUnitAndSurviveFailingAllocations) {
  // The bytes of the string made, or "<0>" and the length left for a refusal.
  auto wide = [](const char *utf8) {
    CCommonString out("old contents");
    return SalUtf8ToWideString(utf8, &out) == 1 ? Bytes(out) : "<0>" + std::to_string(out.GetLength());
  };
  auto narrow = [](const char16_t *units) {
    CCommonString out("old");
    return SalWideToUtf8String(units, &out) == 1 ? Bytes(out) : "<0>" + std::to_string(out.GetLength());
  };
  EXPECT_PAIRS(std::string, {{wide("A"), std::string("A\0\0", 3)},
                             {wide(""), std::string(1, '\0')},
                             {wide(nullptr), "<0>0"},
                             {narrow(u"Gr\u00FC\u00DF \U0001F600"), "Gr\xC3\xBC\xC3\x9F \xF0\x9F\x98\x80"},
                             {narrow(u""), ""},
                             {narrow(nullptr), "<0>0"}});  // cleared first
  CCommonString out;
  ASSERT_EQ(SalUtf8ToWideString("\xC3\xA9\xF0\x9F\x98\x80", &out), 1);
  ASSERT_EQ(out.GetLength(), 7u);
  char16_t units[3];
  std::memcpy(units, out.CStr(), sizeof units);
  EXPECT_EQ(std::u16string(units, 3), u"\u00E9\U0001F600");
  EXPECT_EQ(out.CStr()[7], '\0') << "the string's own terminator completes the zero unit";
  EXPECT_EQ(SalUtf8ToWideString("x", nullptr), 0);
  CCommonString empty;
  EXPECT_EQ(SalWideToUtf8String(nullptr, &empty), 0);
  EXPECT_FALSE(empty.HasStorage());

  // Either the whole result or a refusal, never a part of it.
  const int64_t live = SalMemLiveBlocks();
  for (uint32_t n = 1; n <= 3; ++n) {
    CCommonString w, a;
    SalMemFailAfter(n);
    const int toWide = SalUtf8ToWideString("some text", &w), toNarrow = SalWideToUtf8String(u"some text", &a);
    SalMemFailAfter(0);
    EXPECT_TRUE(toWide == 0 || w.GetLength() == 19u) << n;
    EXPECT_EQ(std::string(a.CStr()), toNarrow == 1 ? "some text" : "") << n;
  }
  EXPECT_EQ(SalMemLiveBlocks(), live);
}

// ---------------------------------------------------------------------------
// Shift_JIS as the ANSI code page (run again in a real code page 932
// process, see docs/code_pages.md)
// ---------------------------------------------------------------------------

using SalCodePageConvertDbcs = Cp932Test;

TEST_F(SalCodePageConvertDbcs, AnsiStringsAreShiftJis) {
  // "日本語" and a character whose trail byte is 0x5C ('\'), half-width
  // katakana, ASCII.
  const char *text = "\x93\xFA\x96\x7B\x8C\xEA \x95\x5C \xB1 x";
  const std::u16string wide = u"\u65E5\u672C\u8A9E \u8868 \uFF71 x";
  CCommonString out;
  ASSERT_EQ(SalAnsiToWideString(text, &out), 1);
  ASSERT_EQ(out.GetLength(), wide.size() * 2 + 1);
  std::u16string units(wide.size(), u'\0');
  std::memcpy(&units[0], out.CStr(), wide.size() * 2);
  EXPECT_EQ(units, wide);
  CCommonString back;
  ASSERT_EQ(SalWideToAnsiString(wide.c_str(), &back), 1);
  EXPECT_STREQ(back.CStr(), text);
  EXPECT_EQ(ToWide(0, text), ToWide(932, text));
}

TEST_F(SalCodePageConvertDbcs, BrokenPairsAndDoubleByteDefault) {
  // A lead byte at the end stands for nothing the code page defines.
  const std::u16string cut = ToWide(0, "a\x93");
  EXPECT_EQ(cut.front(), u'a');
  EXPECT_EQ(cut.size(), 2u);
  EXPECT_EQ(ToWide(0, "a\x93", SAL_MB_ERR_INVALID_CHARS), u"<failed>");
  // A double-byte default character goes in whole.
  int used = 0;
  EXPECT_EQ(FromWide(0, u"a\u00E9b", SAL_WC_NO_BEST_FIT_CHARS, "\x81\x48", &used), "a\x81\x48" "b");
  EXPECT_EQ(used, 1);
}

// ---------------------------------------------------------------------------
// The code-page list
// ---------------------------------------------------------------------------

TEST(CSalCodePageList, EnumerateWithDefaultFirstAlsoFromSeveralThreads) {
  CSalCodePages list;
  ASSERT_EQ(list.Enumerate(1), 1);
  uint32_t cp = 99;
  const char *name = nullptr;
  ASSERT_EQ(list.GetNext(&cp, &name), 1);
  EXPECT_EQ(cp, 0u);
  EXPECT_STREQ(name, "default");
  EXPECT_STREQ(list.GetName(0), "default");
  // The installed code pages follow, each one the system converts.
  std::vector<uint32_t> expected{0};
  while (list.GetNext(&cp, &name) == 1) {
    expected.push_back(cp);
    ASSERT_NE(name, nullptr);
    EXPECT_GT(std::strlen(name), 0u) << cp;
    EXPECT_EQ(SalIsValidCodePage(cp), 1) << cp;
  }
  EXPECT_NE(std::find(expected.begin(), expected.end(), 1252u), expected.end());
  EXPECT_NE(std::find(expected.begin(), expected.end(), 932u), expected.end());
  EXPECT_GT(expected.size(), 10u);
  // Past the end GetNext keeps answering 0 until the next Enumerate.
  EXPECT_EQ(list.GetNext(&cp, &name) + list.GetNext(nullptr, nullptr), 0);
  EXPECT_EQ(list.Contains(0) + list.Contains(1252) + list.Contains(12345), 2);
  EXPECT_EQ(list.GetName(12345), nullptr);
  CCommonString systemName;
  ASSERT_EQ(SalGetCodePageName(1252, &systemName), 1);
  EXPECT_STREQ(list.GetName(1252), systemName.CStr());

  ASSERT_EQ(list.Enumerate(0), 1);
  EXPECT_EQ(list.Contains(0), 0);
  ASSERT_EQ(list.GetNext(&cp, nullptr), 1);
  EXPECT_NE(cp, 0u);

  // Threads enumerate into lists of their own.
  std::vector<uint32_t> seen[2];
  std::thread threads[2];
  for (int t = 0; t < 2; ++t) {
    threads[t] = std::thread([&seen, t] {
      for (int round = 0; round < 5; ++round) {
        CSalCodePages own;
        own.Enumerate(1);
        seen[t].clear();
        uint32_t c;
        while (own.GetNext(&c, nullptr)) seen[t].push_back(c);
      }
    });
  }
  for (std::thread &t : threads) t.join();
  EXPECT_EQ(seen[0], expected);
  EXPECT_EQ(seen[1], expected);
}

namespace {
// A list that records what the base asks of it.
class RecordingList : public CSalCodePageList {
 public:
  ~RecordingList() override { Clear(); }
  void Add(SalCodePageEntry *entry) override {
    ++adds;
    if (entry != nullptr && !LinkLast(entry)) SalDeleteCodePageEntry(entry);
  }
  void Clear() override {
    ++clears;
    while (SalCodePageEntry *entry = UnlinkFirst()) SalDeleteCodePageEntry(entry);
  }
  int adds = 0;
  int clears = 0;
};
}  // namespace

TEST(CSalCodePageList, DerivedListDecidesStorage) {
  RecordingList list;
  uint32_t cp = 0;
  EXPECT_EQ(list.GetNext(&cp, nullptr), 0) << "no cursor before Enumerate";
  list.Add(SalNewCodePageEntry(5, "five"));
  list.Add(nullptr);
  ASSERT_EQ(list.Enumerate(1), 1);
  EXPECT_EQ(list.clears, 1) << "Enumerate starts with Clear";
  EXPECT_EQ(list.Contains(5), 0);
  const int firstAdds = list.adds;
  ASSERT_EQ(list.Enumerate(1), 1);
  EXPECT_EQ(list.adds - firstAdds, firstAdds - 2) << "the same entries again";
  // The cursor survives removal of the entry it is on.
  list.Clear();
  EXPECT_EQ(list.GetNext(&cp, nullptr), 0);
}

TEST(CSalCodePageList, FailingAllocationsLoseEntriesNotMemory) {
  const int64_t live = SalMemLiveBlocks();
  for (uint32_t n = 1; n <= 40; ++n) {
    SCOPED_TRACE(n);
    {
      CSalCodePages list;
      SalMemFailAfter(n);
      list.Enumerate(1);
      SalMemFailAfter(0);
      uint32_t cp;
      const char *name;
      while (list.GetNext(&cp, &name)) ASSERT_NE(name, nullptr);
    }
    ASSERT_EQ(SalMemLiveBlocks(), live);
  }
}

// Rules of the POSIX backend that the Windows converters leave to the system.
TEST(SalCodePageConvertPosix, MissingUndefinedAndStatefulCharacters) {
  if (!SAL_OS_POSIX) GTEST_SKIP() << "the system's converters decide these on Windows";
  int used = 0;
  // A character the code page lacks is no invalid input: default characters
  // (one per unit), not a failure, even with SAL_WC_ERR_INVALID_CHARS.
  EXPECT_EQ(FromWide(1252, u"a\U0001F600b", SAL_WC_ERR_INVALID_CHARS, nullptr, &used), "a??b");
  EXPECT_EQ(used, 1);
  EXPECT_EQ(FromWide(1252, u"a\xD800" u"b", SAL_WC_ERR_INVALID_CHARS), "<failed>");
  EXPECT_EQ(FromWide(1252, u"a\xDC00" u"b"), "a?b");
  // 1250 names nothing at 81, 83, 88, 90 and 98: they stand for C1 controls
  // both ways, and 80 is the euro sign, so U+0080 has no byte there.
  EXPECT_EQ(ToWide(1250, "\x81\x83\x8A"), u"\u0081\u0083\u0160");
  EXPECT_EQ(FromWide(1250, u"\u0081\u0083\u0160", 0, nullptr, &used), "\x81\x83\x8A");
  EXPECT_EQ(used, 0);
  EXPECT_EQ(FromWide(1250, u"\u0080", 0, nullptr, &used), "?");
  EXPECT_EQ(used, 1);
  // Elsewhere a byte the code page does not define is replaced.
  EXPECT_EQ(ToWide(51949, "a\xFF" "b"), u"a\xFFFD" u"b");
  // ISO-2022-JP is in its kanji state when the missing character comes: the
  // default character is written in the initial state, and the text reads
  // back.
  const std::string bytes = FromWide(50220, u"\u65E5\u00E9\u65E5", SAL_WC_NO_BEST_FIT_CHARS, nullptr, &used);
  EXPECT_EQ(used, 1);
  EXPECT_EQ(ToWide(50220, bytes), u"\u65E5?\u65E5");
}
