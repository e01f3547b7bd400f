// number_layout_test.cpp - base-100 numbers: published byte forms, bad
// bytes, small buffers and a round-trip property over random doubles.
#include "text/number_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {
std::vector<uint8_t> Encode(double value, uint32_t flags, uint32_t size = 32, int *result = nullptr) {
  std::vector<uint8_t> buffer(size + 1, 0xEE);  // one guard byte
  uint32_t length = size;
  const int r = EncodeNumber(value, buffer.data(), &length, flags);
  EXPECT_EQ(buffer[size], 0xEE) << "wrote past the buffer";
  if (result != nullptr) *result = r;
  buffer.resize(length);
  return buffer;
}
}  // namespace

TEST(NumberLayout, KnownValuesHaveTheirByteForms) {
  struct Case {
    double value;
    uint32_t flags;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {0, 0, {0x80}},
      {1, 0, {0xC1, 0x02}},
      {100, 0, {0xC2, 0x02}},
      {-1, 0, {0x3E, 0x64, 0x66}},
      {0.5, 0, {0xC0, 0x33}},
      {1, kNumberVarnum, {0x02, 0xC1, 0x02}},
      {0, kNumberVarnum, {0x01, 0x80}},
      {123.45, 0, {0xC2, 0x02, 0x18, 0x2E}},
      {-123.45, 0, {0x3D, 0x64, 0x4E, 0x38, 0x66}},
      {0.07, 0, {0xC0, 0x08}},
      {1234567.0, 0, {0xC4, 0x02, 0x18, 0x2E, 0x44}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.value);
    int result = -1;
    EXPECT_EQ(Encode(c.value, c.flags, 32, &result), c.bytes);
    EXPECT_EQ(result, kNumberExact);
    const size_t skip = (c.flags & kNumberVarnum) != 0 ? 1 : 0;
    double back = -99;
    ASSERT_EQ(DecodeNumber(c.bytes.data() + skip, static_cast<uint32_t>(c.bytes.size() - skip), &back), 0);
    EXPECT_NEAR(back, c.value, 1e-12);
  }
}

TEST(NumberLayout, SmallBuffersCutOrRefuse) {
  int result = -1;
  // One byte: the exponent alone, the digits cut.
  EXPECT_EQ(Encode(1, 0, 1, &result), std::vector<uint8_t>({0xC1}));
  EXPECT_EQ(result, kNumberCut);
  // One byte with the VARNUM prefix: no room for the exponent.
  EXPECT_TRUE(Encode(1, kNumberVarnum, 1, &result).empty());
  EXPECT_EQ(result, kNumberNoRoom);
  EXPECT_TRUE(Encode(1, 0, 0, &result).empty());
  EXPECT_EQ(result, kNumberNoRoom);
  // A negative number cut short keeps its end byte.
  const std::vector<uint8_t> cut = Encode(-1.0 / 3.0, 0, 4, &result);
  EXPECT_EQ(result, kNumberCut);
  ASSERT_EQ(cut.size(), 4u);
  EXPECT_EQ(cut.back(), 102);
  // Twenty digits fill the limit: no end byte for a negative number.
  const std::vector<uint8_t> full = Encode(-1.0 / 3.0, kNumberAllDigits, 64, &result);
  EXPECT_EQ(full.size(), 21u);
  EXPECT_NE(full.back(), 102);
  uint32_t length = 8;
  EXPECT_EQ(EncodeNumber(1, nullptr, &length, 0), kNumberNoRoom);
  EXPECT_TRUE(Encode(std::nan(""), 0, 8, &result).empty());
  EXPECT_EQ(result, kNumberCut);
}

TEST(NumberLayout, OutOfRangeDigitBytesFail) {
  const uint8_t zeroDigit[] = {0xC1, 0x00};
  const uint8_t highDigit[] = {0xC1, 0x65};         // 101 - 1 = 100
  const uint8_t negativeLow[] = {0x3E, 0x01};       // 101 - 1 = 100
  const uint8_t innerEnd[] = {0x3E, 0x66, 0x64};    // 102 is only an end
  double out = 5;
  EXPECT_EQ(DecodeNumber(zeroDigit, 2, &out), 1);
  EXPECT_EQ(DecodeNumber(highDigit, 2, &out), 1);
  EXPECT_EQ(DecodeNumber(negativeLow, 2, &out), 1);
  EXPECT_EQ(DecodeNumber(innerEnd, 3, &out), 1);
  EXPECT_EQ(DecodeNumber(nullptr, 2, &out), 1);
  EXPECT_EQ(DecodeNumber(zeroDigit, 0, &out), 1);
}

TEST(NumberLayout, HugeAndTinyValuesStayInsideTheExponentRange) {
  int result = -1;
  const std::vector<uint8_t> huge = Encode(1e300, 0, 32, &result);
  EXPECT_EQ(huge[0], 62 + 193);
  EXPECT_EQ(result, kNumberCut);
  const std::vector<uint8_t> tiny = Encode(1e-300, 0, 32, &result);
  EXPECT_EQ(tiny, std::vector<uint8_t>({0x80}));  // exponent -65, the zero digits dropped
  EXPECT_EQ(result, kNumberCut);
  // Just inside the range: 1e-129 is the digit 10 at 100^-65.
  EXPECT_EQ(Encode(1e-129, 0, 32, &result), std::vector<uint8_t>({0x80, 11}));
  EXPECT_EQ(result, kNumberExact);
  const std::vector<uint8_t> negativeHuge = Encode(-1e300, 0, 32, &result);
  EXPECT_EQ(negativeHuge[0], 62 - 62);
}

// The layout holds the shortest decimal form whole (17 digits fit in 20
// base-100 digits), so encoding is exact and decoding is off only by the
// rounding of its divisions and multiplications: a few ulps.
TEST(NumberLayout, DecodeOfEncodeKeepsTheValueOverRandomDoubles) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-120, 120);
  std::bernoulli_distribution negative(0.5);
  for (int i = 0; i < 100000; ++i) {
    double value = mantissa(random) * std::pow(10.0, exponent(random));
    if (negative(random)) value = -value;
    for (uint32_t flags : {0u, kNumberAllDigits}) {
      uint8_t buffer[22];
      uint32_t length = sizeof buffer;
      ASSERT_EQ(EncodeNumber(value, buffer, &length, flags), kNumberExact) << value;
      ASSERT_LE(length, 22u);
      double back = 0;
      ASSERT_EQ(DecodeNumber(buffer, length, &back), 0);
      ASSERT_NEAR(back / value, 1.0, 1e-14) << value;
    }
  }
}
