// stream_test.cpp - CParseStream (numbers in both byte orders, texts, nested
// levels, located error messages, hostile positions), CBinOutputStream and
// the round trip between them, CCommonTransformStream against a plain
// rebuild, and CCommonMsgBuffer.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"
#include "support/expect_pairs.h"
#include "support/text_buffers.h"
#include "text/bin_output_stream.h"
#include "text/common_msg_buffer.h"
#include "text/parse_stream.h"
#include "text/transform_stream.h"

namespace {
std::string Text(const CCommonMsgBuffer *messages) {
  CCommonString out("stale");
  messages->GetText(out);
  return out.HasStorage() ? Bytes(out) : "<none>";
}

// Counts the creation hook and writes a heading into the new text.
class HeadedBuffer : public CCommonMsgBuffer {
 public:
  HeadedBuffer() : CCommonMsgBuffer("; ") {}
  void OnTextCreated(CCommonString &text) override {
    ++created;
    text.Append("errors: ");
  }
  int created = 0;
};

std::string Taken(CCommonTransformStream &stream, int flush) {
  std::unique_ptr<CCommonString> result(stream.TakeResult(flush));
  return result ? Bytes(*result) : "<none>";
}
}  // namespace

TEST(CParseStream, NumbersStringsAndSpans) {
  const std::string data("\x01\x02\x03\x04\x05\x06", 6), big("\x00\x00\x01\x02", 4);
  CParseStream little(Span(data), 0, nullptr), swapped(Span(big), 1, nullptr);
  uint32_t v = 0;
  const char *p = data.data() + 2;  // a position of the caller's is read and advanced instead
  EXPECT_PAIRS(uint32_t, {{static_cast<uint32_t>(little.ReadUInt32(&v)), 1}, {v, 0x04030201u},
                          {static_cast<uint32_t>(little.ReadUInt32(&v)), 0}, {little.Offset(), 4},  // the failed read did not move
                          {static_cast<uint32_t>(swapped.ReadUInt32(&v)), 1}, {v, 0x102u},
                          {static_cast<uint32_t>(little.ReadUInt32(&v, &p)), 1}, {v, 0x06050403u}, {little.Offset(), 4}});
  EXPECT_EQ(p, data.data() + 6);
  EXPECT_EQ(Text(little.Messages()), "at binary offset dec 4 (hex 4),\nunexpected end of data");

  const std::string texts("\xFF\xFF\xFF\xFF\x03\x00\x00\x00" "abc\x00\x00\x00\x00" "\x09\x00\x00\x00xy", 21);
  CCommonMsgBuffer messages(" | ");
  CParseStream stream(Span(texts), 0, &messages);
  char *none = reinterpret_cast<char *>(1), *text = nullptr;
  ASSERT_EQ(stream.ReadString(&none), 1);  // a null text, then "abc"
  ASSERT_EQ(stream.ReadString(&text), 1);
  EXPECT_EQ(none, nullptr);
  EXPECT_STREQ(text, "abc");
  MemFree(text);
  ASSERT_EQ(stream.ReadString(nullptr), 1) << "no place for the text: the record is passed over";
  EXPECT_EQ(stream.Offset(), 15u);
  text = nullptr;  // a length beyond the data: nothing allocated, the record left unread
  EXPECT_EQ(stream.ReadString(&text), 0);
  EXPECT_TRUE(text == nullptr && stream.Offset() == 15u);
  EXPECT_EQ(Text(&messages), "at binary offset dec 19 (hex 13) | unexpected end of data");
  TextSpan span;
  p = texts.data() + 8;
  ASSERT_EQ(stream.ReadBytes(3, &p, &span), 1);
  EXPECT_EQ(std::string(span.start, span.length), "abc");
  ASSERT_EQ(stream.ReadBytes(0, nullptr, &span), 1);
  EXPECT_TRUE(span.start == texts.data() + 15 && span.length == 0);
}

