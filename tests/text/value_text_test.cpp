// value_text_test.cpp - integers to text and back, and the double
// conversions under the "C" locale and one whose decimal point is a comma.
#include "text/value_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <tuple>

#include "base/common_string.h"
#include "support/expect_pairs.h"
#include "support/text_buffers.h"
#include "text/double_text.h"

namespace {
// Switches LC_NUMERIC to a locale whose decimal point is a comma for the
// life of the object; Active() says whether one was found.
class CommaLocale {
 public:
  CommaLocale() {
    const char *saved = std::setlocale(LC_NUMERIC, nullptr);
    saved_ = saved != nullptr ? saved : "C";
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252", "de-DE",
                             "German", "fr_FR.UTF-8"}) {
      if (std::setlocale(LC_NUMERIC, name) != nullptr && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
        active_ = true;
        return;
      }
    }
    std::setlocale(LC_NUMERIC, saved_.c_str());
  }
  ~CommaLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
  bool Active() const { return active_; }

 private:
  std::string saved_;
  bool active_ = false;
};

std::string Fixed(double value, int decimals) {
  CCommonString s;
  return DoubleToFixed(value, s, decimals);
}

std::string Text(double value, int precision, int flags) {
  CCommonString s;
  return DoubleToText(value, s, precision, flags);
}
}  // namespace

TEST(ValueText, IntegersIntoBuffersAreBoundedAndNullBuffersSayNull) {
  char buffer[17];
  EXPECT_STREQ(IntToText(buffer, sizeof buffer, -2147483647 - 1), "-2147483648");
  EXPECT_STREQ(UIntToText(buffer, sizeof buffer, 4294967295u), "4294967295");
  EXPECT_STREQ(ShortToText(buffer, sizeof buffer, -32768), "-32768");
  EXPECT_STREQ(IntToText(nullptr, 12, 5), "NULL");
  EXPECT_STREQ(UIntToText(nullptr, 12, 5), "NULL");
  Guarded small(5);  // too small by one: cut, terminated, nothing beyond
  EXPECT_STREQ(IntToText(small.Out(), small.capacity, 12345), "1234");
  EXPECT_TRUE(small.Intact());
  CCommonString s;
  EXPECT_STREQ(IntToText(s, -7), "-7");
  EXPECT_STREQ(UIntToText(s, 7u), "7");
  // Hexadecimal needs room for every digit and the terminator.
  EXPECT_STREQ(UInt64ToHex(buffer, sizeof buffer, 0), "0");
  EXPECT_STREQ(UInt64ToHex(buffer, sizeof buffer, 0xABCDEF0123456789ull), "ABCDEF0123456789");
  EXPECT_STREQ(UInt64ToHex(buffer, 3, 0xFFull), "FF");
  char tight[3] = {'#', '#', '#'};
  EXPECT_TRUE(UInt64ToHex(tight, 2, 0xFFull) == nullptr && tight[0] == '#');
  EXPECT_STREQ(UInt64ToHex(nullptr, 10, 1), "NULL");
}

// A range error left behind by an earlier call must not count: errno is ERANGE before every call.
TEST(ValueText, TextToNumbersReportZeroOnlyWhenSomethingWasRead) {
  const struct {
    const char *text;
    int base, result;
    int64_t value;  // unsigned: the 32-bit value
    bool isSigned;
  } kCases[] = {
      {"  42", 10, 1, 42, true},  {"0", 10, 1, 0, true},       {"   ", 10, 0, 0, true},   {"x", 10, 0, 0, true},
      {"-17", 10, 1, -17, true},  {"0x1F", 0, 1, 31, true},    {"017", 0, 1, 15, true},  {"ff", 16, 1, 255, true},
      {"99999999999", 10, 1, INT32_MAX, true},                {"-99999999999", 10, 1, INT32_MIN, true},
      {" 4294967295", 10, 1, 4294967295u, false},             {"4294967296", 10, 1, 4294967295u, false},  // saturated
      {"-1", 10, 1, 4294967295u, false},  // negation wraps, as strtoul does
      {"- 1", 10, 0, 0, false},   {"0", 10, 1, 0, false},      {"  ", 10, 0, 0, false},
  };
  for (const auto &c : kCases) {
    int32_t value = -1;
    uint32_t uvalue = 7;
    errno = ERANGE;
    EXPECT_EQ(c.isSigned ? TextToLong(c.text, &value, c.base) : TextToULong(c.text, &uvalue, c.base), c.result) << c.text;
    if (c.result == 1) { EXPECT_EQ(c.isSigned ? int64_t{value} : int64_t{uvalue}, c.value) << c.text; }
  }
  EXPECT_EQ(TextToLong(nullptr, nullptr, 10), 0);
  EXPECT_EQ(IsNumericText("  12.5 abc") + IsNumericText(CCommonString("3.14")), 2);
  EXPECT_EQ(IsNumericText("12a") + IsNumericText("-1") + IsNumericText(nullptr), 0);
}

