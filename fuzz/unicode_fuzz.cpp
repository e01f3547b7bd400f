// unicode_fuzz.cpp - libFuzzer targets for the six Unicode conversions, one
// executable per direction (VBS_FUZZ_FROM and VBS_FUZZ_TO: 8, 16 or 32).
//
// Input: byte 0 picks the mode (bit 0: lenient) and byte 1 the target
// size; the rest is the source, read as units of the source encoding (a
// trailing partial unit is dropped).  Targets are heap blocks of exactly
// the size the converter is told, so that AddressSanitizer sees any write
// past them.  Besides the sanitizers the target checks:
//   - the result is one of the four, both positions stay inside their
//     ranges, a complete conversion consumed everything;
//   - a stop for want of room resumes where it stopped: the pieces of a
//     conversion through a small target add up to the conversion through a
//     large one;
//   - a stop names the right reason: for UTF-8 source, an illegal stop is
//     at a sequence SalIsLegalUtf8 refuses and an exhausted one at a
//     sequence running past the end;
//   - valid input (a strict conversion that completes) comes back unchanged
//     through both other encodings: UTF-8 -> UTF-16 -> UTF-32 -> UTF-8 and
//     the same from every start.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/unicode.h"

#if !defined(VBS_FUZZ_FROM) || !defined(VBS_FUZZ_TO)
#error "VBS_FUZZ_FROM and VBS_FUZZ_TO must name the direction (8, 16 or 32)"
#endif

