// unicode_oracle_test.cpp - the Unicode conversions beside the C library's
// iconv, over generated valid and invalid input (POSIX builds only).
#include <errno.h>
#include <iconv.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/unicode.h"

namespace {

using Bytes = std::basic_string<uint8_t>;

bool LittleEndian() {
  const char16_t probe = 1;
  uint8_t first;
  std::memcpy(&first, &probe, 1);
  return first == 1;
}
const char *Utf16Name() { return LittleEndian() ? "UTF-16LE" : "UTF-16BE"; }
const char *Utf32Name() { return LittleEndian() ? "UTF-32LE" : "UTF-32BE"; }

// What iconv made of an input: the output up to where it stopped, the
// input bytes it consumed, and errno at the stop (0 when it finished).
struct IconvOutcome {
  std::string output;
  size_t consumed = 0;
  int error = 0;
};

IconvOutcome Iconv(const char *to, const char *from, const void *input, size_t bytes) {
  iconv_t cd = iconv_open(to, from);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << from << " -> " << to;
  IconvOutcome out;
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  std::vector<char> buffer(bytes * 4 + 16);
  char *in = const_cast<char *>(static_cast<const char *>(input));
  size_t inLeft = bytes;
  char *outPos = buffer.data();
  size_t outLeft = buffer.size();
  if (iconv(cd, &in, &inLeft, &outPos, &outLeft) == static_cast<size_t>(-1)) out.error = errno;
  out.consumed = bytes - inLeft;
  out.output.assign(buffer.data(), outPos);
  iconv_close(cd);
  return out;
}

template <typename T>
std::string AsBytes(const std::basic_string<T> &s) {
  return std::string(reinterpret_cast<const char *>(s.data()), s.size() * sizeof(T));
}

// Converts all of source with a target large enough for any output.
template <typename In, typename Out>
std::basic_string<Out> Convert(int (*converter)(const In **, const In *, Out **, Out *, int),
                               const std::basic_string<In> &source, int flags, int *result,
                               size_t *consumed) {
  std::vector<Out> buffer(source.size() * 4 + 4);
  const In *s = source.data();
  Out *t = buffer.data();
  *result = converter(&s, source.data() + source.size(), &t, buffer.data() + buffer.size(), flags);
  *consumed = static_cast<size_t>(s - source.data());
  return std::basic_string<Out>(buffer.data(), t);
}

// Random scalar values, mostly from the ranges real text uses.
std::u32string RandomText(std::mt19937 &random, size_t length) {
  static const struct {
    char32_t first, last;
  } ranges[] = {{0x20, 0x7E},     {0x00, 0x7F},     {0xA0, 0x24F},   {0x370, 0x4FF},
                {0x600, 0x6FF},   {0x3040, 0x30FF}, {0x4E00, 0x9FFF}, {0xAC00, 0xD7A3},
                {0xE000, 0xFFFF}, {0x10000, 0x1FFFF}, {0x20000, 0x10FFFF}};
  std::u32string text;
  for (size_t i = 0; i < length; ++i) {
    const auto &r = ranges[random() % (sizeof ranges / sizeof ranges[0])];
    text.push_back(r.first + random() % (r.last - r.first + 1));
  }
  return text;
}

}  // namespace

