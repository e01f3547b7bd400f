// unicode_bench.cpp - UTF-8 -> UTF-16 and UTF-16 -> UTF-8 on 16 MiB of
// mixed-script text: the library's conversions beside glibc's iconv and
// ICU in one run.  Prints the ratios library / iconv and library / ICU of
// CPU time per conversion at the end (goal: at most 1.00x against iconv).
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#if VBS_BENCH_HAVE_ICU
#include <unicode/ustring.h>
#endif

#include "bench/keeping_reporter.h"
#include "platform/unicode.h"

namespace {

constexpr size_t kTextBytes = 16u << 20;

// ---------------------------------------------------------------------------
// The text: words of several scripts, chosen at random with fixed seed,
// separated by spaces and some punctuation, up to 16 MiB of UTF-8.
// ---------------------------------------------------------------------------

const std::string &Utf8Text() {
  static const std::string text = [] {
    static const char *const kWords[][6] = {
        {"the", "conversion", "of", "text", "between", "encodings"},                         // English
        {"caf\xC3\xA9", "na\xC3\xAFve", "Gr\xC3\xBC\xC3\x9F" "e", "\xC3\xA0", "fa\xC3\xA7" "ade",
         "\xC3\xB8l"},                                                                        // Latin
        {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xD0\xBC\xD0\xB8\xD1\x80",
         "\xD1\x82\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82", "\xD0\xB8", "\xD0\xB4\xD0\xB0",
         "\xD0\xBD\xD0\xB5\xD1\x82"},                                                         // Russian
        {"\xCE\xB1\xCE\xBB\xCF\x86\xCE\xAC", "\xCE\xB2\xCE\xAE\xCF\x84\xCE\xB1", "\xCE\xBA\xCE\xB1\xCE\xB9",
         "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82", "\xCF\x84\xCE\xBF", "\xCE\xB7"},        // Greek
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "\xE6\x96\x87\xE5\xAD\x97", "\xE5\xA4\x89\xE6\x8F\x9B",
         "\xE3\x81\xAE", "\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88",
         "\xE4\xB8\xAD\xE6\x96\x87"},                                                         // CJK
        {"\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4", "\xEB\xAC\xB8\xEC\x9E\x90", "\xEC\x9D\x98",
         "\xEB\xB3\x80\xED\x99\x98", "\xEA\xB8\x80", "\xEB\x8B\xA4"},                         // Korean
        {"\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7", "\xD9\x86\xD8\xB5", "\xD9\x81\xD9\x8A",
         "\xD8\xB9\xD9\x84\xD9\x89", "\xD9\x85\xD9\x86", "\xD9\x84\xD8\xA7"},                 // Arabic
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x91\x8D", "\xF0\x9D\x90\x80\xF0\x9D\x90\x81", "\xF0\xA0\x80\x80",
         "\xF0\x9F\x8C\x8D", "\xF0\x9F\x8E\x89"},                                             // beyond the BMP
    };
    // Weights per script, out of 100: about the mix of a multilingual page.
    static const int kWeights[] = {40, 15, 10, 8, 14, 5, 5, 3};
    std::mt19937 random(2024);
    std::string t;
    t.reserve(kTextBytes + 64);
    while (t.size() < kTextBytes) {
      int pick = static_cast<int>(random() % 100), script = 0;
      while (pick >= kWeights[script]) pick -= kWeights[script++];
      t += kWords[script][random() % 6];
      const uint32_t r = random() % 16;
      t += r == 0 ? ", " : r == 1 ? ". " : r == 2 ? "\n" : " ";
    }
    // Cut at a character boundary at or below 16 MiB.
    size_t end = kTextBytes;
    while ((static_cast<uint8_t>(t[end]) & 0xC0) == 0x80) --end;
    t.resize(end);
    return t;
  }();
  return text;
}

const std::u16string &Utf16Text() {
  static const std::u16string text = [] {
    const std::string &u8 = Utf8Text();
    std::u16string out(u8.size(), u'\0');
    const auto *s = reinterpret_cast<const uint8_t *>(u8.data());
    char16_t *t = &out[0];
    if (SalUtf8ToUtf16(&s, s + u8.size(), &t, t + out.size(), SAL_CONV_STRICT) != SAL_CONV_OK) std::abort();
    out.resize(static_cast<size_t>(t - out.data()));
    return out;
  }();
  return text;
}

const char *Utf16Name() {
  const char16_t probe = 1;
  unsigned char first;
  std::memcpy(&first, &probe, 1);
  return first == 1 ? "UTF-16LE" : "UTF-16BE";
}

// ---------------------------------------------------------------------------
// UTF-8 -> UTF-16
// ---------------------------------------------------------------------------

void BM_Utf8ToUtf16_Library(benchmark::State &state) {
  const std::string &in = Utf8Text();
  std::vector<char16_t> out(in.size());
  for (auto _ : state) {
    const auto *s = reinterpret_cast<const uint8_t *>(in.data());
    char16_t *t = out.data();
    const int r = SalUtf8ToUtf16(&s, s + in.size(), &t, t + out.size(), SAL_CONV_STRICT);
    if (r != SAL_CONV_OK) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(t);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(in.size()));
}

