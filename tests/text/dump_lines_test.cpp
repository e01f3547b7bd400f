// dump_lines_test.cpp - hex and text dump lines and quoted literal chunks.
// Their double-byte forms are in dbcs_test.cpp.
#include "text/dump_lines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/text_buffers.h"

TEST(DumpLines, HexLinesHoldOffsetTextAndHexColumns) {
  std::vector<unsigned char> data = {'A', 'B', 0x01};
  Guarded out(kHexDumpLineSize);
  uint32_t offset = 0;
  ASSERT_EQ(HexDumpLine(&offset, out.Out(), out.capacity, data.data(), 3), 1);
  EXPECT_STREQ(out.Out(), ("00000000  AB+" + std::string(15, ' ') + "41 42 01 ").c_str());
  EXPECT_EQ(offset, 3u);
  EXPECT_EQ(HexDumpLine(&offset, out.Out(), out.capacity, data.data(), 3), 0);  // at the end

  data.resize(40);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(0xF0 + i);
  offset = 0;
  for (uint32_t expected : {16u, 32u, 40u}) {
    ASSERT_EQ(HexDumpLine(&offset, out.Out(), out.capacity, data.data(), 40), 1);
    EXPECT_EQ(offset, expected);
    EXPECT_TRUE(out.Intact());
  }
  EXPECT_EQ(std::string(out.Out(), 8), "00000020");
  offset = 0;
  ASSERT_EQ(HexDumpLine(&offset, out.Out(), out.capacity, data.data(), 40), 1);
  EXPECT_EQ(std::strlen(out.Out()), kHexDumpLineSize - 1) << "a full line fills the buffer exactly";
  offset = 0;
  EXPECT_EQ(HexDumpLine(&offset, out.Out(), kHexDumpLineSize - 1, data.data(), 40), 0);
  EXPECT_EQ(HexDumpLine(nullptr, out.Out(), out.capacity, data.data(), 40), 0);
  EXPECT_EQ(HexDumpLine(&offset, out.Out(), out.capacity, nullptr, 40), 0);
  offset = 41;
  EXPECT_EQ(HexDumpLine(&offset, out.Out(), out.capacity, data.data(), 40), 0);
}

TEST(DumpLines, TextLinesEscapeOrDropLineBreaksAndStopAt96Bytes) {
  const char data[] = "a\tb c\r\n\r\nnext";
  const uint32_t length = sizeof data - 1;
  char out[kTextDumpLineSize];
  uint32_t offset = 0;
  ASSERT_EQ(TextDumpLine(&offset, out, sizeof out, data, length, 1, '_'), 1);
  EXPECT_STREQ(out, "a\\tb_c\\r\\n\\r\\n");
  EXPECT_EQ(offset, 9u);
  ASSERT_EQ(TextDumpLine(&offset, out, sizeof out, data, length, 1, '_'), 1);
  EXPECT_STREQ(out, "next");
  EXPECT_EQ(TextDumpLine(&offset, out, sizeof out, data, length, 1, '_'), 0);
  offset = 0;
  ASSERT_EQ(TextDumpLine(&offset, out, sizeof out, data, length, 0, '_'), 1);
  EXPECT_STREQ(out, "a\tb c");
  EXPECT_EQ(TextDumpLine(&offset, out, kTextDumpLineSize - 1, data, length, 0, '_'), 0);

  // The worst case: every byte escaped.
  const std::string tabs(200, '\t');
  Guarded big(kTextDumpLineSize);
  offset = 0;
  ASSERT_EQ(TextDumpLine(&offset, big.Out(), big.capacity, tabs.data(), 200, 1, ' '), 1);
  EXPECT_EQ(offset, 96u);
  EXPECT_EQ(std::strlen(big.Out()), 192u + 3u);
  EXPECT_EQ(std::string(big.Out() + 192), " >>");
  EXPECT_TRUE(big.Intact());
  // A long run of line breaks is consumed whole but written only as far as
  // the room goes.
  const std::string breaks = "x" + std::string(300, '\n') + "y";
  offset = 0;
  ASSERT_EQ(TextDumpLine(&offset, big.Out(), big.capacity, breaks.data(), 302, 1, ' '), 1);
  EXPECT_EQ(offset, 301u);
  EXPECT_TRUE(big.Intact());
}

TEST(DumpLines, QuotedLiteralsChunkAtWidthOrAfterALineFeed) {
  const char text[] = "abcdefgh\nij";
  char out[64];
  uint32_t index = 0;
  ASSERT_EQ(QuotedLiteralLine(&index, out, sizeof out, text, 5, '"', 1), 1);
  EXPECT_STREQ(out, "\"abc\"");  // opening quote + 3 = width - 1
  ASSERT_EQ(QuotedLiteralLine(&index, out, sizeof out, text, 40, '"', 1), 1);
  EXPECT_STREQ(out, "\"defgh\\n\"");
  ASSERT_EQ(QuotedLiteralLine(&index, out, sizeof out, text, 40, '"', 1), 1);
  EXPECT_STREQ(out, "\"ij\"");
  EXPECT_EQ(QuotedLiteralLine(&index, out, sizeof out, text, 40, '"', 1), 0);
  EXPECT_STREQ(out, "\"");
  // Without escape the controls vanish, quotes stay.
  index = 0;
  ASSERT_EQ(QuotedLiteralLine(&index, out, sizeof out, "a\t\"b\\", 40, '\'', 0), 1);
  EXPECT_STREQ(out, "'a\"b\\'");
  index = 0;
  ASSERT_EQ(QuotedLiteralLine(&index, out, sizeof out, "a\"b\\", 40, '\'', 1), 1);
  EXPECT_STREQ(out, "'a\\\"b\\\\'");
  // Tiny widths still progress.
  index = 0;
  ASSERT_EQ(QuotedLiteralLine(&index, out, sizeof out, "xyz", 0, '"', 1), 1);
  EXPECT_STREQ(out, "\"x\"");
  EXPECT_EQ(index, 1u);
  // Four bytes must stay free: a capacity of 7 holds the quote and two
  // characters before the chunk is cut.
  Guarded small(7);
  index = 0;
  EXPECT_EQ(QuotedLiteralLine(&index, small.Out(), small.capacity, "abcdef", 40, '"', 1), 0);
  EXPECT_STREQ(small.Out(), "\"ab");
  EXPECT_EQ(index, 2u);
  EXPECT_TRUE(small.Intact());
  EXPECT_EQ(QuotedLiteralLine(&index, small.Out(), 1, "abcdef", 40, '"', 1), 0);
  EXPECT_EQ(QuotedLiteralLine(nullptr, out, sizeof out, "a", 40, '"', 1), 0);
}

TEST(DumpLines, QuotedBlocksSeparateChunksByIndentedLines) {
  char out[128];
  ASSERT_EQ(QuotedLiteralBlock(out, sizeof out, "abcdefg", 2, 5, '\''), 1);
  EXPECT_STREQ(out, "'abc'\n  'def'\n  'g'");
  ASSERT_EQ(QuotedLiteralBlock(out, sizeof out, "", 2, 5, '\''), 1);
  EXPECT_STREQ(out, "''");
  Guarded small(12);
  EXPECT_EQ(QuotedLiteralBlock(small.Out(), small.capacity, "abcdefghijklmnop", 2, 5, '\''), 0);
  EXPECT_LT(std::strlen(small.Out()), small.capacity);
  EXPECT_TRUE(small.Intact());
  EXPECT_EQ(QuotedLiteralBlock(out, sizeof out, nullptr, 2, 5, '\''), 0);
}