TEST(CParseStream, LevelsNarrowTheEndAndHostileInputsAreRefused) {
  const std::string data(12, 'x');
  CParseStream stream(Span(data), 0, nullptr);
  EXPECT_EQ(stream.LeaveLevel() + stream.EnterLevel(data.data() + 13), 0);  // none to leave; beyond the end
  uint32_t v = 0;
  EXPECT_PAIRS(int, {{stream.EnterLevel(data.data() + 8), 1}, {stream.ReadUInt32(&v), 1}, {stream.EnterLevelBytes(4), 1},
                     {stream.EnterLevelBytes(5), 0}, {static_cast<int>(stream.NestingLevel()), 2}, {stream.ReadUInt32(&v), 1},
                     {stream.IsAtEnd(0), 1}, {stream.IsAtEnd(1), 0}, {stream.ReadUInt32(&v), 0},  // the level's end holds
                     {stream.LeaveLevel(), 1}, {stream.LeaveLevel(), 1}, {stream.IsAtEnd(1), 0}, {stream.ReadUInt32(&v), 1},
                     {stream.IsAtEnd(1), 1}, {stream.EnterLevel(data.data() + 4), 0}});  // an end behind the position
  EXPECT_EQ(Text(stream.Messages()), "at binary offset dec 8 (hex 8),\nunexpected end of data on nesting level 2");

  CParseStream empty(TextSpan(), 0, nullptr);
  TextSpan span;
  span.start = "x";
  EXPECT_PAIRS(int, {{empty.ReadUInt32(&v), 0}, {empty.ReadBytes(0, nullptr, &span), 1}, {empty.IsAtEnd(1), 1}});
  EXPECT_EQ(span.start, nullptr);
  const std::string record("\x05\x00\x00\x00" "ab", 6);
  CParseStream hostile(Span(record), 0, nullptr);
  const char *outside = record.data() + 7, elsewhere[8] = {0}, *foreign = elsewhere;
  char *text = nullptr;
  EXPECT_PAIRS(int, {{hostile.ReadBytes(0, &outside), 0}, {hostile.ReadUInt32(&v, &foreign), 0},
                     {hostile.ReadBytes(0xFFFFFFFFu), 0}, {hostile.ReadString(&text), 0}});
  EXPECT_EQ(hostile.Offset(), 0u);
}

TEST(CBinOutputStream, WritesRecordsInTheDeclaredOrderAndGrowsByItsRule) {
  CCommonString out;
  ASSERT_EQ(out.SetGrowth(0, 0, 0, 1), 1);  // replaced by the stream's rule
  CBinOutputStream little(out, 0);
  ASSERT_NE(out.GetGrowth(), nullptr);
  EXPECT_EQ(out.GetGrowth()->inherit, 0u);
  EXPECT_PAIRS(int, {{little.WriteString("abc"), 1}, {little.WriteString(nullptr), 1}, {little.WriteBytes(nullptr, 4), 1},
                     {little.WriteBytes("z", 1), 1}});
  EXPECT_EQ(Bytes(out), std::string("\x03\x00\x00\x00" "abc" "\xFF\xFF\xFF\xFF" "z", 12));
  uint32_t capacity = out.GetCapacity();  // 25 % and 256 bytes more from 1024 bytes on
  for (uint32_t i = 0; i < 500; ++i) {
    ASSERT_EQ(little.WriteUInt32(i), 1);
    if (out.GetCapacity() == capacity) continue;
    const uint32_t needed = out.GetLength() + 1;
    EXPECT_EQ(out.GetCapacity(), needed >= 1024 ? needed + needed / 4 + 256 : needed);
    capacity = out.GetCapacity();
  }
  // Storage refused in the middle of a text: no half record is left.
  const uint32_t length = out.GetLength();
  ASSERT_EQ(out.Reserve(length + 4), 1);  // the length fits, the text does not
  SalMemFailAfter(1);
  EXPECT_EQ(little.WriteString(std::string(capacity, 'q').c_str()), 0);
  SalMemFailAfter(0);
  EXPECT_EQ(out.GetLength(), length);
  CCommonString bytes;
  CBinOutputStream big(bytes, 1);
  big.WriteString("abc");
  big.WriteUInt32(0x01020304u);
  big.WriteString(bytes.CStr() + 4);  // the output's own text: "abc\x01\x02\x03\x04"
  EXPECT_EQ(Bytes(bytes), std::string("\x00\x00\x00\x03" "abc\x01\x02\x03\x04" "\x00\x00\x00\x07" "abc\x01\x02\x03\x04", 22));
}