namespace {

[[noreturn]] void Fail(const char *what) {
  std::fprintf(stderr, "unicode_fuzz %d->%d: %s\n", VBS_FUZZ_FROM, VBS_FUZZ_TO, what);
  std::abort();
}

template <int Bits>
struct Unit;
template <>
struct Unit<8> {
  using Type = uint8_t;
};
template <>
struct Unit<16> {
  using Type = char16_t;
};
template <>
struct Unit<32> {
  using Type = char32_t;
};

template <int From, int To>
using Converter = int (*)(const typename Unit<From>::Type **, const typename Unit<From>::Type *,
                          typename Unit<To>::Type **, typename Unit<To>::Type *, int);

template <int From, int To>
Converter<From, To> ConverterOf() {
  if constexpr (From == 32 && To == 16) {
    return SalUtf32ToUtf16;
  } else if constexpr (From == 32 && To == 8) {
    return SalUtf32ToUtf8;
  } else if constexpr (From == 16 && To == 32) {
    return SalUtf16ToUtf32;
  } else if constexpr (From == 16 && To == 8) {
    return SalUtf16ToUtf8;
  } else if constexpr (From == 8 && To == 16) {
    return SalUtf8ToUtf16;
  } else {
    static_assert(From == 8 && To == 32, "no such conversion");
    return SalUtf8ToUtf32;
  }
}

// Most units the output of n source units can need: 4 bytes of UTF-8 per
// unit at most (from UTF-32), 2 units of UTF-16 (from UTF-32), else 1.
constexpr size_t WorstCase(int to, size_t n) { return to == 8 ? n * 4 : n * 2; }

template <int From, int To>
struct Outcome {
  int result;
  size_t consumed;
  std::basic_string<typename Unit<To>::Type> output;
};

// One conversion into a heap target of exactly capacity units.
template <int From, int To>
Outcome<From, To> Convert(const typename Unit<From>::Type *source, size_t n, size_t capacity, int flags) {
  using Out = typename Unit<To>::Type;
  std::unique_ptr<Out[]> target(new Out[capacity > 0 ? capacity : 1]);
  const typename Unit<From>::Type *s = source;
  Out *t = target.get();
  const int result = ConverterOf<From, To>()(&s, source + n, &t, target.get() + capacity, flags);
  if (result < SAL_CONV_OK || result > SAL_CONV_SOURCE_ILLEGAL) Fail("result out of range");
  if (s < source || s > source + n) Fail("source position outside the source");
  if (t < target.get() || t > target.get() + capacity) Fail("target position outside the target");
  if (result == SAL_CONV_OK && s != source + n) Fail("OK before the end of the source");
  return {result, static_cast<size_t>(s - source), std::basic_string<Out>(target.get(), t)};
}

// Converts valid text through the two other encodings and back.
template <int From, int To>
void RoundTrip(const std::basic_string<typename Unit<From>::Type> &source,
               const std::basic_string<typename Unit<To>::Type> &converted) {
  constexpr int Third = 56 - From - To;  // the encoding not yet involved
  const auto back = Convert<To, From>(converted.data(), converted.size(), WorstCase(From, converted.size()),
                                      SAL_CONV_STRICT);
  if (back.result != SAL_CONV_OK || back.output != source) Fail("valid text does not come back directly");
  const auto third = Convert<To, Third>(converted.data(), converted.size(),
                                        WorstCase(Third, converted.size()), SAL_CONV_STRICT);
  if (third.result != SAL_CONV_OK) Fail("valid text does not convert to the third encoding");
  const auto home = Convert<Third, From>(third.output.data(), third.output.size(),
                                         WorstCase(From, third.output.size()), SAL_CONV_STRICT);
  if (home.result != SAL_CONV_OK || home.output != source) Fail("valid text does not come back the long way");
}

// Reasons of a stop in UTF-8 source, checked against SalIsLegalUtf8.
[[maybe_unused]] void CheckUtf8Stop(const uint8_t *source, size_t n, size_t at, int result) {
  if (result != SAL_CONV_SOURCE_ILLEGAL && result != SAL_CONV_SOURCE_EXHAUSTED) return;
  const uint8_t lead = source[at];
  const size_t announced = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : lead < 0xFC ? 5 : 6;
  const size_t left = n - at;
  if (result == SAL_CONV_SOURCE_EXHAUSTED && announced <= left) Fail("exhausted with the whole sequence present");
  if (result == SAL_CONV_SOURCE_ILLEGAL) {
    if (announced > left) Fail("illegal where the sequence runs past the end");
    if (SalIsLegalUtf8(source + at, announced) != 0) Fail("illegal stop at a legal sequence");
  }
}

template <int From, int To>
void FuzzOne(const uint8_t *data, size_t size) {
  using In = typename Unit<From>::Type;
  if (size < 2) return;
  const int flags = (data[0] & 1) != 0 ? SAL_CONV_LENIENT : SAL_CONV_STRICT;
  const uint8_t sizeControl = data[1];
  const size_t n = (size - 2) / sizeof(In);
  std::vector<In> units(n > 0 ? n : 1);
  if (n > 0) std::memcpy(units.data(), data + 2, n * sizeof(In));
  const std::basic_string<In> source(units.data(), n);

  const size_t worst = WorstCase(To, n);
  const auto whole = Convert<From, To>(source.data(), n, worst, flags);
  if (whole.result == SAL_CONV_TARGET_EXHAUSTED) Fail("the worst-case target was too small");
  if constexpr (From == 8) CheckUtf8Stop(source.data(), n, whole.consumed, whole.result);

  // The same conversion through a small target, resumed until it stops for
  // another reason: the pieces must add up to the whole.
  const size_t step = sizeControl % 16;
  std::basic_string<typename Unit<To>::Type> pieces;
  size_t at = 0;
  int result = SAL_CONV_TARGET_EXHAUSTED;
  for (int rounds = 0; result == SAL_CONV_TARGET_EXHAUSTED; ++rounds) {
    if (rounds > static_cast<int>(n) * 5 + 10) Fail("resuming makes no progress");
    const auto part = Convert<From, To>(source.data() + at, n - at, step + (rounds % 5), flags);
    pieces += part.output;
    at += part.consumed;
    result = part.result;
  }
  // A skipped value (strict UTF-32 -> UTF-16) or a replaced one sets
  // SOURCE_ILLEGAL only in the piece that met it; everything else matches.
  if (pieces != whole.output) Fail("the pieces differ from the whole");
  if (at != whole.consumed) Fail("the pieces stop elsewhere than the whole");
  if (result != whole.result && !(result == SAL_CONV_OK && whole.result == SAL_CONV_SOURCE_ILLEGAL))
    Fail("the pieces stop for another reason than the whole");

  if (flags == SAL_CONV_STRICT && whole.result == SAL_CONV_OK) RoundTrip<From, To>(source, whole.output);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzOne<VBS_FUZZ_FROM, VBS_FUZZ_TO>(data, size);
  return 0;
}
