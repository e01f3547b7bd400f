// growth_test.cpp - operations that build a text piece by piece grow their
// storage geometrically: the bytes that reallocations may move stay a small
// multiple of the text made, whatever the allocator does.  Counted through
// SalMemReallocBytes, which charges every resize with the block's new size,
// so exact-size growth shows up as quadratic on every system (glibc's
// in-place growth would otherwise hide it).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "base/common_string.h"
#include "base/mem.h"
#include "support/text_buffers.h"
#include "text/bin_output_stream.h"
#include "text/common_msg_buffer.h"
#include "text/common_wide_string.h"
#include "text/escape.h"
#include "text/parse_stream.h"
#include "text/sql_layout.h"

namespace {
constexpr uint32_t kTarget = 1u << 20;  // about this many bytes of output per operation

CCommonString Random(size_t n, uint32_t seed, unsigned set = 0) {  // set: bits forced on (1: no zero byte)
  std::mt19937 random(seed);
  std::string bytes(n, '\0');
  for (char &c : bytes) c = static_cast<char>(random() | set);
  return CCommonString(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

CCommonString Growing() {
  CCommonString s;
  EXPECT_EQ(s.SetGrowth(25, 256, 1024, 0), 1);
  return s;
}

// Runs one operation (its input made beforehand) and checks what it moved
// against the bytes it made (0 when it failed).
void ExpectGeometric(const char *name, const std::function<uint64_t()> &run) {
  const uint64_t before = SalMemReallocBytes();
  const uint64_t made = run();
  const uint64_t moved = SalMemReallocBytes() - before;
  EXPECT_GE(made, kTarget / 2) << name << " made its output";
  EXPECT_LE(moved, 8 * made) << name << ": " << moved << " bytes moved for " << made << " bytes made";
}
}  // namespace

TEST(PieceByPieceGrowth, ReallocationsMoveASmallMultipleOfTheOutput) {
  CCommonString escape = Random(kTarget / 3, 1), unescape = Random(kTarget, 2), html, hexData = Random(kTarget / 2, 3),
                digits, base64 = Random(kTarget / 4 * 3, 5), percent = Random(kTarget / 2, 6, 1), sql("select ");
  ASSERT_EQ(unescape.EscapeC(), 1);
  ASSERT_EQ(digits.AppendHex(Random(kTarget, 4).CStr(), kTarget, 0), 1);
  std::string lines;
  for (uint32_t i = 0; i < kTarget / 16; ++i) lines += "a<b\"\r\nline\n";
  ASSERT_EQ(html.Append(lines.c_str()), 1);
  while (sql.GetLength() < kTarget / 4) sql.Append("alpha, beta from gamma where delta and epsilon ");
  const std::u16string wide(kTarget / 4, u'w');
  CCommonWideString replace(std::u16string(kTarget / 8, u'x').c_str());

  ExpectGeometric("EscapeC", [&] { return escape.EscapeC() == 1 ? escape.GetLength() : 0u; });
  ExpectGeometric("UnescapeC", [&] { return unescape.UnescapeC() == 1 ? unescape.GetLength() : 0u; });
  ExpectGeometric("EscapeHtml", [&] { return html.EscapeHtml() == 1 ? html.GetLength() : 0u; });
  ExpectGeometric("AppendHex in 32-byte steps", [&] {
    CCommonString s = Growing();
    for (uint32_t at = 0; at < hexData.GetLength(); at += 32)
      if (s.AppendHex(hexData.CStr() + at, 32, 1) != 1) return 0u;
    return s.GetLength();
  });
  ExpectGeometric("AppendFromHex in 64-digit steps", [&] {
    CCommonString s = Growing();
    for (uint32_t at = 0; at < digits.GetLength(); at += 64)
      if (s.AppendFromHex(std::string(digits.CStr() + at, 64).c_str(), nullptr, 0, 1) != 1) return 0u;
    return s.GetLength();
  });
  ExpectGeometric("Base64Encode", [&] { return base64.Base64Encode() == 1 ? base64.GetLength() : 0u; });
  ExpectGeometric("PercentEncode", [&] { return percent.PercentEncode() == 1 ? percent.GetLength() : 0u; });
  ExpectGeometric("MakeBlock of many lines", [&] {
    CCommonString s;
    return s.MakeBlock(lines.c_str(), "head", "foot", "  > ", -1) == 1 ? s.GetLength() : 0u;
  });
  ExpectGeometric("FormatSqlStatement wrapping a long statement", [&] {
    CCommonString out;
    return FormatSqlStatement(out, sql, 1, 0, 12, 16) == 1 ? out.GetLength() : 0u;
  });
  ExpectGeometric("16-bit Format of a long text", [&] {
    CCommonWideString s;
    return s.Format(u"<%s|%s>", wide.c_str(), wide.c_str()) == 1 ? s.GetLength() * 2u : 0u;
  });
  ExpectGeometric("16-bit Replace by a longer text",
                  [&] { return replace.Replace(u"x", u"yyyy", 1, CCommonWideString::kAll) != 0 ? replace.GetLength() * 2u : 0u; });
  ExpectGeometric("CBinOutputStream writing short records", [&] {
    CCommonString out;
    CBinOutputStream stream(out, 1);
    for (uint32_t i = 0; out.GetLength() < kTarget; ++i)
      if (stream.WriteString("record") != 1 || stream.WriteUInt32(i) != 1) return 0u;
    return out.GetLength();
  });
  ExpectGeometric("CParseStream reporting short reads", [&] {
    const std::string data(16, '\x7F');
    CCommonMsgBuffer messages("; ");
    CParseStream stream(Span(data), 0, &messages);
    stream.EnterLevelBytes(8);
    for (uint32_t i = 0; i < kTarget / 64; ++i) stream.ReportError("no room for the record", 1);
    CCommonString text;
    messages.GetText(text);
    return text.GetLength();
  });
}

TEST(PieceByPieceGrowth, TheCountSeesResizesOnlyAndAppendPieceFollowsTheGrowthRecordElseGrowsByHalf) {
  const uint64_t before = SalMemReallocBytes();
  void *p = nullptr;
  ASSERT_EQ(MemRealloc(&p, 100), 1);
  EXPECT_EQ(SalMemReallocBytes(), before) << "new storage moves nothing";
  ASSERT_EQ(MemRealloc(&p, 300) + MemRealloc(&p, 50), 2);
  EXPECT_EQ(SalMemReallocBytes(), before + 350);
  ASSERT_EQ(MemRealloc(&p, 0), 1);
  EXPECT_EQ(SalMemReallocBytes(), before + 350) << "a release moves nothing";
  const std::string piece(100, 'p');
  for (bool record : {true, false}) {  // the record: 25 percent + 256 from 1024 on
    CCommonString s = record ? Growing() : CCommonString();
    for (uint32_t i = 0, capacity = 0; i < 300; ++i, capacity = s.GetCapacity()) {
      ASSERT_EQ(s.AppendPiece(piece.data(), 100), 1);
      const uint32_t needed = s.GetLength() + 1;
      const uint32_t expected = record ? (needed >= 1024 ? needed + needed / 4 + 256 : needed) : needed + needed / 2 + 256;
      ASSERT_TRUE(s.GetCapacity() == capacity || s.GetCapacity() == expected) << record << " after " << s.GetLength();
    }
    EXPECT_EQ(s.GetLength(), 30000u);
  }
}
