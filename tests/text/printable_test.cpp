// printable_test.cpp - the printable tests and the masking of unprintable
// bytes.  The double-byte forms in the process's code page are in
// dbcs_test.cpp.
#include "text/printable.h"

#include <gtest/gtest.h>

#include <string>

#include "base/common_string.h"
#include "support/text_buffers.h"

TEST(Printable, CharacterTestsByByte) {
  for (int c = 0; c < 256; ++c) {
    SCOPED_TRACE(c);
    const unsigned char b = static_cast<unsigned char>(c);
    EXPECT_EQ(IsPrintableChar(b), (c >= 32 && c <= 126) || (c >= 160 && c <= 254));
    EXPECT_EQ(IsPrintableOrHighChar(b), (c >= 32 && c <= 126) || (c >= 128 && c <= 254));
    EXPECT_EQ(IsSpaceChar(b), (c >= 9 && c <= 13) || c == 32);
  }
  EXPECT_TRUE(IsSpaceCharW(u'\v'));
  EXPECT_FALSE(IsSpaceCharW(0x2009));  // only the single-byte spaces
  EXPECT_FALSE(IsSpaceCharW(0x0120));
}

TEST(Printable, TextsRangesAndMasks) {
  EXPECT_EQ(IsPrintableText("tab\tand\r\nline\x0B\xA0"), 1);
  EXPECT_EQ(IsPrintableText("bell\a"), 0);
  EXPECT_EQ(IsPrintableText("\x85"), 0);
  EXPECT_EQ(IsPrintableOrHighText("\x85"), 1);
  EXPECT_EQ(IsPrintableText(""), 1);
  EXPECT_EQ(IsPrintableText(nullptr), 0);
  EXPECT_EQ(IsPrintableRange("ab\0c", 4), 0);  // the zero byte counts
  EXPECT_EQ(IsPrintableRange("ab\0c", 2), 1);
  EXPECT_EQ(IsPrintableRange(nullptr, 0), 0);
  EXPECT_EQ(IsPrintableRange("x", 0), 1);
  // In 932, 0x82 leads a character whose trail byte 0x9F is unprintable
  // alone; in 1252 there are no pairs.
  EXPECT_EQ(IsPrintableRangeMbcs("a\x82\x9F" "b", 4, 932), 1);
  EXPECT_EQ(IsPrintableRangeMbcs("a\x82\x9F" "b", 4, 1252), 0);
  EXPECT_EQ(IsPrintableRangeMbcs("\x82", 1, 932), 1);  // a lead byte at the end
  EXPECT_EQ(IsPrintableRangeMbcs(nullptr, 0, 932), 1);
  EXPECT_EQ(IsPrintableRangeMbcs(nullptr, 2, 932), 0);
  EXPECT_EQ(IsPrintableOrHighRangeMbcs("\x85\x01", 2, 1252), 0);
  EXPECT_EQ(IsPrintableOrHighRangeMbcs("\x82\x01", 2, 932), 1);

  CCommonString s(std::string("a\t\x85\xA0\0z", 6).data(), 6);
  s.MaskNonPrintable('?');
  EXPECT_EQ(Bytes(s), "a??\xA0?z");
}
