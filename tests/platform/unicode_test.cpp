// unicode_test.cpp - the UTF-8 / UTF-16 / UTF-32 conversions: every code
// point, targets of every size, resuming after a stop, lone surrogates and
// values beyond the code space, the legal UTF-8 sequences.  Damaged UTF-8
// is judged against iconv in unicode_oracle_test.cpp.
#include "platform/unicode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/expect_pairs.h"

namespace {

using U16 = std::u16string;
using U32 = std::u32string;

// The outcome of one conversion: result, units consumed, units written.
template <typename Out>
struct Outcome {
  int result;
  size_t consumed;
  std::basic_string<Out> written;
};

// Runs converter over all of source with room for capacity units, filling
// the rest of a larger buffer with a guard value that must stay untouched.
template <typename In, typename Out>
Outcome<Out> Convert(int (*converter)(const In **, const In *, Out **, Out *, int),
                 const std::basic_string<In> &source, size_t capacity, int flags) {
  constexpr size_t kGuard = 8;
  const Out guard = static_cast<Out>(0x5A);
  std::vector<Out> buffer(capacity + kGuard, guard);
  const In *s = source.data();
  Out *t = buffer.data();
  const int result = converter(&s, source.data() + source.size(), &t, buffer.data() + capacity, flags);
  for (size_t i = capacity; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], guard) << "written past the target at " << i;
  EXPECT_GE(t, buffer.data());
  EXPECT_LE(t, buffer.data() + capacity);
  EXPECT_GE(s, source.data());
  EXPECT_LE(s, source.data() + source.size());
  return {result, static_cast<size_t>(s - source.data()), std::basic_string<Out>(buffer.data(), t)};
}

std::basic_string<uint8_t> U8(std::initializer_list<int> bytes) {
  std::basic_string<uint8_t> s;
  for (int b : bytes) s.push_back(static_cast<uint8_t>(b));
  return s;
}

// A straightforward encoder, written apart from the one under test.
std::basic_string<uint8_t> EncodeUtf8(const U32 &text) {
  std::basic_string<uint8_t> out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<uint8_t>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<uint8_t>(0xC0 + c / 64));
      out.push_back(static_cast<uint8_t>(0x80 + c % 64));
    } else if (c < 0x10000) {
      out.push_back(static_cast<uint8_t>(0xE0 + c / 4096));
      out.push_back(static_cast<uint8_t>(0x80 + c / 64 % 64));
      out.push_back(static_cast<uint8_t>(0x80 + c % 64));
    } else {
      out.push_back(static_cast<uint8_t>(0xF0 + c / 262144));
      out.push_back(static_cast<uint8_t>(0x80 + c / 4096 % 64));
      out.push_back(static_cast<uint8_t>(0x80 + c / 64 % 64));
      out.push_back(static_cast<uint8_t>(0x80 + c % 64));
    }
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
    for (char32_t c : {0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFFFDu, 0xFFFFu, 0x10000u,
                       0x10FFFFu, 0u})
      t.push_back(c);
    return t + U"end of the text";  // with the zero before it, 16 ASCII units to the end
  }();
  return text;
}

constexpr int kBothModes[] = {SAL_CONV_STRICT, SAL_CONV_LENIENT};

}  // namespace

// ---------------------------------------------------------------------------
// Valid text: every direction agrees with the independent encoders, for
// every target size the output is a prefix of the whole, and resuming from
// where a stop left the source gives the whole.
// ---------------------------------------------------------------------------