TEST(DoubleText, FixedShortestAndFlaggedTexts) {
  const struct {
    double value;
    int digits, flags;  // flags -1: DoubleToFixed with digits decimals
    const char *text;
  } kCases[] = {{3.14159, 2, -1, "3.14"}, {0.05, 3, -1, "0.050"},   {-0.4, 0, -1, "-0"},     {0.999, 2, -1, "1.00"},
                {12345.678, 0, -1, "12346"}, {1249.5, -2, -1, "1200"},  // rounding the fraction first would give 1300
                {1250.5, -2, -1, "1300"}, {999.0, -1, -1, "1000"}, {567.0, -3, -1, "1000"}, {432.0, -3, -1, "0"},
                {1e20, 1, -1, "100000000000000000000.0"},           {std::nan(""), 2, -1, "nan"},
                {1.5, 3, 0, "1.5"},       {1.5, 3, kDoubleFixed, "1.500"}, {1.5, 2, kDoubleExponent, "1.50E+00"},
                {1.5, 3, kDoubleSign, "+1.5"},                      {2.0, 3, kDoubleAlternate, "2.00"}};
  for (const auto &c : kCases)
    EXPECT_EQ(c.flags < 0 ? Fixed(c.value, c.digits) : Text(c.value, c.digits, c.flags), c.text) << c.value << " " << c.digits;
  EXPECT_EQ(Fixed(1e300, 400).size(), 301u + 1u + 340u);  // decimals capped
  EXPECT_PAIRS(double, {{ParseDouble("2.5E3", 1), 2500.0}, {ParseDouble(nullptr, 0), 0.0}, {ParseDouble("abc", 1), 0.0}});
  // The shortest text is the first precision that reads back.
  CCommonString s;
  for (auto [value, flags, text] : {std::tuple<double, int, const char *>{0.1, 0, "0.1"}, {0.001, kDoubleFixed, "0.001"},
                                    {123456.0, 0, "123456"}, {-0.0, 0, "-0"}}) {
    ASSERT_EQ(DoubleToShortestText(value, s, flags == 0 ? 1 : 0, flags), 1);
    EXPECT_STREQ(s.CStr(), text);
  }
  EXPECT_EQ(DoubleToShortestText(std::nan(""), s, 1, 0), 0);
}

// Over random doubles of every magnitude: the text reads back bit for bit,
// and is longer than the shortest form std::to_chars finds by at most the
// fixed parts of the "%G" form, the point and an exponent field "E+dd"
// (to_chars writes a large integer without them: 153864004118803744 where
// "%G" gives 1.5386400411880374E+17).
TEST(DoubleText, ShortestTextReadsBackAndStaysNearToChars) {
  std::mt19937_64 random(20261207);
  CCommonString s;
  for (int i = 0; i < 20000; ++i) {
    uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) continue;
    ASSERT_EQ(DoubleToShortestText(value, s, 1, 0), 1) << bits;
    const double back = ParseDouble(s.CStr(), 0);
    ASSERT_EQ(std::memcmp(&back, &value, sizeof value), 0) << s.CStr();
    char shortest[64];
    const auto result = std::to_chars(shortest, shortest + sizeof shortest, value);
    const size_t reference = static_cast<size_t>(result.ptr - shortest);
    ASSERT_LE(s.GetLength(), reference + 5) << bits << ": " << s.CStr() << " vs " << std::string(shortest, reference);
  }
}

TEST(DoubleText, CommaLocaleChangesNothing) {
  CommaLocale locale;
  if (!locale.Active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  ASSERT_STREQ(probe, "1,5");  // the runtime library really uses the comma
  EXPECT_PAIRS(double, {{ParseDouble("1.5", 0), 1.5}, {ParseDouble("1.5", 1), 1.5}, {ParseDoubleFirstPoint("2.25.7"), 2.25}});
  CCommonString s;
  ASSERT_EQ(DoubleToShortestText(0.1, s, 1, 0), 1);
  EXPECT_PAIRS(std::string, {{Text(1.5, 3, kDoubleFixed), "1.500"}, {Text(-1234.5, 6, 0), "-1234.5"},
                             {Fixed(3.14159, 2), "3.14"}, {s.CStr(), "0.1"}});
  ASSERT_EQ(DoubleToShortestText(1.0 / 3.0, s, 1, kDoubleExponent), 1);
  EXPECT_EQ(ParseDouble(s.CStr(), 0), 1.0 / 3.0);
}
