// base64_test.cpp - base64 in both directions: published vectors, the
// decoder's rules for bytes outside the alphabet and misplaced pads, the
// capacity rules, the string forms, and round trips over generated inputs
// checked against a reference encoder written out bit by bit.
#include "text/base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "base/mem.h"
#include "support/text_buffers.h"

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The encoding as a stream of 6-bit values, with line feeds after every
// groupsPerLine complete groups.
std::string Reference(const std::string &in, uint32_t groupsPerLine) {
  std::string out;
  uint32_t groups = 0;
  for (size_t i = 0; i < in.size(); i += 3) {
    const size_t n = in.size() - i < 3 ? in.size() - i : 3;
    uint32_t bits = 0;
    for (size_t k = 0; k < 3; ++k) bits = (bits << 8) | (k < n ? static_cast<unsigned char>(in[i + k]) : 0u);
    for (size_t k = 0; k < 4; ++k) out += k <= n ? kAlphabet[(bits >> (18 - 6 * k)) & 63] : '=';
    if (n == 3 && groupsPerLine != 0 && ++groups == groupsPerLine) {
      out += '\n';
      groups = 0;
    }
  }
  return out;
}

std::string Encode(const std::string &in, uint32_t groupsPerLine = 0) {
  std::vector<char> out(in.size() * 2 + 8);
  uint32_t n = 12345;
  EXPECT_EQ(Base64Encode(out.data(), static_cast<uint32_t>(out.size()), in.data(),
                         static_cast<uint32_t>(in.size()), &n, groupsPerLine),
            1);
  EXPECT_EQ(out[n], '\0');
  return std::string(out.data(), n);
}

// Decodes text into capacity bytes (0: room enough); the result and the
// bytes, after checking the terminator and the guard bytes.
std::pair<int, std::string> Decode(const std::string &text, uint32_t capacity = 0) {
  uint32_t n = capacity != 0 ? capacity : static_cast<uint32_t>(text.size() + 4);
  Guarded out(n);
  const int result = Base64Decode(out.Out(), &n, text.c_str());
  EXPECT_LT(n, out.capacity);
  EXPECT_EQ(out.Out()[n], '\0');
  EXPECT_TRUE(out.Intact()) << "written past the capacity";
  return {result, std::string(out.Out(), n)};
}
}  // namespace

TEST(Base64, DecoderSkipsForeignBytesAndRejectsMisplacedPads) {
  const struct {
    const char *text;
    int result;
    const char *bytes;
  } kCases[] = {
      {"YW Jj\r\n", 1, "abc"},
      {"\t Y\xC3W\x80J-j*", 1, "abc"},  // any byte outside the alphabet, 128-255 too
      {"YWJ", 0, ""},                   // ends inside the group
      {"YWJjY", 0, "abc"},              // the bytes before the broken group stay
      {"=WJj", 0, ""},                  // pad first
      {"Y=Jj", 0, ""},                  // pad second
      {"YW=j", 0, ""},                  // pad third, letter fourth
      {"YQ==YWI=", 1, "aab"},           // decoding goes on behind pads
      {"YW=", 0, ""},
      {"  \n", 1, ""},
      {"YWJj=", 0, "abc"},              // a lone pad starts a group that fails
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Decode(c.text), std::make_pair(c.result, std::string(c.bytes)));
  }
  uint32_t n = 10;
  char out[10];
  EXPECT_EQ(Base64Decode(nullptr, &n, "YQ=="), 0);
  EXPECT_EQ(Base64Decode(out, nullptr, "YQ=="), 0);
  EXPECT_EQ(Base64Decode(out, &n, nullptr), 0);
  n = 0;
  EXPECT_EQ(Base64Decode(out, &n, ""), 0);  // no room even for the terminator
}

