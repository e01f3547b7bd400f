// growth_test.cpp - operations that build a text piece by piece grow their
// storage geometrically: the bytes that reallocations may move stay a small
// multiple of the text made, whatever the allocator does.  Counted through
// SalMemReallocBytes, which charges every resize with the block's new size,
// so exact-size growth shows up as quadratic on every system (glibc's
// in-place growth would otherwise hide it).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "base/common_string.h"
#include "base/mem.h"
#include "text/bin_output_stream.h"
#include "text/common_msg_buffer.h"
#include "text/common_wide_string.h"
#include "text/escape.h"
#include "text/parse_stream.h"
#include "text/sql_layout.h"

namespace {

constexpr uint32_t kTarget = 1u << 20;  // about this many bytes of output per operation

std::string RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(n, '\0');
  for (char &c : bytes) c = static_cast<char>(random());
  return bytes;
}

CCommonString Copy(const std::string &bytes) {
  return CCommonString(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

CCommonString Growing() {
  CCommonString s;
  EXPECT_EQ(s.SetGrowth(25, 256, 1024, 0), 1);
  return s;
}

// One operation: prepares its input outside the count, then runs and
// answers the bytes of output it made (0 when it failed).
struct Operation {
  const char *name;
  std::function<std::function<uint64_t()>()> prepare;
};

const Operation kOperations[] = {
    {"EscapeC of random bytes",
     [] {
       auto s = std::make_shared<CCommonString>(Copy(RandomBytes(kTarget / 3, 1)));
       return [s] { return s->EscapeC() == 1 ? s->GetLength() : 0u; };
     }},
    {"UnescapeC back to random bytes",
     [] {
       auto s = std::make_shared<CCommonString>(Copy(RandomBytes(kTarget, 2)));
       EXPECT_EQ(s->EscapeC(), 1);
       return [s] { return s->UnescapeC() == 1 ? s->GetLength() : 0u; };
     }},
    {"EscapeHtml",
     [] {
       std::string text;
       for (uint32_t i = 0; i < kTarget / 16; ++i) text += "a<b\"\r\n";
       auto s = std::make_shared<CCommonString>(Copy(text));
       return [s] { return s->EscapeHtml() == 1 ? s->GetLength() : 0u; };
     }},
    {"AppendHex in 32-byte steps onto a growing string",
     [] {
       auto data = std::make_shared<std::string>(RandomBytes(kTarget / 2, 3));
       return [data] {
         CCommonString s = Growing();
         for (size_t at = 0; at < data->size(); at += 32)
           if (s.AppendHex(data->data() + at, 32, 1) != 1) return uint64_t{0};
         return uint64_t{s.GetLength()};
       };
     }},
    {"AppendFromHex in 64-digit steps onto a growing string",
     [] {
       auto digits = std::make_shared<CCommonString>();
       const std::string bytes = RandomBytes(kTarget, 4);
       EXPECT_EQ(digits->AppendHex(bytes.data(), kTarget, 0), 1);
       return [digits] {
         CCommonString s = Growing();
         std::string step;
         for (uint32_t at = 0; at < digits->GetLength(); at += 64) {
           step.assign(digits->CStr() + at, 64);
           if (s.AppendFromHex(step.c_str(), nullptr, 0, 1) != 1) return uint64_t{0};
         }
         return uint64_t{s.GetLength()};
       };
     }},
    {"Base64Encode",
     [] {
       auto s = std::make_shared<CCommonString>(Copy(RandomBytes(kTarget / 4 * 3, 5)));
       return [s] { return s->Base64Encode() == 1 ? s->GetLength() : 0u; };
     }},
    {"PercentEncode",
     [] {
       std::string text = RandomBytes(kTarget / 2, 6);
       for (char &c : text) c = c == '\0' ? '%' : c;
       auto s = std::make_shared<CCommonString>(Copy(text));
       return [s] { return s->PercentEncode() == 1 ? s->GetLength() : 0u; };
     }},
    {"MakeBlock of many lines",
     [] {
       std::string text;
       for (uint32_t i = 0; i < kTarget / 9; ++i) text += "line\n";
       auto lines = std::make_shared<std::string>(text);
       return [lines] {
         CCommonString s;
         return s.MakeBlock(lines->c_str(), "head", "foot", "  > ", -1) == 1 ? s.GetLength() : 0u;
       };
     }},
    {"FormatSqlStatement wrapping a long statement",
     [] {
       std::string sql = "select ";
       while (sql.size() < kTarget / 4) sql += "alpha, beta from gamma where delta and epsilon ";
       auto in = std::make_shared<CCommonString>(Copy(sql));
       return [in] {
         CCommonString out;
         return FormatSqlStatement(out, *in, 1, 0, 12, 16) == 1 ? out.GetLength() : 0u;
       };
     }},
    {"16-bit Format of a long text",
     [] {
       auto text = std::make_shared<std::u16string>(kTarget / 4, u'w');
       return [text] {
         CCommonWideString s;
         if (s.Format(u"<%s|%s>", text->c_str(), text->c_str()) != 1) return uint64_t{0};
         return uint64_t{s.GetLength()} * 2;
       };
     }},
    {"16-bit Replace by a longer text",
     [] {
       auto s = std::make_shared<CCommonWideString>(std::u16string(kTarget / 8, u'x').c_str());
       return [s] { return s->Replace(u"x", u"yyyy", 1, CCommonWideString::kAll) != 0 ? s->GetLength() * 2u : 0u; };
     }},
    {"CBinOutputStream writing short records",
     [] {
       return [] {
         CCommonString out;
         CBinOutputStream stream(out, 1);
         for (uint32_t i = 0; out.GetLength() < kTarget; ++i)
           if (stream.WriteString("record") != 1 || stream.WriteUInt32(i) != 1) return uint64_t{0};
         return uint64_t{out.GetLength()};
       };
     }},
    {"CParseStream reporting short reads",
     [] {
       return [] {
         const std::string data(16, '\x7F');
         TextSpan span;
         span.start = data.data();
         span.length = data.size();
         CCommonMsgBuffer messages("; ");
         CParseStream stream(span, 0, &messages);
         stream.EnterLevelBytes(8);
         CCommonString text;
         for (uint32_t i = 0; i < kTarget / 64; ++i) stream.ReportError("no room for the record", 1);
         messages.GetText(text);
         return uint64_t{text.GetLength()};
       };
     }},
};

}  // namespace

TEST(PieceByPieceGrowth, ReallocationsMoveASmallMultipleOfTheOutput) {
  for (const Operation &operation : kOperations) {
    SCOPED_TRACE(operation.name);
    const auto run = operation.prepare();
    const uint64_t before = SalMemReallocBytes();
    const uint64_t made = run();
    const uint64_t moved = SalMemReallocBytes() - before;
    ASSERT_GE(made, kTarget / 2) << "the operation made its output";
    EXPECT_LE(moved, 8 * made) << moved << " bytes moved for " << made << " bytes made";
  }
}

TEST(PieceByPieceGrowth, TheCountSeesResizesOnly) {
  const uint64_t before = SalMemReallocBytes();
  void *p = nullptr;
  ASSERT_EQ(MemRealloc(&p, 100), 1);
  EXPECT_EQ(SalMemReallocBytes(), before) << "new storage moves nothing";
  ASSERT_EQ(MemRealloc(&p, 300), 1);
  ASSERT_EQ(MemRealloc(&p, 50), 1);
  EXPECT_EQ(SalMemReallocBytes(), before + 350);
  ASSERT_EQ(MemRealloc(&p, 0), 1);
  EXPECT_EQ(SalMemReallocBytes(), before + 350) << "a release moves nothing";
}

TEST(PieceByPieceGrowth, AppendPieceFollowsAGrowthRecordElseGrowsByHalf) {
  struct Case {
    const char *name;
    bool record;  // growth 25 percent + 256 from 1024
  } cases[] = {{"with a growth record", true}, {"without one", false}};
  const std::string piece(100, 'p');
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    CCommonString s;
    if (c.record) {
      ASSERT_EQ(s.SetGrowth(25, 256, 1024, 0), 1);
    }
    uint32_t capacity = 0;
    for (int i = 0; i < 300; ++i) {
      ASSERT_EQ(s.AppendPiece(piece.data(), 100), 1);
      if (s.GetCapacity() == capacity) continue;
      const uint32_t needed = s.GetLength() + 1;
      const uint32_t expected = c.record ? (needed >= 1024 ? needed + needed / 4 + 256 : needed)
                                         : needed + needed / 2 + 256;
      ASSERT_EQ(s.GetCapacity(), expected) << "after " << s.GetLength() << " bytes";
      capacity = s.GetCapacity();
    }
    EXPECT_EQ(s.GetLength(), 30000u);
  }
}