// Valid text: every direction gives the bytes iconv gives.
TEST(SalUnicodeOracle, ValidTextMatchesIconvInEveryDirection) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    const std::u32string utf32 = RandomText(random, random() % 600);
    const std::string u32Bytes = AsBytes(utf32);
    const IconvOutcome u16 = Iconv(Utf16Name(), Utf32Name(), u32Bytes.data(), u32Bytes.size());
    const IconvOutcome u8 = Iconv("UTF-8", Utf32Name(), u32Bytes.data(), u32Bytes.size());
    ASSERT_EQ(u16.error, 0);
    ASSERT_EQ(u8.error, 0);
    const std::u16string utf16(reinterpret_cast<const char16_t *>(u16.output.data()), u16.output.size() / 2);
    const Bytes utf8(reinterpret_cast<const uint8_t *>(u8.output.data()), u8.output.size());

    for (int flags : {SAL_CONV_STRICT, SAL_CONV_LENIENT}) {
      int result;
      size_t consumed;
      EXPECT_EQ(AsBytes(Convert(SalUtf32ToUtf16, utf32, flags, &result, &consumed)), u16.output);
      EXPECT_EQ(result, SAL_CONV_OK);
      EXPECT_EQ(AsBytes(Convert(SalUtf32ToUtf8, utf32, flags, &result, &consumed)), u8.output);
      EXPECT_EQ(result, SAL_CONV_OK);
      EXPECT_EQ(AsBytes(Convert(SalUtf16ToUtf32, utf16, flags, &result, &consumed)), u32Bytes);
      EXPECT_EQ(AsBytes(Convert(SalUtf16ToUtf8, utf16, flags, &result, &consumed)), u8.output);
      EXPECT_EQ(AsBytes(Convert(SalUtf8ToUtf16, utf8, flags, &result, &consumed)), u16.output);
      EXPECT_EQ(AsBytes(Convert(SalUtf8ToUtf32, utf8, flags, &result, &consumed)), u32Bytes);
      EXPECT_EQ(result, SAL_CONV_OK);
    }
  }
}

// Damaged UTF-8: the conversion stops where iconv stops, having written what
// iconv wrote.  iconv calls a sequence cut by the end "incomplete" only when
// the bytes present could still begin one; the converters say "source
// exhausted" for any sequence whose announced length runs past the end.
TEST(SalUnicodeOracle, DamagedUtf8StopsWhereIconvStops) {
  std::mt19937 random(11);
  int illegal = 0, exhausted = 0;
  for (int round = 0; round < 20000; ++round) {
    SCOPED_TRACE(round);
    const std::string text = AsBytes(RandomText(random, 1 + random() % 40));
    IconvOutcome valid = Iconv("UTF-8", Utf32Name(), text.data(), text.size());
    Bytes utf8(reinterpret_cast<const uint8_t *>(valid.output.data()), valid.output.size());
    // One to three damages: a byte replaced, a byte inserted, the end cut.
    for (int d = 1 + random() % 3; d > 0 && !utf8.empty(); --d) {
      const size_t at = random() % utf8.size();
      switch (random() % 3) {
        case 0: utf8[at] = static_cast<uint8_t>(random()); break;
        case 1: utf8.insert(utf8.begin() + at, static_cast<uint8_t>(0x80 + random() % 0x80)); break;
        default: utf8.resize(at); break;
      }
    }
    const IconvOutcome oracle = Iconv(Utf16Name(), "UTF-8", utf8.data(), utf8.size());
    for (int flags : {SAL_CONV_STRICT, SAL_CONV_LENIENT}) {
      int result;
      size_t consumed;
      const std::u16string out = Convert(SalUtf8ToUtf16, utf8, flags, &result, &consumed);
      ASSERT_EQ(AsBytes(out), oracle.output);
      ASSERT_EQ(consumed, oracle.consumed);
      const uint8_t lead = consumed < utf8.size() ? utf8[consumed] : 0;
      const size_t announced = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : lead < 0xFC ? 5 : 6;
      switch (oracle.error) {
        case 0: ASSERT_EQ(result, SAL_CONV_OK); break;
        case EINVAL: ASSERT_EQ(result, SAL_CONV_SOURCE_EXHAUSTED); break;
        default:
          ASSERT_EQ(oracle.error, EILSEQ);
          ASSERT_EQ(result, announced > utf8.size() - consumed ? SAL_CONV_SOURCE_EXHAUSTED : SAL_CONV_SOURCE_ILLEGAL);
      }
      // UTF-32 output stops at the same place with the same reason.
      int result32;
      size_t consumed32;
      const std::u32string out32 = Convert(SalUtf8ToUtf32, utf8, flags, &result32, &consumed32);
      ASSERT_EQ(result32, result);
      ASSERT_EQ(consumed32, consumed);
      ASSERT_EQ(out32.size(), Convert(SalUtf16ToUtf32, out, SAL_CONV_STRICT, &result32, &consumed32).size());
    }
    illegal += oracle.error == EILSEQ;
    exhausted += oracle.error == EINVAL;
  }
  // The damage must have produced both kinds of stop, many times.
  EXPECT_GT(illegal, 5000);
  EXPECT_GT(exhausted, 500);
}

