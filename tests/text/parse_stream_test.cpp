// parse_stream_test.cpp - CParseStream: numbers in both byte orders, texts,
// nested levels, the located error messages, hostile positions, and the
// records CBinOutputStream writes read back in both byte orders.
#include "text/parse_stream.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "base/mem.h"
#include "support/text_buffers.h"
#include "text/bin_output_stream.h"
#include "text/common_msg_buffer.h"

namespace {
std::string Text(const CCommonMsgBuffer *messages) {
  CCommonString text;
  messages->GetText(text);
  return text.CStr();
}
}  // namespace

TEST(CParseStream, NumbersStringsAndSpans) {
  const std::string data("\x01\x02\x03\x04\x05\x06", 6);
  CParseStream little(Span(data), 0, nullptr);
  uint32_t v = 0;
  ASSERT_EQ(little.ReadUInt32(&v), 1);
  EXPECT_EQ(v, 0x04030201u);
  EXPECT_EQ(little.ReadUInt32(&v), 0);
  EXPECT_EQ(little.Offset(), 4u);  // the failed read did not move
  EXPECT_EQ(Text(little.Messages()), "at binary offset dec 4 (hex 4),\nunexpected end of data");
  const std::string big("\x00\x00\x01\x02", 4);
  CParseStream swapped(Span(big), 1, nullptr);
  ASSERT_EQ(swapped.ReadUInt32(&v), 1);
  EXPECT_EQ(v, 0x102u);
  // A position of the caller's is read and advanced instead.
  const char *p = data.data() + 2;
  ASSERT_EQ(little.ReadUInt32(&v, &p), 1);
  EXPECT_EQ(v, 0x06050403u);
  EXPECT_EQ(p, data.data() + 6);
  EXPECT_EQ(little.Offset(), 4u);

  const std::string texts("\xFF\xFF\xFF\xFF\x03\x00\x00\x00" "abc\x00\x00\x00\x00" "\x09\x00\x00\x00xy", 21);
  CCommonMsgBuffer messages(" | ");
  CParseStream stream(Span(texts), 0, &messages);
  char *text = reinterpret_cast<char *>(1);
  ASSERT_EQ(stream.ReadString(&text), 1);
  EXPECT_EQ(text, nullptr);
  ASSERT_EQ(stream.ReadString(&text), 1);
  EXPECT_STREQ(text, "abc");
  MemFree(text);
  ASSERT_EQ(stream.ReadString(nullptr), 1) << "no place for the text: the record is passed over";
  EXPECT_EQ(stream.Offset(), 15u);
  // A length beyond the data: nothing allocated, the record left unread.
  text = nullptr;
  EXPECT_EQ(stream.ReadString(&text), 0);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(stream.Offset(), 15u);
  EXPECT_EQ(Text(&messages), "at binary offset dec 19 (hex 13) | unexpected end of data");
  TextSpan span;
  p = texts.data() + 8;
  ASSERT_EQ(stream.ReadBytes(3, &p, &span), 1);
  EXPECT_EQ(std::string(span.start, span.length), "abc");
  ASSERT_EQ(stream.ReadBytes(0, nullptr, &span), 1);
  EXPECT_EQ(span.start, texts.data() + 15);
  EXPECT_EQ(span.length, 0u);
}

