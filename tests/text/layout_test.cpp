// layout_test.cpp - hex and text dump lines, quoted literal chunks, the SQL
// statement layout and base-100 numbers.  Double-byte dump forms are in
// dbcs_test.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "support/sql_literals.h"
#include "support/text_buffers.h"
#include "text/dump_lines.h"
#include "text/number_layout.h"
#include "text/sql_layout.h"

namespace {
std::string Sql(const std::string &statement, int keywords, int brackets, uint32_t indent, uint32_t width) {
  CCommonString out;
  const CCommonString in(statement.data(), static_cast<uint32_t>(statement.size()));
  EXPECT_EQ(FormatSqlStatement(out, in, keywords, brackets, indent, width), 1);
  return std::string(out.CStr(), out.GetLength());
}

std::vector<uint8_t> Encode(double value, uint32_t flags, uint32_t size = 32, int *result = nullptr) {
  std::vector<uint8_t> buffer(size + 1, 0xEE);  // one guard byte
  uint32_t length = size;
  const int r = EncodeNumber(value, buffer.data(), &length, flags);
  EXPECT_EQ(buffer[size], 0xEE) << "wrote past the buffer";
  if (result != nullptr) *result = r;
  buffer.resize(length);
  return buffer;
}
using Bytes8 = std::vector<uint8_t>;
}  // namespace

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
    EXPECT_TRUE(offset == expected && out.Intact());
  }
  EXPECT_EQ(std::string(out.Out(), 8), "00000020");
  offset = 0;
  ASSERT_EQ(HexDumpLine(&offset, out.Out(), out.capacity, data.data(), 40), 1);
  EXPECT_EQ(std::strlen(out.Out()), kHexDumpLineSize - 1) << "a full line fills the buffer exactly";
  offset = 0;
  EXPECT_EQ(HexDumpLine(&offset, out.Out(), kHexDumpLineSize - 1, data.data(), 40) +
                HexDumpLine(nullptr, out.Out(), out.capacity, data.data(), 40) +
                HexDumpLine(&offset, out.Out(), out.capacity, nullptr, 40),
            0);
  offset = 41;
  EXPECT_EQ(HexDumpLine(&offset, out.Out(), out.capacity, data.data(), 40), 0);
}

TEST(DumpLines, TextLinesEscapeOrDropLineBreaksAndStopAt96Bytes) {
  const char data[] = "a\tb c\r\n\r\nnext";
  char out[kTextDumpLineSize];
  uint32_t offset = 0;
  ASSERT_EQ(TextDumpLine(&offset, out, sizeof out, data, 13, 1, '_'), 1);
  EXPECT_STREQ(out, "a\\tb_c\\r\\n\\r\\n");
  EXPECT_EQ(offset, 9u);
  ASSERT_EQ(TextDumpLine(&offset, out, sizeof out, data, 13, 1, '_'), 1);
  EXPECT_STREQ(out, "next");
  EXPECT_EQ(TextDumpLine(&offset, out, sizeof out, data, 13, 1, '_'), 0);
  offset = 0;
  ASSERT_EQ(TextDumpLine(&offset, out, sizeof out, data, 13, 0, '_'), 1);
  EXPECT_STREQ(out, "a\tb c");
  EXPECT_EQ(TextDumpLine(&offset, out, kTextDumpLineSize - 1, data, 13, 0, '_'), 0);
  // The worst case, every byte escaped; then a run of line breaks, consumed
  // whole but written only as far as the room goes.
  const std::string tabs(200, '\t'), breaks = "x" + std::string(300, '\n') + "y";
  Guarded big(kTextDumpLineSize);
  offset = 0;
  ASSERT_EQ(TextDumpLine(&offset, big.Out(), big.capacity, tabs.data(), 200, 1, ' '), 1);
  EXPECT_EQ(offset, 96u);
  EXPECT_EQ(std::strlen(big.Out()), 192u + 3u);
  EXPECT_EQ(std::string(big.Out() + 192), " >>");
  offset = 0;
  ASSERT_EQ(TextDumpLine(&offset, big.Out(), big.capacity, breaks.data(), 302, 1, ' '), 1);
  EXPECT_EQ(offset, 301u);
  EXPECT_TRUE(big.Intact());
}