TEST(Base64, CapacityRules) {
  // The decoder needs four free bytes before every group: "YWJjZGVm" holds
  // two groups, the second needs 3 + 4 bytes of capacity.
  for (uint32_t capacity = 1; capacity <= 9; ++capacity) {
    SCOPED_TRACE(capacity);
    EXPECT_EQ(Decode("YWJjZGVm", capacity),
              std::make_pair(capacity >= 7 ? 1 : 0, std::string("abcdef").substr(0, capacity >= 7 ? 6 : capacity >= 4 ? 3 : 0)));
  }
  EXPECT_EQ(Decode("YWJjYQ==", 6).first, 0) << "a pad group needs four free bytes too";
  EXPECT_EQ(Decode("YWJjYQ==", 7).second, "abca");

  // The encoder writes groups while group, line feed and terminator fit.
  const std::string in = "abcdefghij";  // three full groups and a partial one
  for (uint32_t groupsPerLine : {0u, 1u, 2u}) {
    const std::string full = Reference(in, groupsPerLine);
    for (uint32_t capacity = 1; capacity <= full.size() + 2; ++capacity) {
      SCOPED_TRACE(testing::Message() << groupsPerLine << " / " << capacity);
      Guarded out(capacity);
      uint32_t n = 777;
      const int result = Base64Encode(out.Out(), capacity, in.data(), 10, &n, groupsPerLine);
      std::string expected;
      for (size_t g = 0, at = 0; g < 4; ++g) {
        const size_t len = at + 4 < full.size() && full[at + 4] == '\n' ? 5 : 4;
        if (capacity - expected.size() < len + 1) break;
        expected += full.substr(at, len);
        at += len;
      }
      EXPECT_EQ(result, capacity > full.size() ? 1 : 0);
      EXPECT_EQ(n, result ? full.size() : 777u);
      EXPECT_EQ(std::string(out.Out()), expected);
      ASSERT_TRUE(out.Intact());
    }
  }
  char out[8];
  EXPECT_EQ(Base64Encode(out, 8, nullptr, 1, nullptr, 0), 0);
  EXPECT_EQ(Base64Encode(nullptr, 8, "a", 1, nullptr, 0), 0);
  EXPECT_EQ(Base64Encode(out, 0, "a", 1, nullptr, 0), 0);
}

TEST(Base64, RoundTripsGeneratedBytesAgainstTheReference) {
  std::mt19937 rng(4648);
  for (int i = 0; i < 3000; ++i) {
    std::string in(rng() % (i < 2000 ? 40 : 3000), '\0');
    for (char &c : in) c = static_cast<char>(rng() & 0xFF);
    const uint32_t groupsPerLine = rng() % 4 == 0 ? 0 : rng() % 20;
    const std::string text = Encode(in, groupsPerLine);
    ASSERT_EQ(text, Reference(in, groupsPerLine)) << "input " << i;
    // Foreign bytes sprinkled anywhere do not change the decoding.
    std::string noisy;
    for (char c : text) {
      if (rng() % 7 == 0) noisy += " \r\n\t\x01\x80\xFF-"[rng() % 8];
      noisy += c;
    }
    ASSERT_EQ(Decode(noisy), std::make_pair(1, in)) << "input " << i;
  }
}

TEST(Base64, StringAndMemberFormsReplaceTheContentsOnlyOnSuccess) {
  const std::string bytes("a\0b\xFF\0", 5);
  CCommonString in(bytes.data(), 5);
  CCommonString out("old contents");
  ASSERT_EQ(Base64EncodeString(out, in, 0), 1);
  EXPECT_EQ(Bytes(out), "YQBi/wA=");
  ASSERT_EQ(Base64EncodeString(in, in, 1), 1);  // the same object on both sides
  EXPECT_EQ(Bytes(in), "YQBi\n/wA=");
  ASSERT_EQ(Base64DecodeString(out, out.CStr()), 1);
  EXPECT_EQ(Bytes(out), bytes);
  EXPECT_EQ(Base64DecodeString(out, "YWJjY"), 0);
  EXPECT_EQ(Bytes(out), "abc");  // what was decoded stays
  EXPECT_EQ(Base64DecodeString(out, nullptr), 0);
  EXPECT_EQ(Bytes(out), "abc");

  ASSERT_EQ(out.Base64Encode(), 1);
  EXPECT_EQ(Bytes(out), "YWJj");
  ASSERT_EQ(out.Base64Decode(), 1);
  EXPECT_EQ(Bytes(out), "abc");
  CCommonString broken("YW=j");
  EXPECT_EQ(broken.Base64Decode(), 0);
  EXPECT_EQ(Bytes(broken), "YW=j");
  CCommonString empty;
  EXPECT_EQ(empty.Base64Encode(), 1);
  EXPECT_FALSE(empty.HasStorage());
  SalMemFailAfter(1);
  EXPECT_EQ(out.Base64Encode(), 0);
  SalMemFailAfter(0);
  EXPECT_EQ(Bytes(out), "abc");
}