TEST(CParseStream, LevelsNarrowTheEndAndNameTheirDepth) {
  const std::string data(12, 'x');
  CParseStream stream(Span(data), 0, nullptr);
  EXPECT_EQ(stream.LeaveLevel(), 0);
  EXPECT_EQ(stream.EnterLevel(data.data() + 13), 0);  // beyond the end
  ASSERT_EQ(stream.EnterLevel(data.data() + 8), 1);
  uint32_t v = 0;
  ASSERT_EQ(stream.ReadUInt32(&v), 1);
  ASSERT_EQ(stream.EnterLevelBytes(4), 1);
  EXPECT_EQ(stream.EnterLevelBytes(5), 0);
  EXPECT_EQ(stream.NestingLevel(), 2u);
  ASSERT_EQ(stream.ReadUInt32(&v), 1);
  EXPECT_EQ(stream.IsAtEnd(0), 1);
  EXPECT_EQ(stream.IsAtEnd(1), 0);
  EXPECT_EQ(stream.ReadUInt32(&v), 0);  // the level's end holds
  EXPECT_EQ(Text(stream.Messages()), "at binary offset dec 8 (hex 8),\nunexpected end of data on nesting level 2");
  ASSERT_EQ(stream.LeaveLevel(), 1);
  ASSERT_EQ(stream.LeaveLevel(), 1);
  EXPECT_EQ(stream.IsAtEnd(1), 0);
  ASSERT_EQ(stream.ReadUInt32(&v), 1);
  EXPECT_EQ(stream.IsAtEnd(1), 1);
  EXPECT_EQ(stream.EnterLevel(data.data() + 4), 0) << "an end behind the position";
}

TEST(CParseStream, HostileInputsAreRefused) {
  CParseStream empty(TextSpan(), 0, nullptr);
  uint32_t v = 0;
  EXPECT_EQ(empty.ReadUInt32(&v), 0);
  TextSpan span;
  span.start = "x";
  ASSERT_EQ(empty.ReadBytes(0, nullptr, &span), 1);
  EXPECT_EQ(span.start, nullptr);
  EXPECT_EQ(empty.IsAtEnd(1), 1);

  const std::string data("\x05\x00\x00\x00" "ab", 6);
  CParseStream stream(Span(data), 0, nullptr);
  const char *outside = data.data() + 7;
  EXPECT_EQ(stream.ReadBytes(0, &outside), 0);  // a caller's position beyond the data
  const char elsewhere[8] = {0};
  const char *foreign = elsewhere;
  EXPECT_EQ(stream.ReadUInt32(&v, &foreign), 0);
  EXPECT_EQ(stream.ReadBytes(0xFFFFFFFFu), 0);
  char *text = nullptr;
  EXPECT_EQ(stream.ReadString(&text), 0);
  EXPECT_EQ(stream.Offset(), 0u);
}

TEST(CBinOutputStream, WritesRecordsInTheDeclaredOrderAndGrowsByItsRule) {
  CCommonString out;
  ASSERT_EQ(out.SetGrowth(0, 0, 0, 1), 1);  // replaced by the stream's rule
  CBinOutputStream little(out, 0);
  ASSERT_NE(out.GetGrowth(), nullptr);
  EXPECT_EQ(out.GetGrowth()->inherit, 0u);
  EXPECT_EQ(little.WriteString("abc"), 1);
  EXPECT_EQ(little.WriteString(nullptr), 1);
  EXPECT_EQ(little.WriteBytes(nullptr, 4), 1);
  EXPECT_EQ(little.WriteBytes("z", 1), 1);
  EXPECT_EQ(Bytes(out), std::string("\x03\x00\x00\x00" "abc" "\xFF\xFF\xFF\xFF" "z", 12));
  // 25 % and 256 bytes more from 1024 bytes on.
  uint32_t capacity = out.GetCapacity();
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
      const int count = static_cast<int>(rng() % 20);
      for (int i = 0; i < count; ++i) {
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
      for (const auto &item : items) {
        if (item.first == 0) {
          uint32_t v = 0;
          ASSERT_EQ(reader.ReadUInt32(&v), 1);
          ASSERT_EQ(v, static_cast<uint32_t>(std::stoul(item.second)));
        } else if (item.first == 3) {
          TextSpan bytes;
          ASSERT_EQ(reader.ReadBytes(static_cast<uint32_t>(item.second.size()), nullptr, &bytes), 1);
          ASSERT_EQ(std::string(bytes.start != nullptr ? bytes.start : "", bytes.length), item.second);
        } else {
          char *text = nullptr;
          ASSERT_EQ(reader.ReadString(&text), 1);
          ASSERT_EQ(text != nullptr ? std::string(text) : "<null>", item.first == 2 ? "<null>" : item.second);
          MemFree(text);
        }
      }
      EXPECT_EQ(reader.IsAtEnd(1), 1);
    }
  }
}