// Converts source with every capacity from 0 up to the full size; each
// short target must stop with TARGET_EXHAUSTED on a character boundary.
template <typename In, typename Out>
void SweepTargets(int (*converter)(const In **, const In *, Out **, Out *, int),
                  const std::basic_string<In> &source, const std::basic_string<Out> &expected) {
  for (int flags : kBothModes) {
    const Outcome<Out> whole = Convert(converter, source, expected.size(), flags);
    ASSERT_EQ(whole.result, SAL_CONV_OK);
    ASSERT_EQ(whole.consumed, source.size());
    ASSERT_TRUE(whole.written == expected);
    for (size_t capacity = 0; capacity < expected.size(); ++capacity) {
      SCOPED_TRACE(capacity);
      const Outcome<Out> part = Convert(converter, source, capacity, flags);
      ASSERT_EQ(part.result, SAL_CONV_TARGET_EXHAUSTED);
      ASSERT_TRUE(expected.compare(0, part.written.size(), part.written) == 0);
      // Never more than one character (at most four units) short of full.
      ASSERT_GE(part.written.size() + 4, capacity);
      const Outcome<Out> rest =
          Convert(converter, source.substr(part.consumed), expected.size() - part.written.size(), flags);
      ASSERT_EQ(rest.result, SAL_CONV_OK);
      ASSERT_TRUE(part.written + rest.written == expected);
    }
  }
}

TEST(SalUnicode, ValidTextEveryDirectionEveryTargetSize) {
  const U32 &utf32 = Mixed();
  const U16 utf16 = EncodeUtf16(utf32);
  const auto utf8 = EncodeUtf8(utf32);
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
  const auto utf8 = EncodeUtf8(all);
  const U16 utf16 = EncodeUtf16(all);
  EXPECT_TRUE(Convert(SalUtf32ToUtf8, all, utf8.size(), SAL_CONV_STRICT).written == utf8);
  EXPECT_TRUE(Convert(SalUtf32ToUtf16, all, utf16.size(), SAL_CONV_STRICT).written == utf16);
  EXPECT_TRUE(Convert(SalUtf8ToUtf32, utf8, all.size(), SAL_CONV_STRICT).written == all);
  EXPECT_TRUE(Convert(SalUtf16ToUtf32, utf16, all.size(), SAL_CONV_STRICT).written == all);
  EXPECT_TRUE(Convert(SalUtf8ToUtf16, utf8, utf16.size(), SAL_CONV_STRICT).written == utf16);
  EXPECT_TRUE(Convert(SalUtf16ToUtf8, utf16, utf8.size(), SAL_CONV_STRICT).written == utf8);

  for (char32_t c : all) {
    char16_t units[2] = {0, 0};
    uint8_t bytes[4] = {0, 0, 0, 0};
    int n16 = -1, n8 = -1;
    ASSERT_EQ(SalCodePointToUtf16(c, units, &n16), 1);
    ASSERT_EQ(SalCodePointToUtf8(c, bytes, &n8), 1);
    ASSERT_TRUE(U16(units, n16) == EncodeUtf16(U32(1, c))) << std::hex << c;
    ASSERT_TRUE(std::basic_string<uint8_t>(bytes, n8) == EncodeUtf8(U32(1, c))) << std::hex << c;
  }
}

// ---------------------------------------------------------------------------
// Lone surrogates and values beyond the code space.  Each outcome as
// "result consumed output": result 0 OK, 1 source exhausted, 2 target
// exhausted, 3 source illegal; output units above 0x7F in <hex>.
// ---------------------------------------------------------------------------

template <typename In, typename Out>
std::string Summary(int (*converter)(const In **, const In *, Out **, Out *, int), const std::basic_string<In> &source,
                    size_t capacity, int flags) {
  const Outcome<Out> o = Convert(converter, source, capacity, flags);
  std::string s = std::to_string(o.result) + " " + std::to_string(o.consumed) + " ";
  for (Out u : o.written) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "<%X>", static_cast<unsigned>(u));
    s += u < 0x80 ? std::string(1, static_cast<char>(u)) : std::string(hex);
  }
  return s;
}

