// unicode_test.cpp - the UTF-8 / UTF-16 / UTF-32 conversions: every code
// point against an independent encoder, targets of every size and resuming
// after a stop, the lenient handling of surrogates and of values beyond the
// code space, the legal UTF-8 sequences; and, on POSIX, generated valid and
// damaged input beside the C library's iconv.
#include "platform/unicode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/expect_pairs.h"

#if !defined(_WIN32)
#include <errno.h>
#include <iconv.h>
#endif

namespace {

using U16 = std::u16string;
using U32 = std::u32string;
using Bytes = std::basic_string<uint8_t>;
constexpr int kBothModes[] = {SAL_CONV_STRICT, SAL_CONV_LENIENT};

// The outcome of one conversion: result, units consumed, units written.
template <typename Out>
struct Outcome {
  int result;
  size_t consumed;
  std::basic_string<Out> written;
};

// Runs converter over all of source with room for capacity units (by
// default enough for any output), filling the rest of a larger buffer with
// a guard value that must stay untouched.
template <typename In, typename Out>
Outcome<Out> Convert(int (*converter)(const In **, const In *, Out **, Out *, int),
                     const std::basic_string<In> &source, int flags, size_t capacity = size_t(-1)) {
  if (capacity == size_t(-1)) capacity = source.size() * 4 + 4;
  constexpr size_t kGuard = 8;
  const Out guard = static_cast<Out>(0x5A);
  std::vector<Out> buffer(capacity + kGuard, guard);
  const In *s = source.data();
  Out *t = buffer.data();
  const int result = converter(&s, source.data() + source.size(), &t, buffer.data() + capacity, flags);
  for (size_t i = capacity; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], guard) << "written past the target at " << i;
  EXPECT_TRUE(t >= buffer.data() && t <= buffer.data() + capacity);
  EXPECT_TRUE(s >= source.data() && s <= source.data() + source.size());
  return {result, static_cast<size_t>(s - source.data()), std::basic_string<Out>(buffer.data(), t)};
}

Bytes U8(std::initializer_list<int> bytes) {
  Bytes s;
  for (int b : bytes) s.push_back(static_cast<uint8_t>(b));
  return s;
}

// Straightforward encoders, written apart from the ones under test.
Bytes EncodeUtf8(const U32 &text) {
  Bytes out;
  for (char32_t c : text) {
    const int n = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    static const uint8_t kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out.push_back(static_cast<uint8_t>(n == 1 ? c : kLead[n] + (c >> (6 * (n - 1)))));
    for (int k = n - 2; k >= 0; --k) out.push_back(static_cast<uint8_t>(0x80 + ((c >> (6 * k)) & 0x3F)));
  }
  return out;
}

U16 EncodeUtf16(const U32 &text) {
  U16 out;
  for (char32_t c : text) {
    if (c < 0x10000) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      out.push_back(static_cast<char16_t>(0xD800 + (c - 0x10000) / 1024));
      out.push_back(static_cast<char16_t>(0xDC00 + (c - 0x10000) % 1024));
    }
  }
  return out;
}

// Mixed text: ASCII runs, Latin, Greek, Cyrillic, CJK, supplementary
// characters, the edges of every encoding length and of the code space.
const U32 &Mixed() {
  static const U32 text = [] {
    U32 t = U"plain ASCII text of some length, " U"Gr\u00FC\u00DFe \u03B1\u03B2\u03B3 \u0416\u0418\u0412 "
            U"\u65E5\u672C\u8A9E \U0001F600\U00020000 ";
    for (char32_t c : {0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFFFDu, 0xFFFFu, 0x10000u, 0x10FFFFu, 0u})
      t.push_back(c);
    return t + U"end of the text";  // with the zero before it, 16 ASCII units to the end
  }();
  return text;
}