TEST(CBinOutputStream, WhatItWritesTheParseStreamReadsBack) {
  std::mt19937 rng(1);
  for (uint8_t order : {0, 1}) {
    for (int round = 0; round < 200; ++round) {
      SCOPED_TRACE(testing::Message() << int(order) << " / " << round);
      CCommonString out;
      CBinOutputStream writer(out, order);
      std::vector<std::pair<int, std::string>> items;  // 0 number, 1 text, 2 null text, 3 bytes
      for (int i = 0, count = static_cast<int>(rng() % 20); i < count; ++i) {
        const int kind = static_cast<int>(rng() % 4);
        std::string value(rng() % 30, '\0');
        for (char &c : value) c = static_cast<char>(1 + rng() % 255);
        if (kind == 0) value = std::to_string(rng());
        items.emplace_back(kind, value);
        if (kind == 0) writer.WriteUInt32(static_cast<uint32_t>(std::stoul(value)));
        if (kind == 1) writer.WriteString(value.c_str());
        if (kind == 2) writer.WriteString(nullptr);
        if (kind == 3) writer.WriteBytes(value.data(), static_cast<uint32_t>(value.size()));
      }
      const std::string written = Bytes(out);
      CParseStream reader(Span(written), order, nullptr);
      for (const auto &[kind, value] : items) {
        uint32_t v = 0;
        TextSpan bytes;
        char *text = nullptr;
        std::string got = "<failed>";
        if (kind == 0 && reader.ReadUInt32(&v) == 1) got = std::to_string(v);
        if (kind == 3 && reader.ReadBytes(static_cast<uint32_t>(value.size()), nullptr, &bytes) == 1)
          got = std::string(bytes.start != nullptr ? bytes.start : "", bytes.length);
        if ((kind == 1 || kind == 2) && reader.ReadString(&text) == 1) got = text != nullptr ? text : "<null>";
        MemFree(text);
        ASSERT_EQ(got, kind == 2 ? "<null>" : value);
      }
      EXPECT_EQ(reader.IsAtEnd(1), 1);
    }
  }
}

TEST(CCommonTransformStream, NoOutputUntilTheFirstChangeThenNineEighthsOfTheSource) {
  const std::string source = "unchanged text";
  const int64_t live = SalMemLiveBlocks();
  {
    CCommonTransformStream stream(Span(source));
    stream.Copy(3);
    stream.Copy(100);  // more than remains: keeps only what remains
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_EQ(SalMemLiveBlocks(), live);
    stream.Insert(nullptr, 5);  // null data or length 0: still no change
    stream.Insert("x", 0);
    EXPECT_EQ(Taken(stream, 1), "<none>");
    CCommonTransformStream dropped(Span(source));
    dropped.Replace(2, "zz", 2);
  }
  EXPECT_EQ(SalMemLiveBlocks(), live) << "the destructor released the output";
  const std::string as(800, 'a');
  CCommonTransformStream stream(Span(as));
  stream.Copy(799);
  stream.Replace(1, "XYZ", 3);  // the only change, at the last byte
  std::unique_ptr<CCommonString> result(stream.TakeResult(1));
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(Bytes(*result), std::string(799, 'a') + "XYZ");
  EXPECT_EQ(result->GetCapacity(), 800u + 100u + 1u);  // one allocation, never grown
  CCommonTransformStream unflushed(Span(source));
  unflushed.Copy(2);
  unflushed.Drop(1);
  EXPECT_EQ(Taken(unflushed, 0), "un");
  EXPECT_EQ(Taken(unflushed, 1), "<none>") << "taken: forgotten";
  CCommonTransformStream failing(Span(source));  // a storage failure ends the pass without a result
  failing.Copy(1);
  SalMemFailAfter(1);
  failing.Drop(1);
  SalMemFailAfter(0);
  failing.Insert("x", 1);
  EXPECT_TRUE(failing.Failed());
  EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
  EXPECT_EQ(Taken(failing, 1), "<none>");
}