// Random UTF-16 units with surrogates anywhere: strict conversion stops where
// iconv stops; iconv's "incomplete" is a high surrogate at the very end.
TEST(SalUnicodeOracle, RandomUtf16StopsWhereIconvStops) {
  std::mt19937 random(13);
  for (int round = 0; round < 20000; ++round) {
    SCOPED_TRACE(round);
    std::u16string units;
    for (size_t n = random() % 24; n > 0; --n) {
      const uint32_t pick = random() % 4;
      units.push_back(static_cast<char16_t>(pick == 0 ? 0xD800 + random() % 0x400
                                            : pick == 1 ? 0xDC00 + random() % 0x400
                                                        : random() % 0x10000));
    }
    const std::string bytes = AsBytes(units);
    const IconvOutcome oracle8 = Iconv("UTF-8", Utf16Name(), bytes.data(), bytes.size());
    int result;
    size_t consumed;
    const Bytes out8 = Convert(SalUtf16ToUtf8, units, SAL_CONV_STRICT, &result, &consumed);
    ASSERT_EQ(AsBytes(out8), oracle8.output);
    ASSERT_EQ(consumed * 2, oracle8.consumed);
    ASSERT_EQ(result, oracle8.error == 0        ? SAL_CONV_OK
                      : oracle8.error == EINVAL ? SAL_CONV_SOURCE_EXHAUSTED
                                                : SAL_CONV_SOURCE_ILLEGAL);
    const IconvOutcome oracle32 = Iconv(Utf32Name(), Utf16Name(), bytes.data(), bytes.size());
    const std::u32string out32 = Convert(SalUtf16ToUtf32, units, SAL_CONV_STRICT, &result, &consumed);
    ASSERT_EQ(AsBytes(out32), oracle32.output);
    ASSERT_EQ(consumed * 2, oracle32.consumed);
  }
}

// Random 32-bit values: up to the first surrogate or value beyond 0x10FFFF
// (where iconv stops) both agree; strict conversion stops at a surrogate.
TEST(SalUnicodeOracle, RandomUtf32AgreesUpToTheFirstBadValue) {
  std::mt19937 random(17);
  for (int round = 0; round < 20000; ++round) {
    SCOPED_TRACE(round);
    std::u32string values;
    for (size_t n = random() % 24; n > 0; --n) {
      const uint32_t pick = random() % 8;
      values.push_back(pick == 0 ? 0xD800 + random() % 0x800 : pick == 1 ? 0x110000 + random() : random() % 0x110000);
    }
    const std::string bytes = AsBytes(values);
    const IconvOutcome oracle = Iconv("UTF-8", Utf32Name(), bytes.data(), bytes.size());
    int result;
    size_t consumed;
    const Bytes out = Convert(SalUtf32ToUtf8, values, SAL_CONV_STRICT, &result, &consumed);
    const size_t stop = oracle.consumed / 4;
    ASSERT_EQ(AsBytes(out).substr(0, oracle.output.size()), oracle.output);
    if (oracle.error == 0) {
      ASSERT_EQ(result, SAL_CONV_OK);
      ASSERT_EQ(consumed, values.size());
    } else if (values[stop] <= 0x10FFFF) {  // a surrogate: strict stops there
      ASSERT_EQ(result, SAL_CONV_SOURCE_ILLEGAL);
      ASSERT_EQ(consumed, stop);
      ASSERT_EQ(out.size(), oracle.output.size());
    } else {  // beyond the code space: replaced, and the conversion goes on
      ASSERT_EQ(result, SAL_CONV_SOURCE_ILLEGAL);
      ASSERT_GT(consumed, stop);
      ASSERT_EQ(AsBytes(out).substr(oracle.output.size(), 3), "\xEF\xBF\xBD");
    }
  }
}