// Converts source with every capacity from 0 up to the full size; each
// short target must stop with TARGET_EXHAUSTED on a character boundary, and
// resuming from where it stopped gives the rest.
template <typename In, typename Out>
void SweepTargets(int (*converter)(const In **, const In *, Out **, Out *, int),
                  const std::basic_string<In> &source, const std::basic_string<Out> &expected) {
  for (int flags : kBothModes) {
    const Outcome<Out> whole = Convert(converter, source, flags, expected.size());
    ASSERT_EQ(whole.result, SAL_CONV_OK);
    ASSERT_EQ(whole.consumed, source.size());
    ASSERT_TRUE(whole.written == expected);
    for (size_t capacity = 0; capacity < expected.size(); ++capacity) {
      SCOPED_TRACE(capacity);
      const Outcome<Out> part = Convert(converter, source, flags, capacity);
      ASSERT_EQ(part.result, SAL_CONV_TARGET_EXHAUSTED);
      ASSERT_TRUE(expected.compare(0, part.written.size(), part.written) == 0);
      // Never more than one character (at most four units) short of full.
      ASSERT_GE(part.written.size() + 4, capacity);
      const Outcome<Out> rest =
          Convert(converter, source.substr(part.consumed), flags, expected.size() - part.written.size());
      ASSERT_EQ(rest.result, SAL_CONV_OK);
      ASSERT_TRUE(part.written + rest.written == expected);
    }
  }
}

// "result consumed output" of a conversion: result 0 OK, 1 source
// exhausted, 2 target exhausted, 3 source illegal; output units above 0x7F
// in <hex>.
template <typename In, typename Out>
std::string Summary(int (*converter)(const In **, const In *, Out **, Out *, int), const std::basic_string<In> &source,
                    int flags, size_t capacity = 16) {
  const Outcome<Out> o = Convert(converter, source, flags, capacity);
  std::string s = std::to_string(o.result) + " " + std::to_string(o.consumed) + " ";
  for (Out u : o.written) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "<%X>", static_cast<unsigned>(u));
    s += u < 0x80 ? std::string(1, static_cast<char>(u)) : std::string(hex);
  }
  return s;
}

}  // namespace

TEST(SalUnicode, ValidTextEveryDirectionEveryTargetSize) {
  const U32 &utf32 = Mixed();
  const U16 utf16 = EncodeUtf16(utf32);
  const Bytes utf8 = EncodeUtf8(utf32);
  SweepTargets(SalUtf32ToUtf16, utf32, utf16);
  SweepTargets(SalUtf32ToUtf8, utf32, utf8);
  SweepTargets(SalUtf16ToUtf32, utf16, utf32);
  SweepTargets(SalUtf16ToUtf8, utf16, utf8);
  SweepTargets(SalUtf8ToUtf16, utf8, utf16);
  SweepTargets(SalUtf8ToUtf32, utf8, utf32);
}

TEST(SalUnicode, EveryCodePointRoundTrips) {
  U32 all;
  for (char32_t c = 0; c <= 0x10FFFF; ++c)
    if (c < 0xD800 || c > 0xDFFF) all.push_back(c);
  const Bytes utf8 = EncodeUtf8(all);
  const U16 utf16 = EncodeUtf16(all);
  EXPECT_TRUE(Convert(SalUtf32ToUtf8, all, SAL_CONV_STRICT).written == utf8);
  EXPECT_TRUE(Convert(SalUtf32ToUtf16, all, SAL_CONV_STRICT).written == utf16);
  EXPECT_TRUE(Convert(SalUtf8ToUtf32, utf8, SAL_CONV_STRICT).written == all);
  EXPECT_TRUE(Convert(SalUtf16ToUtf32, utf16, SAL_CONV_STRICT).written == all);
  EXPECT_TRUE(Convert(SalUtf8ToUtf16, utf8, SAL_CONV_STRICT).written == utf16);
  EXPECT_TRUE(Convert(SalUtf16ToUtf8, utf16, SAL_CONV_STRICT).written == utf8);
  for (char32_t c : all) {
    char16_t units[2] = {0, 0};
    uint8_t bytes[4] = {0, 0, 0, 0};
    int n16 = -1, n8 = -1;
    ASSERT_EQ(SalCodePointToUtf16(c, units, &n16) + SalCodePointToUtf8(c, bytes, &n8), 2);
    ASSERT_TRUE(U16(units, n16) == EncodeUtf16(U32(1, c))) << std::hex << c;
    ASSERT_TRUE(Bytes(bytes, n8) == EncodeUtf8(U32(1, c))) << std::hex << c;
  }
  for (uint32_t bad : {0xD800u, 0xDFFFu, 0x110000u, 0xFFFFFFFFu}) {
    char16_t units[2] = {u'x', u'x'};
    uint8_t bytes[4] = {'x', 'x', 'x', 'x'};
    int n16 = 7, n8 = 7;
    EXPECT_EQ(SalCodePointToUtf16(bad, units, &n16) + SalCodePointToUtf8(bad, bytes, &n8), 0) << bad;
    EXPECT_EQ(n16 + n8 + (units[0] != u'x') + (bytes[0] != 'x'), 0) << bad;
  }
  int count = 7;
  EXPECT_EQ(SalCodePointToUtf8(0x41, nullptr, &count), 0);
  EXPECT_EQ(count, 0);
  char16_t units[2];
  EXPECT_EQ(SalCodePointToUtf16(0x10000, units, nullptr), 1);
}