TEST(DumpLines, QuotedLiteralsChunkAtWidthOrAfterALineFeed) {
  char out[64];
  uint32_t index = 0;
  for (auto [width, chunk] : {std::pair<uint32_t, const char *>{5, "\"abc\""}, {40, "\"defgh\\n\""}, {40, "\"ij\""}}) {
    ASSERT_EQ(QuotedLiteralLine(&index, out, sizeof out, "abcdefgh\nij", width, '"', 1), 1);
    EXPECT_STREQ(out, chunk);  // opening quote + width - 2 characters
  }
  EXPECT_EQ(QuotedLiteralLine(&index, out, sizeof out, "abcdefgh\nij", 40, '"', 1), 0);
  EXPECT_STREQ(out, "\"");
  const struct {
    const char *text;
    uint32_t width;
    char quote;
    int escape;
    const char *chunk;
    uint32_t index;
  } kCases[] = {{"a\t\"b\\", 40, '\'', 0, "'a\"b\\'", 5},  // without escape the controls vanish, quotes stay
                {"a\"b\\", 40, '\'', 1, "'a\\\"b\\\\'", 4}, {"xyz", 0, '"', 1, "\"x\"", 1}};  // tiny widths progress
  for (const auto &c : kCases) {
    index = 0;
    ASSERT_EQ(QuotedLiteralLine(&index, out, sizeof out, c.text, c.width, c.quote, c.escape), 1);
    EXPECT_STREQ(out, c.chunk);
    EXPECT_EQ(index, c.index);
  }
  // Four bytes must stay free: a capacity of 7 holds the quote and two characters.
  Guarded small(7);
  index = 0;
  EXPECT_EQ(QuotedLiteralLine(&index, small.Out(), small.capacity, "abcdef", 40, '"', 1), 0);
  EXPECT_STREQ(small.Out(), "\"ab");
  EXPECT_TRUE(index == 2 && small.Intact());
  EXPECT_EQ(QuotedLiteralLine(&index, small.Out(), 1, "abcdef", 40, '"', 1) +
                QuotedLiteralLine(nullptr, out, sizeof out, "a", 40, '"', 1),
            0);
  ASSERT_EQ(QuotedLiteralBlock(out, sizeof out, "abcdefg", 2, 5, '\''), 1);
  EXPECT_STREQ(out, "'abc'\n  'def'\n  'g'");
  ASSERT_EQ(QuotedLiteralBlock(out, sizeof out, "", 2, 5, '\''), 1);
  EXPECT_STREQ(out, "''");
  // Every capacity: the whole block, or a failure that stays inside the
  // buffer; the last line, like every line, wants its four bytes of room.
  for (uint32_t indent : {0u, 2u}) {
    const std::string gap = "\n" + std::string(indent, ' '), block = "'abc'" + gap + "'def'" + gap + "'g'";
    for (size_t capacity = 3; capacity < block.size() + 6; ++capacity) {
      Guarded buffer(capacity);
      const int done = QuotedLiteralBlock(buffer.Out(), capacity, "abcdefg", indent, 5, '\'');
      EXPECT_EQ(done, capacity >= block.size() + 3 ? 1 : 0) << capacity;
      if (done == 1) {
        EXPECT_EQ(buffer.Out(), block) << capacity;
      }
      EXPECT_TRUE(std::strlen(buffer.Out()) < capacity && buffer.Intact()) << capacity;
    }
  }
  EXPECT_EQ(QuotedLiteralBlock(out, sizeof out, nullptr, 2, 5, '\''), 0);
}

TEST(SqlLayout, KeywordBreaksWrappingBracketsAndLiterals) {
  const struct {
    const char *in;
    int keywords, brackets;
    uint32_t indent, width;
    const char *out;
  } kCases[] = {
      {"select a from t where b = 1", 1, 0, 0, 200, "select a \nfrom t \nwhere b = 1;"},
      {"  \n\tselect a FROM t;", 1, 0, 2, 200, "select a \n  FROM t;"},
      {"select a,  b,c from t", 1, 0, 0, 200, "select a,b,c \nfrom t;"}, {"", 1, 0, 0, 200, ""},
      {"delete from a; delete from b", 1, 1, 0, 200, "[delete \nfrom a; delete \nfrom b]"},
      {"select 1", 1, 1, 0, 200, "select 1;"},
      // The break comes before the blank, which starts the next line, with keyword breaks on or off.
      {"aaa bbb ccc ddd", 0, 0, 0, 8, "aaa bbb\n   ccc\n   ddd;"},
      {"aaa bbb ccc ddd", 0, 0, 0, 12, "aaa bbb ccc\n   ddd;"},
      {"aaa bbb ccc ddd", 1, 0, 0, 8, "aaa bbb\n   ccc\n   ddd;"},
      {"x abcdefghijklmnop y", 0, 0, 0, 6, "x\n   abcdefghijklmnop\n   y;"},  // a long word is not broken up
      {"a\r\n\r\nb", 0, 0, 1, 200, "a \n b;"},  // without keyword breaks a line break becomes a space and a new line
      {"x = '' and y = 'it''s'", 1, 0, 0, 200, "x = '' \nand y = 'it''s';"},
      {"x = 'a b c d e f g h' and z", 1, 0, 0, 6, "x = 'a b c d e f g h' \nand z;"},
      {"x = yy 'a b c d e f g h'", 0, 0, 0, 8, "x = yy\n   'a b c d e f g h'\n  ;"},  // ";" wraps too
      {"x = 'open", 1, 0, 0, 200, "x = 'open;"},  // unterminated: copied to the end
      {"\"q\"", 0, 0, 0, 200, "\"q\";"},
  };
  for (const auto &c : kCases) EXPECT_EQ(Sql(c.in, c.keywords, c.brackets, c.indent, c.width), c.out) << c.in;
  EXPECT_EQ(IsSqlBreakKeyword("ORDER by"), 1);
  EXPECT_EQ(IsSqlBreakKeyword("order") + IsSqlBreakKeyword("andy ") + IsSqlBreakKeyword(nullptr), 0);
}

