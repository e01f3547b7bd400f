// encoding_bench.cpp - throughput of the text encodings on 16 MiB: base64
// in both directions beside OpenSSL's EVP_EncodeBlock / EVP_DecodeBlock
// (when the build found OpenSSL), and FormUrlEncode and EscapeCText on mixed
// text.  Prints the ratios of time, ours / OpenSSL's, at the end.
//
// Sections: the inputs, the measured operations, the reporter, main.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "bench/keeping_reporter.h"
#include "text/base64.h"
#include "text/escape.h"
#include "text/percent_encoding.h"

#if VBS_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

namespace {

constexpr size_t kSize = 16u << 20;

// ---------------------------------------------------------------------------
// Inputs
// ---------------------------------------------------------------------------

const std::vector<unsigned char> &RandomBytes() {
  static const std::vector<unsigned char> bytes = [] {
    std::vector<unsigned char> b(kSize);
    std::mt19937 rng(64);
    for (unsigned char &c : b) c = static_cast<unsigned char>(rng());
    return b;
  }();
  return bytes;
}

// The base64 text of RandomBytes, without line breaks.
const std::string &Base64Text() {
  static const std::string text = [] {
    const std::vector<unsigned char> &b = RandomBytes();
    std::string t(static_cast<size_t>(Base64EncodedLength(b.size(), 0)) + 1, '\0');
    uint32_t n = 0;
    Base64Encode(&t[0], static_cast<uint32_t>(t.size()), b.data(), static_cast<uint32_t>(b.size()), &n, 0);
    t.resize(n);
    return t;
  }();
  return text;
}

// Text as a form or a log line holds it: mostly letters, digits and spaces,
// some punctuation, line breaks and tabs, a few bytes 128-255 (UTF-8 text),
// rare control characters and backslashes.  No zero byte.
const std::string &MixedText() {
  static const std::string text = [] {
    static const char kWordChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789    ";
    static const char kPunctuation[] = ".,;:!?-_()[]{}<>\"'&=+/%#@*~";
    std::string t(kSize, ' ');
    std::mt19937 rng(822);
    for (char &c : t) {
      const unsigned r = rng() % 1000;
      if (r < 820) {
        c = kWordChars[rng() % (sizeof kWordChars - 1)];
      } else if (r < 920) {
        c = kPunctuation[rng() % (sizeof kPunctuation - 1)];
      } else if (r < 960) {
        c = "\r\n\t"[rng() % 3];
      } else if (r < 995) {
        c = static_cast<char>(0x80 + rng() % 0x80);
      } else {
        c = rng() % 2 ? '\\' : static_cast<char>(1 + rng() % 31);
      }
    }
    return t;
  }();
  return text;
}

// ---------------------------------------------------------------------------
// Measured operations
// ---------------------------------------------------------------------------

void BM_Base64Encode(benchmark::State &state) {
  const std::vector<unsigned char> &in = RandomBytes();
  std::vector<char> out(Base64Text().size() + 1);
  for (auto _ : state) {
    uint32_t n = 0;
    if (!Base64Encode(out.data(), static_cast<uint32_t>(out.size()), in.data(), static_cast<uint32_t>(in.size()), &n, 0))
      state.SkipWithError("Base64Encode failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_Base64Decode(benchmark::State &state) {
  const std::string &text = Base64Text();
  std::vector<char> out(kSize + 4);
  for (auto _ : state) {
    uint32_t n = static_cast<uint32_t>(out.size());
    if (!Base64Decode(out.data(), &n, text.c_str()) || n != kSize) state.SkipWithError("Base64Decode failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

#if VBS_HAVE_OPENSSL
void BM_OpenSslEncodeBlock(benchmark::State &state) {
  const std::vector<unsigned char> &in = RandomBytes();
  std::vector<unsigned char> out(Base64Text().size() + 1);
  for (auto _ : state) {
    if (EVP_EncodeBlock(out.data(), in.data(), static_cast<int>(in.size())) <= 0)
      state.SkipWithError("EVP_EncodeBlock failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_OpenSslDecodeBlock(benchmark::State &state) {
  const std::string &text = Base64Text();
  std::vector<unsigned char> out(kSize + 4);
  for (auto _ : state) {
    if (EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char *>(text.data()),
                        static_cast<int>(text.size())) < 0)
      state.SkipWithError("EVP_DecodeBlock failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}
#endif

void BM_FormUrlEncode(benchmark::State &state) {
  const std::string &text = MixedText();
  std::vector<char> out(text.size() * 3 + 1);
  for (auto _ : state) {
    uint32_t n = static_cast<uint32_t>(out.size());
    if (!FormUrlEncode(out.data(), &n, text.c_str())) state.SkipWithError("FormUrlEncode failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_EscapeCText(benchmark::State &state) {
  const std::string &text = MixedText();
  for (auto _ : state) {
    std::unique_ptr<CCommonString> escaped(EscapeCText(text.data(), static_cast<uint32_t>(text.size())));
    if (!escaped) state.SkipWithError("EscapeCText changed nothing");
    benchmark::DoNotOptimize(escaped.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// ---------------------------------------------------------------------------
// Reporter
// ---------------------------------------------------------------------------


void PrintThroughput(const KeepingReporter &reporter, const char *name, const char *label) {
  const double t = reporter.SecondsPerIteration(name);
  if (t > 0) std::printf("  %-38s %8.0f MiB/s\n", label, 16.0 / t);
}

void PrintRatio(const KeepingReporter &reporter, const char *ours, const char *theirs, const char *label) {
  const std::string ratio = TimeRatio(reporter.SecondsPerIteration(ours), reporter.SecondsPerIteration(theirs));
  std::printf("  %-38s %8s of OpenSSL's time\n", label, ratio.c_str());
}

}  // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  // Inputs are built before timing starts.
  (void)Base64Text();
  (void)MixedText();

  benchmark::RegisterBenchmark("Base64Encode/16MiB", BM_Base64Encode)->Unit(benchmark::kMillisecond);
#if VBS_HAVE_OPENSSL
  benchmark::RegisterBenchmark("OpenSSL_EVP_EncodeBlock/16MiB", BM_OpenSslEncodeBlock)->Unit(benchmark::kMillisecond);
#endif
  benchmark::RegisterBenchmark("Base64Decode/16MiB", BM_Base64Decode)->Unit(benchmark::kMillisecond);
#if VBS_HAVE_OPENSSL
  benchmark::RegisterBenchmark("OpenSSL_EVP_DecodeBlock/16MiB", BM_OpenSslDecodeBlock)->Unit(benchmark::kMillisecond);
#endif
  benchmark::RegisterBenchmark("FormUrlEncode/16MiB", BM_FormUrlEncode)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("EscapeCText/16MiB", BM_EscapeCText)->Unit(benchmark::kMillisecond);

  KeepingReporter reporter(KeptTime::kReal);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\nThroughput on 16 MiB (input bytes per second):\n");
  PrintThroughput(reporter, "Base64Encode/16MiB", "Base64Encode");
  PrintThroughput(reporter, "OpenSSL_EVP_EncodeBlock/16MiB", "OpenSSL EVP_EncodeBlock");
  PrintThroughput(reporter, "Base64Decode/16MiB", "Base64Decode (output bytes)");
  PrintThroughput(reporter, "OpenSSL_EVP_DecodeBlock/16MiB", "OpenSSL EVP_DecodeBlock (output bytes)");
  PrintThroughput(reporter, "FormUrlEncode/16MiB", "FormUrlEncode (mixed text)");
  PrintThroughput(reporter, "EscapeCText/16MiB", "EscapeCText (mixed text)");
#if VBS_HAVE_OPENSSL
  PrintRatio(reporter, "Base64Encode/16MiB", "OpenSSL_EVP_EncodeBlock/16MiB", "Base64Encode");
  PrintRatio(reporter, "Base64Decode/16MiB", "OpenSSL_EVP_DecodeBlock/16MiB", "Base64Decode");
#else
  std::printf("  OpenSSL not found when the benchmark was built: no comparison\n");
#endif
  return 0;
}