// Where the oracles do not reach: lenient conversions, values beyond the
// code space towards UTF-16, a stray byte behind the block copy of ASCII.
TEST(SalUnicode, LenientSurrogatesAndValuesBeyondTheCodeSpace) {
  const int strict = SAL_CONV_STRICT, lenient = SAL_CONV_LENIENT;
  for (int flags : kBothModes)
    EXPECT_EQ(Summary(SalUtf8ToUtf16, U8({'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x80, 'i'}), flags),
              "3 8 abcdefgh");
  // UTF-16: a high surrogate at the end waits for more input in both
  // modes; else lenient carries a lone surrogate along (as a three-byte
  // sequence in UTF-8).  Towards UTF-32 | towards UTF-8.
  auto both = [](const U16 &source, int flags) {
    return Summary(SalUtf16ToUtf32, source, flags) + " | " + Summary(SalUtf16ToUtf8, source, flags);
  };
  EXPECT_PAIRS(std::string,
               {{both(u"ab\xD800", lenient), "1 2 ab | 1 2 ab"},
                {both(u"ab\xD800x", lenient), "0 4 ab<D800>x | 0 4 ab<ED><A0><80>x"},
                {both(u"\xD800\xDBFF\xDC00", lenient), "0 3 <D800><10FC00> | 0 3 <ED><A0><80><F4><8F><B0><80>"},
                {both(u"a\xDC00", lenient), "0 2 a<DC00> | 0 2 a<ED><B0><80>"},
                {both(u"\xDFFF\xD800\xDC00", lenient), "0 3 <DFFF><10000> | 0 3 <ED><BF><BF><F0><90><80><80>"},
                {both(u"\xDBFF\xDFFF\xDFFF", lenient), "0 3 <10FFFF><DFFF> | 0 3 <F4><8F><BF><BF><ED><BF><BF>"},
                {both(u"\xDBFF\xDFFF\xDFFF", strict), "3 2 <10FFFF> | 3 2 <F4><8F><BF><BF>"}});
  // UTF-32: a surrogate: strict stops, lenient replaces it (UTF-16) or
  // carries it (UTF-8).  Beyond the code space: towards UTF-16 strict skips
  // and reports it, lenient replaces quietly; towards UTF-8 both modes
  // replace and report it.
  const U32 surrogate = U"a\xDABCz";
  EXPECT_PAIRS(std::string, {{Summary(SalUtf32ToUtf16, surrogate, strict), "3 1 a"},
                             {Summary(SalUtf32ToUtf16, surrogate, lenient), "0 3 a<FFFD>z"},
                             {Summary(SalUtf32ToUtf8, surrogate, lenient), "0 3 a<ED><AA><BC>z"}});
  for (char32_t big : {char32_t(0x110000), char32_t(0x7FFFFFFF), char32_t(0xFFFFFFFF)}) {
    SCOPED_TRACE(static_cast<uint32_t>(big));
    const U32 source = U32(U"a") + big + U"z";
    EXPECT_PAIRS(std::string, {{Summary(SalUtf32ToUtf16, source, strict), "3 3 az"},
                               {Summary(SalUtf32ToUtf16, source, lenient), "0 3 a<FFFD>z"},
                               {Summary(SalUtf32ToUtf8, source, lenient), "3 3 a<EF><BF><BD>z"}});
  }
  // A later stop reports its own reason: the skipped value is forgotten
  // when the target fills up afterwards; the replacement itself needs
  // three bytes of room.
  EXPECT_PAIRS(std::string, {{Summary(SalUtf32ToUtf16, U32(U"\x110000" U"abc"), strict, 2), "2 3 ab"},
                             {Summary(SalUtf32ToUtf8, U32(U"\x110000" U"abc"), lenient, 3), "2 1 <EF><BF><BD>"},
                             {Summary(SalUtf32ToUtf8, U32(1, 0x110000), lenient, 2), "2 0 "}});

  // Null positions are illegal; a source end before the position is an
  // empty source, a target end before the position is no room.
  const uint8_t text[] = {'a'};
  const uint8_t *s = text;
  char16_t out[4];
  char16_t *t = out;
  EXPECT_EQ(SalUtf8ToUtf16(nullptr, text + 1, &t, out + 4, 0), SAL_CONV_SOURCE_ILLEGAL);
  EXPECT_EQ(SalUtf8ToUtf16(&s, text + 1, nullptr, out + 4, 0), SAL_CONV_SOURCE_ILLEGAL);
  EXPECT_EQ(SalUtf8ToUtf16(&s, text, &t, out + 4, 0), SAL_CONV_OK);
  EXPECT_EQ(SalUtf8ToUtf16(&s, text + 1, &t, out, 0), SAL_CONV_TARGET_EXHAUSTED);
  EXPECT_TRUE(s == text && t == out);
  const char32_t *s32 = nullptr;
  char32_t *t32 = nullptr;
  const char16_t *s16 = nullptr;
  EXPECT_EQ(SalUtf32ToUtf16(&s32, nullptr, &t, out + 4, 0), SAL_CONV_OK);
  EXPECT_EQ(SalUtf16ToUtf32(&s16, nullptr, &t32, nullptr, 0), SAL_CONV_OK);
}

// SalIsLegalUtf8 against the definition: a sequence is legal exactly when it
// is the shortest encoding of a scalar value.
TEST(SalUnicode, IsLegalUtf8MatchesTheEncodingsOfScalarValues) {
  auto legalByDefinition = [](const Bytes &seq) {
    const size_t n = seq.size();
    const uint8_t lead = seq[0];
    if (n == 1) return lead < 0x80;
    static const uint8_t kMask[] = {0, 0, 0xE0, 0xF0, 0xF8};
    if ((lead & kMask[n]) != static_cast<uint8_t>(kMask[n] << 1)) return false;
    char32_t value = lead & (0x7F >> n);
    for (size_t i = 1; i < n; ++i) {
      if ((seq[i] & 0xC0) != 0x80) return false;
      value = value * 64 + (seq[i] & 0x3F);
    }
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    return EncodeUtf8(U32(1, value)).size() == n;  // the shortest form only
  };
  // Every one- and two-byte sequence, and a sweep of three- and four-byte ones.
  Bytes seq;
  for (int a = 0; a < 256; ++a) {
    seq = U8({a});
    ASSERT_EQ(SalIsLegalUtf8(seq.data(), 1), legalByDefinition(seq) ? 1 : 0) << a;
    for (int b = 0; b < 256; ++b) {
      seq = U8({a, b});
      ASSERT_EQ(SalIsLegalUtf8(seq.data(), 2), legalByDefinition(seq) ? 1 : 0) << a << " " << b;
    }
  }
  for (int a = 0xC0; a < 0x100; ++a)
    for (int b = 0x70; b < 0xD0; ++b)
      for (int c : {0x00, 0x7F, 0x80, 0x9F, 0xA0, 0xBF, 0xC0}) {
        seq = U8({a, b, c});
        ASSERT_EQ(SalIsLegalUtf8(seq.data(), 3), legalByDefinition(seq) ? 1 : 0) << a << " " << b << " " << c;
        seq.push_back(0x80);
        ASSERT_EQ(SalIsLegalUtf8(seq.data(), 4), legalByDefinition(seq) ? 1 : 0) << a << " " << b << " " << c;
        seq.push_back(0x80);
        ASSERT_EQ(SalIsLegalUtf8(seq.data(), 5), 0);
      }
  // The length must be the one the first byte announces.
  EXPECT_EQ(SalIsLegalUtf8(U8({0xC3, 0xA9, 0x80}).data(), 3) + SalIsLegalUtf8(U8({0xC3, 0xA9}).data(), 0) +
                SalIsLegalUtf8(nullptr, 1),
            0);
}

#if !defined(_WIN32)
namespace {
template <typename T>
std::string AsBytes(const std::basic_string<T> &s) {
  return std::string(reinterpret_cast<const char *>(s.data()), s.size() * sizeof(T));
}

// What iconv made of an input: the output up to where it stopped, the
// input bytes it consumed, and errno at the stop (0 when it finished).
struct IconvOutcome {
  std::string output;
  size_t consumed = 0;
  int error = 0;
};

template <typename T>
IconvOutcome Iconv(const char *to, const char *from, const std::basic_string<T> &input) {
  const bool little = [] {
    const char16_t probe = 1;
    return *reinterpret_cast<const uint8_t *>(&probe) == 1;
  }();
  auto name = [little](const char *n) {
    return std::string(n) + (std::strcmp(n, "UTF-8") == 0 ? "" : little ? "LE" : "BE");
  };
  iconv_t cd = iconv_open(name(to).c_str(), name(from).c_str());
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << from << " -> " << to;
  IconvOutcome out;
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  std::string bytes = AsBytes(input);
  std::vector<char> buffer(bytes.size() * 4 + 16);
  char *in = &bytes[0], *outPos = buffer.data();
  size_t inLeft = bytes.size(), outLeft = buffer.size();
  if (iconv(cd, &in, &inLeft, &outPos, &outLeft) == static_cast<size_t>(-1)) out.error = errno;
  out.consumed = (bytes.size() - inLeft) / sizeof(T);
  out.output.assign(buffer.data(), outPos);
  iconv_close(cd);
  return out;
}

int ResultOf(const IconvOutcome &o) {
  return o.error == 0 ? SAL_CONV_OK : o.error == EINVAL ? SAL_CONV_SOURCE_EXHAUSTED : SAL_CONV_SOURCE_ILLEGAL;
}

// Random scalar values, mostly from the ranges real text uses.
U32 RandomText(std::mt19937 &random, size_t length) {
  static const struct {
    char32_t first, last;
  } ranges[] = {{0x20, 0x7E},     {0x00, 0x7F},       {0xA0, 0x24F},      {0x370, 0x4FF},
                {0x600, 0x6FF},   {0x3040, 0x30FF},   {0x4E00, 0x9FFF},   {0xAC00, 0xD7A3},
                {0xE000, 0xFFFF}, {0x10000, 0x1FFFF}, {0x20000, 0x10FFFF}};
  U32 text;
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
    const U32 utf32 = RandomText(random, random() % 600);
    const IconvOutcome u16 = Iconv("UTF-16", "UTF-32", utf32), u8 = Iconv("UTF-8", "UTF-32", utf32);
    ASSERT_EQ(u16.error + u8.error, 0);
    const U16 utf16(reinterpret_cast<const char16_t *>(u16.output.data()), u16.output.size() / 2);
    const Bytes utf8(reinterpret_cast<const uint8_t *>(u8.output.data()), u8.output.size());
    for (int flags : kBothModes) {
      const std::string got[] = {AsBytes(Convert(SalUtf32ToUtf16, utf32, flags).written),
                                 AsBytes(Convert(SalUtf32ToUtf8, utf32, flags).written),
                                 AsBytes(Convert(SalUtf16ToUtf32, utf16, flags).written),
                                 AsBytes(Convert(SalUtf16ToUtf8, utf16, flags).written),
                                 AsBytes(Convert(SalUtf8ToUtf16, utf8, flags).written),
                                 AsBytes(Convert(SalUtf8ToUtf32, utf8, flags).written)};
      const std::string want[] = {u16.output, u8.output, AsBytes(utf32), u8.output, u16.output, AsBytes(utf32)};
      for (int k = 0; k < 6; ++k) EXPECT_EQ(got[k], want[k]) << "direction " << k;
      EXPECT_EQ(Convert(SalUtf8ToUtf32, utf8, flags).result, SAL_CONV_OK);
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
    const std::string valid = Iconv("UTF-8", "UTF-32", RandomText(random, 1 + random() % 40)).output;
    Bytes utf8(reinterpret_cast<const uint8_t *>(valid.data()), valid.size());
    // One to three damages: a byte replaced, a byte inserted, the end cut.
    for (int d = 1 + random() % 3; d > 0 && !utf8.empty(); --d) {
      const size_t at = random() % utf8.size();
      switch (random() % 3) {
        case 0: utf8[at] = static_cast<uint8_t>(random()); break;
        case 1: utf8.insert(utf8.begin() + at, static_cast<uint8_t>(0x80 + random() % 0x80)); break;
        default: utf8.resize(at); break;
      }
    }
    const IconvOutcome oracle = Iconv("UTF-16", "UTF-8", utf8);
    for (int flags : kBothModes) {
      const Outcome<char16_t> out = Convert(SalUtf8ToUtf16, utf8, flags);
      ASSERT_EQ(AsBytes(out.written), oracle.output);
      ASSERT_EQ(out.consumed, oracle.consumed);
      const uint8_t lead = out.consumed < utf8.size() ? utf8[out.consumed] : 0;
      const size_t announced = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : lead < 0xFC ? 5 : 6;
      ASSERT_EQ(out.result, oracle.error == EILSEQ && announced > utf8.size() - out.consumed
                                ? SAL_CONV_SOURCE_EXHAUSTED
                                : ResultOf(oracle));
      // UTF-32 output stops at the same place with the same reason.
      const Outcome<char32_t> out32 = Convert(SalUtf8ToUtf32, utf8, flags);
      ASSERT_EQ(out32.result, out.result);
      ASSERT_EQ(out32.consumed, out.consumed);
      ASSERT_TRUE(out32.written == Convert(SalUtf16ToUtf32, out.written, SAL_CONV_STRICT).written);
    }
    illegal += oracle.error == EILSEQ;
    exhausted += oracle.error == EINVAL;
  }
  // The damage must have produced both kinds of stop, many times.
  EXPECT_GT(illegal, 5000);
  EXPECT_GT(exhausted, 500);
}

// Random UTF-16 units with surrogates anywhere, and random 32-bit values:
// strict conversion stops where iconv stops (iconv's "incomplete" is a high
// surrogate at the very end).  iconv stops at a UTF-32 value beyond
// 0x10FFFF too, where the converter replaces it and goes on.
TEST(SalUnicodeOracle, RandomUtf16AndUtf32StopWhereIconvStops) {
  std::mt19937 random(13);
  for (int round = 0; round < 20000; ++round) {
    SCOPED_TRACE(round);
    U16 units;
    for (size_t n = random() % 24; n > 0; --n) {
      const uint32_t pick = random() % 4;
      units.push_back(static_cast<char16_t>(pick == 0 ? 0xD800 + random() % 0x400
                                            : pick == 1 ? 0xDC00 + random() % 0x400
                                                        : random() % 0x10000));
    }
    const IconvOutcome oracle8 = Iconv("UTF-8", "UTF-16", units), oracle32 = Iconv("UTF-32", "UTF-16", units);
    const Outcome<uint8_t> out8 = Convert(SalUtf16ToUtf8, units, SAL_CONV_STRICT);
    ASSERT_EQ(AsBytes(out8.written), oracle8.output);
    ASSERT_EQ(out8.consumed, oracle8.consumed);
    ASSERT_EQ(out8.result, ResultOf(oracle8));
    const Outcome<char32_t> out32 = Convert(SalUtf16ToUtf32, units, SAL_CONV_STRICT);
    ASSERT_EQ(AsBytes(out32.written), oracle32.output);
    ASSERT_EQ(out32.consumed, oracle32.consumed);

    U32 values;
    for (size_t n = random() % 24; n > 0; --n) {
      const uint32_t pick = random() % 8;
      values.push_back(pick == 0 ? 0xD800 + random() % 0x800 : pick == 1 ? 0x110000 + random() : random() % 0x110000);
    }
    const IconvOutcome oracle = Iconv("UTF-8", "UTF-32", values);
    const Outcome<uint8_t> out = Convert(SalUtf32ToUtf8, values, SAL_CONV_STRICT);
    const std::string written = AsBytes(out.written);
    ASSERT_EQ(written.substr(0, oracle.output.size()), oracle.output);
    ASSERT_EQ(out.result, oracle.error == 0 ? SAL_CONV_OK : SAL_CONV_SOURCE_ILLEGAL);
    if (oracle.error == 0) {
      ASSERT_EQ(out.consumed, values.size());
    } else if (values[oracle.consumed] <= 0x10FFFF) {  // a surrogate: strict stops there
      ASSERT_EQ(out.consumed, oracle.consumed);
      ASSERT_EQ(written.size(), oracle.output.size());
    } else {  // beyond the code space: replaced, and the conversion goes on
      ASSERT_GT(out.consumed, oracle.consumed);
      ASSERT_EQ(written.substr(oracle.output.size(), 3), "\xEF\xBF\xBD");
    }
  }
}
#endif  // !_WIN32
