// code_page_test.cpp - lead-byte ranges of the double-byte code pages.
#include "platform/code_page.h"

#include <gtest/gtest.h>

TEST(SalCodePage, DoubleByteLeadRanges) {
  struct Case {
    uint32_t codePage;
    int first, last;  // one lead range
  } ranges[] = {{932, 0x81, 0x9F}, {932, 0xE0, 0xFC}, {936, 0x81, 0xFE},
                {949, 0x81, 0xFE}, {950, 0x81, 0xFE}};
  for (uint32_t cp : {932u, 936u, 949u, 950u}) {
    SCOPED_TRACE(cp);
    for (int b = 0; b < 256; ++b) {
      bool expected = false;
      for (const Case &r : ranges)
        if (r.codePage == cp && b >= r.first && b <= r.last) expected = true;
      ASSERT_EQ(SalIsDbcsLeadByteEx(cp, static_cast<unsigned char>(b)), expected) << b;
    }
  }
  for (int b = 0; b < 256; ++b) {
    EXPECT_FALSE(SalIsDbcsLeadByteEx(1252, static_cast<unsigned char>(b)));
    EXPECT_FALSE(SalIsDbcsLeadByteEx(65001, static_cast<unsigned char>(b)));
  }
}

TEST(SalCodePage, OverrideDrivesTheProcessTable) {
  SalOverrideAnsiCodePage(936);
  EXPECT_EQ(SalGetAnsiCodePage(), 936u);
  EXPECT_TRUE(SalIsLeadByte(0xFE));
  EXPECT_FALSE(SalIsLeadByte('A'));
  SalOverrideAnsiCodePage(932);
  EXPECT_FALSE(SalIsLeadByte(0xFE)) << "the table follows the code page";
  EXPECT_TRUE(SalIsLeadByte(0x81));
  SalOverrideAnsiCodePage(0);
  EXPECT_NE(SalGetAnsiCodePage(), 0u);
}