void BM_Utf8ToUtf16_Iconv(benchmark::State &state) {
  const std::string &in = Utf8Text();
  std::vector<char16_t> out(in.size());
  iconv_t cd = iconv_open(Utf16Name(), "UTF-8");
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char *s = const_cast<char *>(in.data());
    size_t sLeft = in.size();
    char *t = reinterpret_cast<char *>(out.data());
    size_t tLeft = out.size() * sizeof(char16_t);
    if (iconv(cd, &s, &sLeft, &t, &tLeft) == static_cast<size_t>(-1)) state.SkipWithError("iconv failed");
    benchmark::DoNotOptimize(t);
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(in.size()));
}

#if VBS_BENCH_HAVE_ICU
void BM_Utf8ToUtf16_Icu(benchmark::State &state) {
  const std::string &in = Utf8Text();
  std::vector<UChar> out(in.size());
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(out.data(), static_cast<int32_t>(out.size()), &length, in.data(),
                  static_cast<int32_t>(in.size()), &error);
    if (U_FAILURE(error)) state.SkipWithError("ICU failed");
    benchmark::DoNotOptimize(length);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(in.size()));
}
#endif

// ---------------------------------------------------------------------------
// UTF-16 -> UTF-8
// ---------------------------------------------------------------------------

void BM_Utf16ToUtf8_Library(benchmark::State &state) {
  const std::u16string &in = Utf16Text();
  std::vector<uint8_t> out(in.size() * 3);
  for (auto _ : state) {
    const char16_t *s = in.data();
    uint8_t *t = out.data();
    const int r = SalUtf16ToUtf8(&s, s + in.size(), &t, t + out.size(), SAL_CONV_STRICT);
    if (r != SAL_CONV_OK) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(t);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Utf8Text().size()));
}

void BM_Utf16ToUtf8_Iconv(benchmark::State &state) {
  const std::u16string &in = Utf16Text();
  std::vector<char> out(in.size() * 3);
  iconv_t cd = iconv_open("UTF-8", Utf16Name());
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char *s = reinterpret_cast<char *>(const_cast<char16_t *>(in.data()));
    size_t sLeft = in.size() * sizeof(char16_t);
    char *t = out.data();
    size_t tLeft = out.size();
    if (iconv(cd, &s, &sLeft, &t, &tLeft) == static_cast<size_t>(-1)) state.SkipWithError("iconv failed");
    benchmark::DoNotOptimize(t);
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Utf8Text().size()));
}

#if VBS_BENCH_HAVE_ICU
void BM_Utf16ToUtf8_Icu(benchmark::State &state) {
  const std::u16string &in = Utf16Text();
  std::vector<char> out(in.size() * 3);
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    int32_t length = 0;
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length, in.data(), static_cast<int32_t>(in.size()),
                &error);
    if (U_FAILURE(error)) state.SkipWithError("ICU failed");
    benchmark::DoNotOptimize(length);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Utf8Text().size()));
}
#endif

// ---------------------------------------------------------------------------
// Reporter
// ---------------------------------------------------------------------------


void PrintRatio(const KeepingReporter &reporter, const char *label, const char *library, const char *peer,
                double goal) {
  const double l = reporter.SecondsPerIteration(library);
  const double p = reporter.SecondsPerIteration(peer);
  const double mib = static_cast<double>(Utf8Text().size()) / (1 << 20);
  std::printf("%-34s %10.0f %10.0f %13s\n", label, l > 0 ? mib / l : 0.0, p > 0 ? mib / p : 0.0,
              TimeRatio(l, p, goal).c_str());
}

}  // namespace

BENCHMARK(BM_Utf8ToUtf16_Library)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8ToUtf16_Iconv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf16ToUtf8_Library)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf16ToUtf8_Iconv)->Unit(benchmark::kMillisecond);
#if VBS_BENCH_HAVE_ICU
BENCHMARK(BM_Utf8ToUtf16_Icu)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf16ToUtf8_Icu)->Unit(benchmark::kMillisecond);
#endif

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  (void)Utf16Text();  // the texts are built before any timing
  KeepingReporter reporter(KeptTime::kCpu);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\nUnicode conversions on %.1f MiB of mixed-script UTF-8 (%zu UTF-16 units), CPU time\n",
              static_cast<double>(Utf8Text().size()) / (1 << 20), Utf16Text().size());
  std::printf("%-34s %10s %10s %13s\n", "library against", "lib MiB/s", "peer MiB/s", "time lib/peer");
  PrintRatio(reporter, "UTF-8 -> UTF-16, iconv (goal 1.00)", "BM_Utf8ToUtf16_Library", "BM_Utf8ToUtf16_Iconv", 1.0);
  PrintRatio(reporter, "UTF-16 -> UTF-8, iconv (goal 1.00)", "BM_Utf16ToUtf8_Library", "BM_Utf16ToUtf8_Iconv", 1.0);
#if VBS_BENCH_HAVE_ICU
  PrintRatio(reporter, "UTF-8 -> UTF-16, ICU", "BM_Utf8ToUtf16_Library", "BM_Utf8ToUtf16_Icu", 0);
  PrintRatio(reporter, "UTF-16 -> UTF-8, ICU", "BM_Utf16ToUtf8_Library", "BM_Utf16ToUtf8_Icu", 0);
#else
  std::printf("ICU: not found when this program was built (libicu-dev); no ICU comparison\n");
#endif
  return 0;
}
