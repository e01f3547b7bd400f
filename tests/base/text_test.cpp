// text_test.cpp - bounded formatting, copies and appends, null-safe helpers.
#include "base/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "support/dbcs_fixture.h"
#include "support/expect_pairs.h"

namespace {
// Shift_JIS: 0x82 0xA0 is one character; 0x5C ('\\') is a valid trail byte.
const char kSjisText[] = "a\x82\xA0\x95\x5C" "b";

// Offsets at which the Shift_JIS characters of text start, and its length,
// found without the library: lead bytes 0x81-0x9F and 0xE0-0xFC take the
// next byte along unless it is the terminator.
std::vector<size_t> ShiftJisBoundaries(const char *text) {
  std::vector<size_t> starts;
  size_t i = 0;
  while (text[i] != '\0') {
    starts.push_back(i);
    const int b = static_cast<unsigned char>(text[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    i += (lead && text[i + 1] != '\0') ? 2 : 1;
  }
  starts.push_back(i);
  return starts;
}

using BoundedTextDbcs = Cp932Test;
}  // namespace

TEST(BoundedFormat, FitsCutsAndRefusesLikePercentS) {
  char buffer[8];
  EXPECT_EQ(BoundedFormat(buffer, sizeof buffer, "%d-%s", 12, "ab"), 5);
  EXPECT_STREQ(buffer, "12-ab");
  EXPECT_EQ(BoundedFormat(buffer, sizeof buffer, "%s", "12345678"), -1);
  EXPECT_STREQ(buffer, "1234567");
  EXPECT_EQ(BoundedFormat(nullptr, 8, "%s", "x"), -1);
  // BoundedFormatString against BoundedFormat with "%s", capacity 0 included.
  for (const std::string t : {"", "a", "1234567", "12345678", "123456789abc"}) {
    for (size_t capacity : {0u, 1u, 2u, 7u, 8u, 9u, 16u}) {
      SCOPED_TRACE(testing::Message() << t << " / " << capacity);
      char viaFormat[16], direct[16];
      std::memset(viaFormat, '#', sizeof viaFormat);
      std::memset(direct, '#', sizeof direct);
      const int n = BoundedFormat(viaFormat, capacity, "%s", t.c_str());
      EXPECT_EQ(n, capacity > t.size() ? static_cast<int>(t.size()) : -1);
      EXPECT_EQ(BoundedFormatString(direct, capacity, t.c_str()), n);
      EXPECT_EQ(std::memcmp(direct, viaFormat, sizeof direct), 0);
      EXPECT_EQ(capacity > 0 ? std::string(viaFormat) : std::string(1, viaFormat[0]),
                capacity > 0 ? t.substr(0, capacity - 1) : "#");
    }
  }
  EXPECT_EQ(BoundedFormatString(buffer, sizeof buffer, nullptr), -1);
}

TEST_F(BoundedTextDbcs, CopyNeverCutsACharacterAtAnyCapacity) {
  // Single bytes, both lead ranges, trail bytes 0x40, 0x5C and 0xFC, and a
  // lead byte before the terminator, which stands alone.
  const char text[] = "a\x82\xA0\x95\x5C" "b\x81\x40\xE0\x40\x95\x5C\xFC\xFC" "c\x82";
  const std::vector<size_t> starts = ShiftJisBoundaries(text);
  const size_t length = std::strlen(text);
  for (size_t capacity = 1; capacity <= length + 2; ++capacity) {
    SCOPED_TRACE(capacity);
    size_t expected = 0;  // the longest whole-character prefix that fits
    for (size_t start : starts)
      if (start <= capacity - 1) expected = start;
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    size_t copied = 99;
    EXPECT_EQ(BoundedCopy(buffer, capacity, text, &copied), expected == length ? 1 : 0);
    EXPECT_EQ(copied, expected);
    EXPECT_EQ(std::string(buffer), std::string(text, expected));
    EXPECT_EQ(buffer[capacity], '#') << "wrote beyond the capacity";
  }
  // BoundedCopyN counts characters, not bytes.
  char buffer[16];
  EXPECT_EQ(BoundedCopyN(buffer, sizeof buffer, kSjisText, 3), 1);
  EXPECT_STREQ(buffer, "a\x82\xA0\x95\x5C");
  EXPECT_EQ(BoundedCopyN(buffer, sizeof buffer, kSjisText, 100), 1);
  EXPECT_STREQ(buffer, kSjisText);
  EXPECT_EQ(BoundedCopyN(buffer, 3, kSjisText, 2), 0);
  EXPECT_STREQ(buffer, "a");
}

TEST(BoundedCopy, SingleByteCodePageNullsAndWideUnits) {
  SalOverrideAnsiCodePage(1252);
  char buffer[5] = "x";
  EXPECT_EQ(BoundedCopy(buffer, sizeof buffer, kSjisText), 0);
  SalOverrideAnsiCodePage(0);
  EXPECT_EQ(std::string(buffer), std::string(kSjisText, 4)) << "a single-byte code page cuts anywhere";
  EXPECT_EQ(BoundedCopy(nullptr, 4, "a"), 0);
  EXPECT_EQ(BoundedCopy(buffer, 4, nullptr), 0);
  EXPECT_EQ(BoundedCopy(buffer, 0, "a"), 0);
  EXPECT_EQ(BoundedCopy(buffer, 4, ""), 1);
  EXPECT_STREQ(buffer, "");

  char16_t wide[4];
  size_t copied = 0;
  EXPECT_EQ(BoundedCopyW(wide, 4, u"abcdef", &copied), 0);
  EXPECT_EQ(copied, 3u);
  EXPECT_EQ(std::u16string(wide), u"abc");
  EXPECT_EQ(BoundedCopyW(wide, 4, u"ab", &copied), 1);
  EXPECT_EQ(std::u16string(wide), u"ab");
  EXPECT_EQ(BoundedCopyW(wide, 0, u"ab"), 0);
}

TEST_F(BoundedTextDbcs, AppendsWholeCharacters) {
  char buffer[6] = "xy";
  size_t appended = 0;
  EXPECT_EQ(BoundedAppend(buffer, sizeof buffer, "\x82\xA0\x82\xA0", &appended), 0);
  EXPECT_STREQ(buffer, "xy\x82\xA0") << "three bytes of room hold one whole character";
  EXPECT_EQ(appended, 2u);
  char small[5] = "xyz";
  EXPECT_EQ(BoundedAppend(small, sizeof small, "\x82\xA0"), 0);
  EXPECT_STREQ(small, "xyz") << "a character that does not fit whole is left out";
  EXPECT_EQ(BoundedAppend(small, sizeof small, "q"), 1);
  EXPECT_STREQ(small, "xyzq");
  char roomy[16] = "ab";
  EXPECT_EQ(BoundedAppend(roomy, sizeof roomy, "\x82\xA0" "cd", &appended), 1);
  EXPECT_STREQ(roomy, "ab\x82\xA0" "cd");
  EXPECT_EQ(appended, 4u);
  char full[4] = {'a', 'b', 'c', 'd'};  // no terminator inside the capacity
  EXPECT_EQ(BoundedAppend(full, sizeof full, "e"), 0);
  EXPECT_EQ(full[3], 'd');

  char chars[4] = "ab";
  EXPECT_EQ(BoundedAppendChar(chars, sizeof chars, 'c'), 1);
  EXPECT_EQ(BoundedAppendChar(chars, sizeof chars, 'd'), 0) << "no room for the terminator";
  EXPECT_STREQ(chars, "abc");
  EXPECT_EQ(BoundedAppendChar(nullptr, 4, 'd'), 0);
}

TEST_F(BoundedTextDbcs, SearchesSkipTrailBytesAndNulls) {
  const char *text = kSjisText;
  // The trail bytes 0x5C of 0x95 0x5C and 0x83 0x5C stand before and after
  // the one real separator at offset 4; a lead byte before the terminator
  // stands alone; characters do not straddle boundaries.
  const char path[] = "\x95\x5C\x95\x5C\\\x83\x5C\x95\x5C";
  const char tail[] = "x\\\x95";
  EXPECT_PAIRS(const char *, {{SafeStrChr(text, '\\'), nullptr},  {SafeStrChr(text, 0x955C), text + 3},
                              {SafeStrRChr(text, 0x82A0), text + 1}, {SafeStrChr(text, 'b'), text + 5},
                              {SafeStrChr(text, 0), text + 6},      {SafeStrStr(text, "\x5C" "b"), nullptr},
                              {SafeStrStr(text, "\x95\x5C"), text + 3}, {SafeStrStr(text, ""), text},
                              {SafeStrChr(path, '\\'), path + 4},  {SafeStrRChr(path, '\\'), path + 4},
                              {SafeStrRChr(path, 0x955C), path + 7}, {SafeStrChr(path, 0x835C), path + 5},
                              {SafeStrChr(path, 0x5C95), nullptr},  {SafeStrRChr(tail, '\\'), tail + 1},
                              {SafeStrRChr(tail, 0x95), tail + 2},  {SafeStrChr(nullptr, 'a'), nullptr},
                              {SafeStrRChr(nullptr, 'a'), nullptr}, {SafeStrStr(nullptr, "a"), nullptr},
                              {SafeStrStr("a", nullptr), nullptr}});
  SalOverrideAnsiCodePage(1252);  // a single-byte code page matches every byte
  EXPECT_PAIRS(const char *, {{SafeStrChr(text, '\\'), text + 4}, {SafeStrRChr(text, '\\'), text + 4}});
  EXPECT_PAIRS(size_t,
               {{SafeStrLen(nullptr), 0}, {SafeStrLen("abc"), 3}, {SafeWcsLen(nullptr), 0}, {SafeWcsLen(u"ab"), 2}});
}

TEST(SafeText, ComparisonsSortNullLast) {
  const char *const null = nullptr;
  EXPECT_SIGNS({{SafeStrCmp(null, null), 0},     {SafeStrICmp(null, null), 0},   {SafeStrCmp(null, ""), 1},
                {SafeStrICmp(null, ""), 1},      {SafeStrCmp("", null), -1},     {SafeStrICmp("", null), -1},
                {SafeStrCmp("abc", "abd"), -1},  {SafeStrICmp("abc", "abd"), -1}, {SafeStrCmp("ABC", "abc"), -1},
                {SafeStrICmp("Zeta", "zeta"), 0}, {SafeStrICmp("b", "A"), 1},    {SafeStrCmp("abc", "ab"), 1}});
}
