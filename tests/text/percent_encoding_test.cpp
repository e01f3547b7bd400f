// percent_encoding_test.cpp - the form-style and minimal percent encodings:
// which bytes are escaped, the buffer protocol with its capacity rules, the
// in-place decoders with their error cases, the string forms, and round
// trips over generated texts.
#include "text/percent_encoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "base/last_error.h"
#include "base/sal_errors.h"

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

// Escaping decided byte by byte from the written-out rules.
std::string FormOracle(const std::string &text) {
  static const char kReserved[] = "!\"#$%&'()*+,/:;<=>?@[\\]^`{|}~";
  std::string out;
  char hex[4];
  for (unsigned char c : text) {
    if (c == ' ') {
      out += '+';
    } else if (c >= 32 && c <= 127 && std::strchr(kReserved, c) == nullptr) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(hex, sizeof hex, "%%%.2X", c);
      out += hex;
    }
  }
  return out;
}

std::string MinimalOracle(const std::string &text) {
  std::string out;
  char hex[4];
  for (unsigned char c : text) {
    if (c == '%' || c >= 127) {
      std::snprintf(hex, sizeof hex, "%%%.2X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

struct Decoded {
  int result;
  std::string text;
  uint32_t error;
};

Decoded DecodeWith(int (*decode)(char *), std::string text) {
  SalSetLastError(0);
  Decoded d;
  d.result = decode(&text[0]);
  d.text = text.c_str();
  d.error = SalGetLastError();
  return d;
}

}  // namespace

TEST(FormUrlEncode, EscapesReservedControlAndHighBytes) {
  EXPECT_EQ(EncodeWith(FormUrlEncode, "a b&c"), "a+b%26c");
  EXPECT_EQ(EncodeWith(FormUrlEncode, "\xE9~\t\x7F"), "%E9%7E%09\x7F");  // DEL is copied
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(EncodeWith(FormUrlEncode, all), FormOracle(all));
  EXPECT_EQ(EncodeWith(FormUrlEncode, ""), "");
}

TEST(PercentEncode, EscapesOnlyThePercentSignAndBytesFrom127) {
  EXPECT_EQ(EncodeWith(PercentEncode, "a b%"), "a b%25");
  EXPECT_EQ(EncodeWith(PercentEncode, "\x7F\t+"), "%7F\t+");
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(EncodeWith(PercentEncode, all), MinimalOracle(all));
}

TEST(FormUrlEncode, ReportsTheFullLengthWhenTheOutputIsShort) {
  for (Encoder encode : {FormUrlEncode, PercentEncode}) {
    const std::string text = "ab\xE9%cd\xFF";
    const std::string full = encode == FormUrlEncode ? FormOracle(text) : MinimalOracle(text);
    for (uint32_t capacity = 0; capacity <= full.size() + 1; ++capacity) {
      SCOPED_TRACE(capacity);
      std::vector<char> out(capacity + 8, '\x5A');
      uint32_t n = capacity;
      SalSetLastError(0);
      const int result = encode(out.data(), &n, text.c_str());
      EXPECT_EQ(n, full.size());
      for (size_t i = capacity; i < out.size(); ++i) ASSERT_EQ(out[i], '\x5A');
      if (capacity > full.size()) {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(std::string(out.data()), full);
        continue;
      }
      // The capacity equal to the length fails: the terminator does not fit.
      EXPECT_EQ(result, 0);
      EXPECT_EQ(SalGetLastError(), kCommonErrBufferTooSmall);
      if (capacity > 0) {
        EXPECT_EQ(out[0], '\0');
      }
      // Behind out[0] the items that fitted were written, each with a free
      // byte behind it.
      size_t p = 0;
      for (size_t i = 0; i < full.size();) {
        const size_t size = full[i] == '%' ? 3 : 1;
        if (p + size >= capacity) break;
        if (i > 0) {
          EXPECT_EQ(std::string(&out[i], size), full.substr(i, size));
        }
        p += size;
        i += size;
      }
    }
  }
}

TEST(FormUrlEncode, RefusesNullArguments) {
  char out[8] = "x";
  uint32_t n = 8;
  SalSetLastError(0);
  EXPECT_EQ(FormUrlEncode(out, &n, nullptr), 0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullSearchArg);
  EXPECT_STREQ(out, "x");
  SalSetLastError(0);
  EXPECT_EQ(PercentEncode(out, nullptr, "a"), 0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullSearchArg);
}

TEST(PercentDecode, DecodesEscapesDropsLineBreaksAndStopsAtBadEscapes) {
  Decoded d = DecodeWith(FormUrlDecode, "a+b%41%0D\r\n");
  EXPECT_EQ(d.result, 1);
  EXPECT_EQ(d.text, "a bA\r");  // an escaped CR survives, literal CR and LF do not
  d = DecodeWith(PercentDecode, "a+b%4a%4A");
  EXPECT_EQ(d.result, 1);
  EXPECT_EQ(d.text, "a+bJJ");

  const struct {
    const char *text;
    const char *kept;
  } kBad[] = {{"50%", "50"}, {"50%4", "50"}, {"50%4G", "50"}, {"%G1", ""}, {"ab\r%", "ab"}, {"x%%41", "x"}};
  for (const auto &b : kBad) {
    for (auto decode : {FormUrlDecode, PercentDecode}) {
      SCOPED_TRACE(b.text);
      d = DecodeWith(decode, b.text);
      EXPECT_EQ(d.result, 0);
      EXPECT_EQ(d.text, b.kept);
      EXPECT_EQ(d.error, kCommonErrBadPercentEscape);
    }
  }
  SalSetLastError(0);
  EXPECT_EQ(FormUrlDecode(nullptr), 0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullDecodeText);
  EXPECT_EQ(PercentDecode(nullptr), 0);
}

TEST(PercentDecode, RoundTripsGeneratedTexts) {
  std::mt19937 rng(3986);
  for (int i = 0; i < 3000; ++i) {
    std::string text(rng() % 200, '\0');
    for (char &c : text) c = static_cast<char>(1 + rng() % 255);
    // The decoders drop literal CR and LF; the encoders escape them only in
    // the form-style encoding.
    std::string minimal = text;
    for (char &c : minimal)
      if (c == '\r' || c == '\n') c = ' ';
    const Decoded form = DecodeWith(FormUrlDecode, EncodeWith(FormUrlEncode, text));
    ASSERT_EQ(form.result, 1);
    ASSERT_EQ(form.text, text) << "input " << i;
    const Decoded plain = DecodeWith(PercentDecode, EncodeWith(PercentEncode, minimal));
    ASSERT_EQ(plain.result, 1);
    ASSERT_EQ(plain.text, minimal) << "input " << i;
  }
}

TEST(PercentDecode, StringFormsStopAtAnEscapedZeroAndFailWithoutChange) {
  CCommonString s("a%00b");
  ASSERT_EQ(s.PercentDecode(), 1);
  EXPECT_EQ(s.GetLength(), 1u);
  EXPECT_STREQ(s.CStr(), "a");

  CCommonString bad("ok%zz");
  EXPECT_EQ(bad.FormUrlDecode(), 0);
  EXPECT_STREQ(bad.CStr(), "ok%zz");

  CCommonString form("a b&\xE9");
  ASSERT_EQ(form.FormUrlEncode(), 1);
  EXPECT_STREQ(form.CStr(), "a+b%26%E9");
  ASSERT_EQ(form.FormUrlDecode(), 1);
  EXPECT_STREQ(form.CStr(), "a b&\xE9");
  ASSERT_EQ(form.PercentEncode(), 1);
  EXPECT_STREQ(form.CStr(), "a b&%E9");

  // The encoders read the text up to its first zero byte.
  CCommonString zero(std::string("a\0b", 3).data(), 3);
  ASSERT_EQ(zero.PercentEncode(), 1);
  EXPECT_STREQ(zero.CStr(), "a");
  CCommonString empty;
  EXPECT_EQ(empty.FormUrlEncode(), 1);
  EXPECT_EQ(empty.PercentDecode(), 1);
}
