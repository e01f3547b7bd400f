// percent_encoding_test.cpp - the form-style and minimal percent encodings:
// which bytes are escaped (against the rules written out byte by byte), the
// capacity rules, the in-place decoders with their error cases, the string
// forms, and round trips over generated texts.
#include "text/percent_encoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "base/last_error.h"
#include "base/sal_errors.h"
#include "support/text_buffers.h"

namespace {
using Encoder = int (*)(char *, uint32_t *, const char *);

std::string EncodeWith(Encoder encode, const std::string &text) {
  uint32_t n = 0;
  EXPECT_EQ(encode(nullptr, &n, text.c_str()), 0);  // learn the length
  std::vector<char> out(n + 1);
  uint32_t capacity = n + 1;
  EXPECT_EQ(encode(out.data(), &capacity, text.c_str()), 1);
  EXPECT_EQ(capacity, n);
  return std::string(out.data(), n);
}

// The form encoding turns blanks into '+' and escapes reserved, control and
// high bytes; the minimal one escapes only '%' and bytes from 127.
std::string Oracle(const std::string &text, bool form) {
  static const char kReserved[] = "!\"#$%&'()*+,/:;<=>?@[\\]^`{|}~";
  std::string out;
  char hex[4];
  for (unsigned char c : text) {
    const bool escape = form ? c < 32 || c > 127 || std::strchr(kReserved, c) != nullptr : c == '%' || c >= 127;
    std::snprintf(hex, sizeof hex, "%%%.2X", c);
    out += form && c == ' ' ? std::string("+") : escape ? std::string(hex) : std::string(1, static_cast<char>(c));
  }
  return out;
}

// Result and text of an in-place decoder; the last error it left.
std::string DecodeWith(int (*decode)(char *), std::string text, uint32_t *error = nullptr) {
  SalSetLastError(0);
  const int result = decode(&text[0]);
  if (error != nullptr) *error = SalGetLastError();
  return std::to_string(result) + ":" + text.c_str();
}
}  // namespace

TEST(PercentEncoding, EncodersFollowTheirRulesAndDecodersUndoThem) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(EncodeWith(FormUrlEncode, all), Oracle(all, true));
  EXPECT_EQ(EncodeWith(PercentEncode, all), Oracle(all, false));
  EXPECT_EQ(EncodeWith(FormUrlEncode, "a b&\x7F"), "a+b%26\x7F");  // DEL is copied
  EXPECT_EQ(EncodeWith(FormUrlEncode, ""), "");
  std::mt19937 rng(3986);
  for (int i = 0; i < 3000; ++i) {
    std::string text(rng() % 200, '\0');
    for (char &c : text) c = static_cast<char>(1 + rng() % 255);
    ASSERT_EQ(DecodeWith(FormUrlDecode, EncodeWith(FormUrlEncode, text)), "1:" + text) << "input " << i;
    // The decoders drop literal CR and LF, which the minimal encoding keeps.
    for (char &c : text)
      if (c == '\r' || c == '\n') c = ' ';
    ASSERT_EQ(DecodeWith(PercentDecode, EncodeWith(PercentEncode, text)), "1:" + text) << "input " << i;
  }
}

TEST(PercentEncoding, ShortOutputReportsTheFullLength) {
  const std::string text = "ab\xE9%cd\xFF";
  for (Encoder encode : {FormUrlEncode, PercentEncode}) {
    const std::string full = Oracle(text, encode == FormUrlEncode);
    for (uint32_t capacity = 0; capacity <= full.size() + 1; ++capacity) {
      SCOPED_TRACE(capacity);
      Guarded out(capacity);
      uint32_t n = capacity;
      SalSetLastError(0);
      const int result = encode(out.Out(), &n, text.c_str());
      EXPECT_EQ(n, full.size());
      ASSERT_TRUE(out.Intact());
      if (capacity > full.size()) {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(std::string(out.Out()), full);
        continue;
      }
      // The capacity equal to the length fails: the terminator does not fit.
      EXPECT_EQ(result, 0);
      EXPECT_EQ(SalGetLastError(), kCommonErrBufferTooSmall);
      if (capacity > 0) {
        EXPECT_EQ(out.Out()[0], '\0');
      }
      // Behind out[0] the items that fitted were written, each with a free
      // byte behind it.
      for (size_t i = 0; i < full.size();) {
        const size_t size = full[i] == '%' ? 3 : 1;
        if (i + size >= capacity) break;
        if (i > 0) {
          EXPECT_EQ(std::string(&out.Out()[i], size), full.substr(i, size));
        }
        i += size;
      }
    }
  }
  char out[8] = "x";
  uint32_t n = 8;
  EXPECT_EQ(FormUrlEncode(out, &n, nullptr), 0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullSearchArg);
  EXPECT_STREQ(out, "x");
  SalSetLastError(0);
  EXPECT_EQ(PercentEncode(out, nullptr, "a"), 0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullSearchArg);
}

TEST(PercentEncoding, DecodersStopAtBadEscapes) {
  EXPECT_EQ(DecodeWith(FormUrlDecode, "a+b%41%0D\r\n"), "1:a bA\r");  // an escaped CR survives
  EXPECT_EQ(DecodeWith(PercentDecode, "a+b%4a%4A"), "1:a+bJJ");
  for (auto [bad, kept] : {std::pair<const char *, const char *>{"50%", "50"}, {"50%4", "50"}, {"50%4G", "50"},
                           {"%G1", ""}, {"ab\r%", "ab"}, {"x%%41", "x"}}) {
    for (auto decode : {FormUrlDecode, PercentDecode}) {
      SCOPED_TRACE(bad);
      uint32_t error = 0;
      EXPECT_EQ(DecodeWith(decode, bad, &error), std::string("0:") + kept);
      EXPECT_EQ(error, kCommonErrBadPercentEscape);
    }
  }
  SalSetLastError(0);
  EXPECT_EQ(FormUrlDecode(nullptr), 0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullDecodeText);
  EXPECT_EQ(PercentDecode(nullptr), 0);
}

TEST(PercentEncoding, StringFormsStopAtAZeroAndFailWithoutChange) {
  CCommonString s("a%00b");
  ASSERT_EQ(s.PercentDecode(), 1);
  EXPECT_EQ(Bytes(s), "a");
  CCommonString bad("ok%zz");
  EXPECT_EQ(bad.FormUrlDecode(), 0);
  EXPECT_EQ(Bytes(bad), "ok%zz");
  CCommonString form("a b&\xE9");
  ASSERT_EQ(form.FormUrlEncode(), 1);
  EXPECT_EQ(Bytes(form), "a+b%26%E9");
  ASSERT_EQ(form.FormUrlDecode(), 1);
  ASSERT_EQ(form.PercentEncode(), 1);
  EXPECT_EQ(Bytes(form), "a b&%E9");
  CCommonString zero(std::string("a\0b", 3).data(), 3);  // the encoders stop at the first zero
  ASSERT_EQ(zero.PercentEncode(), 1);
  EXPECT_EQ(Bytes(zero), "a");
  CCommonString empty;
  EXPECT_EQ(empty.FormUrlEncode(), 1);
  EXPECT_EQ(empty.PercentDecode(), 1);
}