TEST(SalUnicode, StrayTrailingByteAfterABlockOfAscii) {
  // The block copy of ASCII stops in front of it; it is illegal in both modes.
  const auto source = U8({'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x80, 'i'});
  for (int flags : kBothModes) {
    EXPECT_EQ(Summary(SalUtf8ToUtf16, source, 16, flags), "3 8 abcdefgh");
    EXPECT_EQ(Summary(SalUtf8ToUtf32, source, 16, flags), "3 8 abcdefgh");
  }
}

TEST(SalUnicode, Utf16SurrogatesInEveryPosition) {
  // A high surrogate at the end waits for more input in both modes; else
  // strict stops at a lone surrogate, lenient carries it along (as a
  // three-byte sequence in UTF-8).
  const int strict = SAL_CONV_STRICT, lenient = SAL_CONV_LENIENT;
  const U16 highAtEnd = u"ab\xD800", highAscii = u"ab\xD800x", highHigh = u"\xD800\xDBFF\xDC00", low = u"a\xDC00",
            lowHigh = u"\xDFFF\xD800\xDC00", pairLow = u"\xDBFF\xDFFF\xDFFF";
  // Towards UTF-32 | towards UTF-8.
  auto both = [](const U16 &source, int flags) {
    return Summary(SalUtf16ToUtf32, source, 16, flags) + " | " + Summary(SalUtf16ToUtf8, source, 16, flags);
  };
  EXPECT_PAIRS(std::string, {{both(highAtEnd, strict), "1 2 ab | 1 2 ab"},
                             {both(highAtEnd, lenient), "1 2 ab | 1 2 ab"},
                             {both(highAscii, strict), "3 2 ab | 3 2 ab"},
                             {both(highAscii, lenient), "0 4 ab<D800>x | 0 4 ab<ED><A0><80>x"},
                             {both(highHigh, strict), "3 0  | 3 0 "},
                             {both(highHigh, lenient), "0 3 <D800><10FC00> | 0 3 <ED><A0><80><F4><8F><B0><80>"},
                             {both(low, strict), "3 1 a | 3 1 a"},
                             {both(low, lenient), "0 2 a<DC00> | 0 2 a<ED><B0><80>"},
                             {both(lowHigh, strict), "3 0  | 3 0 "},
                             {both(lowHigh, lenient), "0 3 <DFFF><10000> | 0 3 <ED><BF><BF><F0><90><80><80>"},
                             {both(pairLow, strict), "3 2 <10FFFF> | 3 2 <F4><8F><BF><BF>"},
                             {both(pairLow, lenient), "0 3 <10FFFF><DFFF> | 0 3 <F4><8F><BF><BF><ED><BF><BF>"}});
}

TEST(SalUnicode, Utf32SurrogatesAndValuesBeyondTheCodeSpace) {
  // A surrogate: strict stops, lenient replaces it (UTF-16) or carries it
  // (UTF-8).  Beyond the code space: towards UTF-16 strict skips and
  // reports it, lenient replaces quietly; towards UTF-8 both modes replace
  // and report it.
  const int strict = SAL_CONV_STRICT, lenient = SAL_CONV_LENIENT;
  const U32 surrogate = U"a\xDABCz";
  EXPECT_PAIRS(std::string, {{Summary(SalUtf32ToUtf16, surrogate, 8, strict), "3 1 a"},
                             {Summary(SalUtf32ToUtf16, surrogate, 8, lenient), "0 3 a<FFFD>z"},
                             {Summary(SalUtf32ToUtf8, surrogate, 8, strict), "3 1 a"},
                             {Summary(SalUtf32ToUtf8, surrogate, 8, lenient), "0 3 a<ED><AA><BC>z"}});
  for (char32_t big : {char32_t(0x110000), char32_t(0x7FFFFFFF), char32_t(0xFFFFFFFF)}) {
    SCOPED_TRACE(static_cast<uint32_t>(big));
    const U32 source = U32(U"a") + big + U"z";
    EXPECT_PAIRS(std::string, {{Summary(SalUtf32ToUtf16, source, 8, strict), "3 3 az"},
                               {Summary(SalUtf32ToUtf16, source, 8, lenient), "0 3 a<FFFD>z"},
                               {Summary(SalUtf32ToUtf8, source, 8, strict), "3 3 a<EF><BF><BD>z"},
                               {Summary(SalUtf32ToUtf8, source, 8, lenient), "3 3 a<EF><BF><BD>z"}});
  }
  // A later stop reports its own reason: the skipped value is forgotten
  // when the target fills up afterwards; the replacement itself needs
  // three bytes of room.
  EXPECT_PAIRS(std::string, {{Summary(SalUtf32ToUtf16, U32(U"\x110000" U"abc"), 2, strict), "2 3 ab"},
                             {Summary(SalUtf32ToUtf8, U32(U"\x110000" U"abc"), 3, lenient), "2 1 <EF><BF><BD>"},
                             {Summary(SalUtf32ToUtf8, U32(1, 0x110000), 2, lenient), "2 0 "}});
}

// ---------------------------------------------------------------------------
// SalIsLegalUtf8 against the definition: a sequence is legal exactly when it
// is the shortest encoding of a scalar value.
// ---------------------------------------------------------------------------

TEST(SalUnicode, IsLegalUtf8MatchesTheEncodingsOfScalarValues) {
  // Every one- and two-byte sequence, and every three-byte sequence.
  auto legalByDefinition = [](const std::basic_string<uint8_t> &seq) {
    char32_t value = 0;
    const size_t n = seq.size();
    const uint8_t lead = seq[0];
    if (n == 1) return lead < 0x80;
    if (n == 2 && (lead & 0xE0) != 0xC0) return false;
    if (n == 3 && (lead & 0xF0) != 0xE0) return false;
    if (n == 4 && (lead & 0xF8) != 0xF0) return false;
    value = lead & (0x7F >> n);
    for (size_t i = 1; i < n; ++i) {
      if ((seq[i] & 0xC0) != 0x80) return false;
      value = value * 64 + (seq[i] & 0x3F);
    }
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    return EncodeUtf8(U32(1, value)).size() == n;  // the shortest form only
  };
  std::basic_string<uint8_t> seq;
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
  EXPECT_EQ(SalIsLegalUtf8(U8({0x41, 0x80}).data(), 2), 0);
  EXPECT_EQ(SalIsLegalUtf8(U8({0xC3, 0xA9, 0x80}).data(), 3), 0);
  EXPECT_EQ(SalIsLegalUtf8(U8({0xC3, 0xA9}).data(), 0), 0);
  EXPECT_EQ(SalIsLegalUtf8(nullptr, 1), 0);
}

TEST(SalUnicode, CodePointEncodersRefuseNonScalarValues) {
  for (uint32_t bad : {0xD800u, 0xDBFFu, 0xDC00u, 0xDFFFu, 0x110000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(bad);
    char16_t units[2] = {u'x', u'x'};
    uint8_t bytes[4] = {'x', 'x', 'x', 'x'};
    int count = 7;
    EXPECT_EQ(SalCodePointToUtf16(bad, units, &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(units[0], u'x');
    count = 7;
    EXPECT_EQ(SalCodePointToUtf8(bad, bytes, &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(bytes[0], 'x');
  }
  int count = 7;
  EXPECT_EQ(SalCodePointToUtf8(0x41, nullptr, &count), 0);
  EXPECT_EQ(count, 0);
  char16_t units[2];
  EXPECT_EQ(SalCodePointToUtf16(0x10000, units, nullptr), 1);
}

TEST(SalUnicode, NullPositionsAndEmptyRanges) {
  const uint8_t text[] = {'a'};
  const uint8_t *s = text;
  char16_t out[4];
  char16_t *t = out;
  EXPECT_EQ(SalUtf8ToUtf16(nullptr, text + 1, &t, out + 4, 0), SAL_CONV_SOURCE_ILLEGAL);
  EXPECT_EQ(SalUtf8ToUtf16(&s, text + 1, nullptr, out + 4, 0), SAL_CONV_SOURCE_ILLEGAL);
  EXPECT_EQ(s, text);
  // A source end before the position is an empty source; a target end
  // before the position is no room.
  EXPECT_EQ(SalUtf8ToUtf16(&s, text, &t, out + 4, 0), SAL_CONV_OK);
  EXPECT_EQ(SalUtf8ToUtf16(&s, text + 1, &t, out, 0), SAL_CONV_TARGET_EXHAUSTED);
  EXPECT_EQ(s, text);
  EXPECT_EQ(t, out);
  const char32_t *s32 = nullptr;
  char32_t *t32 = nullptr;
  const char16_t *s16 = nullptr;
  EXPECT_EQ(SalUtf32ToUtf16(&s32, nullptr, &t, out + 4, 0), SAL_CONV_OK);
  EXPECT_EQ(SalUtf16ToUtf32(&s16, nullptr, &t32, nullptr, 0), SAL_CONV_OK);
}