TEST(CCommonTransformStream, EditScriptsMatchARebuild) {
  std::mt19937 rng(8);
  for (int round = 0; round < 500; ++round) {
    std::string source(rng() % 300, '\0'), expected;
    for (char &c : source) c = static_cast<char>(rng());
    bool changed = false;
    CCommonTransformStream stream(Span(source));
    size_t at = 0;
    while (at < source.size() && rng() % 20 != 0) {
      const size_t n = 1 + rng() % std::min<size_t>(source.size() - at, 12);
      const std::string text(rng() % 4, static_cast<char>('A' + rng() % 26));
      switch (rng() % 4) {
        case 0: stream.Copy(n); expected += source.substr(at, n); at += n; break;
        case 1: stream.Drop(n); at += n; changed = true; break;
        case 2: stream.Insert(text.data(), text.size()); expected += text; changed |= !text.empty(); break;
        default: stream.Replace(n, text.data(), text.size()); expected += text; at += n; changed = true;
      }
      ASSERT_TRUE(stream.Remaining() == source.size() - at && stream.Current() == source.data() + at);
    }
    ASSERT_EQ(Taken(stream, 1), changed ? expected + source.substr(at) : "<none>") << "round " << round;
  }
}

TEST(CCommonMsgBuffer, JoinsMessagesKeepsTheHighestLevelAndLosesOnlyAMessageWithoutStorage) {
  CCommonMsgBuffer buffer(",\n");
  EXPECT_EQ(Text(&buffer), "<none>") << "no text before the first message";
  EXPECT_PAIRS(int, {{buffer.Add("first", 2), 0}, {buffer.Add("second", 1), 0}});
  std::vector<uint32_t> levels{buffer.GetLevel()};
  buffer.AddLevel3Formatted("%s #%d", "third", 3);
  buffer.AddLevel0(nullptr);
  levels.push_back(buffer.GetLevel());
  buffer.SetLevel(1, 0);  // only raises
  levels.push_back(buffer.GetLevel());
  buffer.SetLevel(1, 1);  // forced
  levels.push_back(buffer.GetLevel());
  buffer.AddFormatted(2, "%05u", 42u);
  levels.push_back(buffer.GetLevel());
  EXPECT_EQ(levels, (std::vector<uint32_t>{2, 3, 3, 1, 2}));
  EXPECT_EQ(Text(&buffer), "first,\nsecond,\nthird #3,\n,\n00042");
  CCommonMsgBuffer direct(nullptr);
  const char *none = nullptr;
  EXPECT_EQ(direct.AddLevel2Formatted(none), 0);
  EXPECT_TRUE(Text(&direct) == "<none>" && direct.GetLevel() == 0);
  direct.AddLevel1("a");
  direct.AddLevel1("b");
  EXPECT_EQ(Text(&direct), "ab") << "a null separator joins directly";
  HeadedBuffer headed;
  headed.AddLevel1("disk full");
  headed.AddLevel2("no path");
  EXPECT_EQ(headed.created, 1);
  EXPECT_EQ(Text(&headed), "errors: disk full; no path");
  CCommonMsgBuffer failing("|");
  SalSetLastError(0);
  SalMemFailAfter(1);
  EXPECT_EQ(failing.Add("lost", 3), 0);
  SalMemFailAfter(0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
  EXPECT_TRUE(Text(&failing) == "<none>" && failing.GetLevel() == 3);
  failing.Add("kept", 0);
  EXPECT_EQ(Text(&failing), "kept");
}
