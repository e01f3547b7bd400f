// code_page_convert_posix_test.cpp - rules of the POSIX code-page backend
// that the Windows converters leave to the system (POSIX builds only).
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page_convert.h"

namespace {

std::string Narrow(uint32_t codePage, const std::u16string &units, uint32_t flags, int *used) {
  char out[64];
  const int n = SalWideToMultiByte(codePage, units.data(), static_cast<int>(units.size()), out, sizeof out, flags,
                                   nullptr, used);
  return n > 0 ? std::string(out, static_cast<size_t>(n)) : "<failed>";
}

std::u16string Wide(uint32_t codePage, const std::string &bytes) {
  char16_t out[64];
  const int n = SalMultiByteToWide(codePage, bytes.data(), static_cast<int>(bytes.size()), out, 64, 0);
  return n > 0 ? std::u16string(out, static_cast<size_t>(n)) : u"<failed>";
}

}  // namespace

TEST(SalCodePageConvertPosix, MissingCharactersAreNotInvalidOnes) {
  int used = 0;
  // A character the code page lacks is no invalid input: default characters
  // (one per unit), not a failure, even with SAL_WC_ERR_INVALID_CHARS.
  EXPECT_EQ(Narrow(1252, u"a\U0001F600b", SAL_WC_ERR_INVALID_CHARS, &used), "a??b");
  EXPECT_EQ(used, 1);
  EXPECT_EQ(Narrow(1252, u"a\xD800" u"b", SAL_WC_ERR_INVALID_CHARS, &used), "<failed>");
  EXPECT_EQ(Narrow(1252, u"a\xDC00" u"b", 0, &used), "a?b");
}

TEST(SalCodePageConvertPosix, UndefinedBytesOfTheWindowsCodePages) {
  // 1250 names nothing at 81, 83, 88, 90 and 98: they stand for C1 controls
  // both ways.  A defined byte keeps its character.
  EXPECT_EQ(Wide(1250, "\x81\x83\x8A"), u"\u0081\u0083\u0160");
  int used = 0;
  EXPECT_EQ(Narrow(1250, u"\u0081\u0083\u0160", 0, &used), "\x81\x83\x8A");
  EXPECT_EQ(used, 0);
  // 80 is the euro sign in 1250, so U+0080 has no byte there.
  EXPECT_EQ(Narrow(1250, u"\u0080", 0, &used), "?");
  EXPECT_EQ(used, 1);
  // Elsewhere a byte the code page does not define is replaced.
  EXPECT_EQ(Wide(51949, "a\xFF" "b"), u"a\xFFFD" u"b");
}

TEST(SalCodePageConvertPosix, DefaultCharacterInAStatefulCodePage) {
  int used = 0;
  // ISO-2022-JP is in its kanji state when the missing character comes: the
  // default character is written in the initial state, and the text reads
  // back.
  const std::string bytes = Narrow(50220, u"\u65E5\u00E9\u65E5", SAL_WC_NO_BEST_FIT_CHARS, &used);
  EXPECT_EQ(used, 1);
  EXPECT_EQ(Wide(50220, bytes), u"\u65E5?\u65E5");
}

TEST(SalCodePageConvertPosix, NamesFromTheTable) {
  CCommonString name;
  ASSERT_EQ(SalGetCodePageName(1252, &name), 1);
  EXPECT_STREQ(name.CStr(), "1252  (ANSI - Latin I)");
  ASSERT_EQ(SalGetCodePageName(2, &name), 1);
  EXPECT_STREQ(name.CStr(), "10000  (MAC - Roman)");
  EXPECT_EQ(SalIsValidCodePage(1200), 0) << "UTF-16 is not a code page of these functions";
}