// Over generated statements, every literal of the input reaches the output
// unchanged and in order, for both modes and many widths.
TEST(SqlLayout, NeverBreaksInsideALiteral) {
  const char *const words[] = {"select", "from", "where", "and", "a", "bb", "set", ",", "  ", "\t", "\r\n", "=", "1",
                               "values", "'x y'", "''", "'it''s a b'", "\"q r s\"", "'\n'", "'long literal with spaces'"};
  std::mt19937 random(99);
  for (int i = 0; i < 3000; ++i) {
    std::string statement;
    for (int k = 0, n = 1 + static_cast<int>(random() % 25); k < n; ++k)
      statement += std::string(words[random() % 20]) + (random() % 3 ? " " : "");
    for (int keywords : {0, 1}) {
      const std::string out = Sql(statement, keywords, 1, random() % 7, 1 + random() % 40);
      ASSERT_EQ(SqlLiterals(out), SqlLiterals(statement)) << statement << "\n" << out;
    }
  }
}

TEST(NumberLayout, KnownValuesHaveTheirByteForms) {
  const struct {
    double value;
    uint32_t flags;
    Bytes8 bytes;
  } kCases[] = {
      {0, 0, {0x80}},          {1, 0, {0xC1, 0x02}},         {100, 0, {0xC2, 0x02}},
      {-1, 0, {0x3E, 0x64, 0x66}}, {0.5, 0, {0xC0, 0x33}},   {1, kNumberVarnum, {0x02, 0xC1, 0x02}},
      {0, kNumberVarnum, {0x01, 0x80}},                      {123.45, 0, {0xC2, 0x02, 0x18, 0x2E}},
      {-123.45, 0, {0x3D, 0x64, 0x4E, 0x38, 0x66}},          {0.07, 0, {0xC0, 0x08}},
      {1234567.0, 0, {0xC4, 0x02, 0x18, 0x2E, 0x44}},        {1e-129, 0, {0x80, 11}},  // just inside the range
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.value);
    int result = -1;
    EXPECT_EQ(Encode(c.value, c.flags, 32, &result), c.bytes);
    EXPECT_EQ(result, kNumberExact);
    const size_t skip = (c.flags & kNumberVarnum) != 0 ? 1 : 0;
    double back = -99;
    ASSERT_EQ(DecodeNumber(c.bytes.data() + skip, static_cast<uint32_t>(c.bytes.size() - skip), &back), 0);
    EXPECT_NEAR(back, c.value, 1e-12);
  }
  // Digit bytes out of range: 0, 101 - 1 = 100 either way, 102 inside (only an end).
  const uint8_t bad[][3] = {{0xC1, 0x00}, {0xC1, 0x65}, {0x3E, 0x01}, {0x3E, 0x66, 0x64}};
  double out = 5;
  for (const auto &b : bad) EXPECT_EQ(DecodeNumber(b, b[2] != 0 ? 3 : 2, &out), 1);
  EXPECT_EQ(DecodeNumber(nullptr, 2, &out) + DecodeNumber(bad[0], 0, &out), 2);
}

TEST(NumberLayout, SmallBuffersAndExtremeValuesCutOrRefuse) {
  int result = -1;
  EXPECT_EQ(Encode(1, 0, 1, &result), Bytes8({0xC1}));  // the exponent alone, the digits cut
  EXPECT_EQ(result, kNumberCut);
  EXPECT_TRUE(Encode(1, kNumberVarnum, 1, &result).empty());  // no room for the exponent behind the prefix
  EXPECT_EQ(result, kNumberNoRoom);
  EXPECT_TRUE(Encode(1, 0, 0, &result).empty());
  EXPECT_EQ(result, kNumberNoRoom);
  const Bytes8 cut = Encode(-1.0 / 3.0, 0, 4, &result);  // a negative number cut short keeps its end byte
  EXPECT_EQ(result, kNumberCut);
  EXPECT_EQ(cut, Bytes8({0x3F, 101 - 33, 101 - 33, 102}));  // -0.33..: digits 101 - 33
  const Bytes8 full = Encode(-1.0 / 3.0, kNumberAllDigits, 64, &result);  // twenty digits: no end byte
  EXPECT_TRUE(full.size() == 21 && full.back() != 102);
  uint32_t length = 8;
  EXPECT_EQ(EncodeNumber(1, nullptr, &length, 0), kNumberNoRoom);
  EXPECT_TRUE(Encode(std::nan(""), 0, 8, &result).empty());
  EXPECT_EQ(result, kNumberCut);
  EXPECT_EQ(Encode(1e300, 0, 32, &result)[0], 62 + 193);
  EXPECT_EQ(result, kNumberCut);
  EXPECT_EQ(Encode(-1e300, 0, 32)[0], 62 - 62);
  EXPECT_EQ(Encode(1e-300, 0, 32, &result), Bytes8({0x80}));  // exponent -65, the zero digits dropped
  EXPECT_EQ(result, kNumberCut);
}
