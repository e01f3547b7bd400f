// string_bench.cpp - CCommonString's hot paths beside std::string in one run:
// appending single bytes, replacing a short pattern by a longer one in a
// 16 MiB text, and finding an occurrence in a 16 MiB text.  Prints the
// ratio CCommonString / std::string of each pair at the end (goal <= 1.2x).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "bench/keeping_reporter.h"

namespace {

constexpr uint32_t kAppends = 10 * 1000 * 1000;
constexpr size_t kTextBytes = 16u << 20;

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

// Lower-case letters and spaces, the same on every run.  The replace text
// holds "ab" about once every 700 bytes ("ab" among random letters, plus
// planted ones); the find text holds "needle" only where it is planted.
std::string RandomText(uint32_t seed) {
  std::mt19937 random(seed);
  std::string text(kTextBytes, ' ');
  for (char &c : text) {
    const uint32_t r = random() % 32;
    c = r < 26 ? static_cast<char>('c' + r % 24) : ' ';  // no 'a' or 'b' at random
  }
  return text;
}

const std::string &ReplaceText() {
  static const std::string text = [] {
    std::string t = RandomText(1);
    for (size_t i = 350; i + 2 < t.size(); i += 700) t.replace(i, 2, "ab");
    return t;
  }();
  return text;
}

// "needle" 64 times, evenly spread; FindNth looks for the 64th.
constexpr uint32_t kNeedles = 64;
const std::string &FindText() {
  static const std::string text = [] {
    std::string t = RandomText(2);
    for (uint32_t k = 1; k <= kNeedles; ++k) t.replace(k * (t.size() / (kNeedles + 1)), 6, "needle");
    return t;
  }();
  return text;
}

// ---------------------------------------------------------------------------
// Appending single bytes
// ---------------------------------------------------------------------------

void BM_AppendChar_Common(benchmark::State &state) {
  for (auto _ : state) {
    CCommonString s;
    s.SetGrowth(25, 256, 1024, 0);
    for (uint32_t i = 0; i < kAppends; ++i) s.AppendChar(static_cast<char>('a' + (i & 15)));
    benchmark::DoNotOptimize(s.CStr());
    if (s.GetLength() != kAppends) state.SkipWithError("lost bytes");
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kAppends);
}

void BM_AppendChar_Std(benchmark::State &state) {
  for (auto _ : state) {
    std::string s;
    for (uint32_t i = 0; i < kAppends; ++i) s.push_back(static_cast<char>('a' + (i & 15)));
    benchmark::DoNotOptimize(s.data());
    if (s.size() != kAppends) state.SkipWithError("lost bytes");
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kAppends);
}

// ---------------------------------------------------------------------------
// Replace "ab" by "XYZW" everywhere
// ---------------------------------------------------------------------------

// Each iteration starts from a fresh string of exact size (as one built by
// an assignment), so that the replacement has to grow it.
void BM_Replace_Common(benchmark::State &state) {
  const std::string &text = ReplaceText();
  uint32_t count = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CCommonString *s = new CCommonString(text.data(), static_cast<uint32_t>(text.size()));
    state.ResumeTiming();
    count = s->Replace("ab", 2, "XYZW", 4, 1, CCommonString::kAll);
    benchmark::DoNotOptimize(s->CStr());
    state.PauseTiming();
    delete s;
    state.ResumeTiming();
  }
  state.counters["replaced"] = count;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// The usual replace-all: one find loop appending into a new string reserved
// for the input's size plus an eighth, swapped in at the end.
void BM_Replace_Std(benchmark::State &state) {
  const std::string &text = ReplaceText();
  size_t count = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string *s = new std::string(text);
    state.ResumeTiming();
    std::string out;
    out.reserve(s->size() + s->size() / 8);
    count = 0;
    size_t from = 0;
    for (size_t hit; (hit = s->find("ab", from)) != std::string::npos; from = hit + 2, ++count) {
      out.append(*s, from, hit - from);
      out.append("XYZW", 4);
    }
    out.append(*s, from, std::string::npos);
    s->swap(out);
    benchmark::DoNotOptimize(s->data());
    state.PauseTiming();
    delete s;
    state.ResumeTiming();
  }
  state.counters["replaced"] = static_cast<double>(count);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// ---------------------------------------------------------------------------
// Find the 64th "needle"
// ---------------------------------------------------------------------------

void BM_FindNth_Common(benchmark::State &state) {
  const std::string &text = FindText();
  const CCommonString s(text.data(), static_cast<uint32_t>(text.size()));
  uint32_t at = 0;
  for (auto _ : state) {
    at = s.FindNth("needle", 6, 1, kNeedles, true);
    benchmark::DoNotOptimize(at);
  }
  if (at == 0) state.SkipWithError("not found");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_FindNth_Std(benchmark::State &state) {
  const std::string &text = FindText();
  size_t at = 0;
  for (auto _ : state) {
    size_t from = 0;
    for (uint32_t k = 0; k < kNeedles; ++k) {
      at = text.find("needle", from);
      if (at == std::string::npos) break;
      from = at + 6;
    }
    benchmark::DoNotOptimize(at);
  }
  if (at == std::string::npos) state.SkipWithError("not found");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// ---------------------------------------------------------------------------
// Reporter
// ---------------------------------------------------------------------------


}  // namespace

BENCHMARK(BM_AppendChar_Common)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AppendChar_Std)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Replace_Common)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Replace_Std)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindNth_Common)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindNth_Std)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  (void)ReplaceText();  // the texts are built before any timing
  (void)FindText();
  KeepingReporter reporter(KeptTime::kCpu);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\nCCommonString against std::string, CPU time per iteration (goal <= 1.20x)\n");
  std::printf("%-44s %12s %12s %13s\n", "operation", "common ms", "std ms", "common/std");
  const struct {
    const char *label, *common, *std;
  } pairs[] = {
      {"append 10^7 single bytes, growth 25/256/1024", "BM_AppendChar_Common", "BM_AppendChar_Std"},
      {"replace \"ab\" by \"XYZW\" in 16 MiB", "BM_Replace_Common", "BM_Replace_Std"},
      {"find the 64th \"needle\" in 16 MiB", "BM_FindNth_Common", "BM_FindNth_Std"},
  };
  for (const auto &p : pairs) {
    const double c = reporter.SecondsPerIteration(p.common);
    const double s = reporter.SecondsPerIteration(p.std);
    std::printf("%-44s %12.3f %12.3f %13s\n", p.label, c * 1e3, s * 1e3, TimeRatio(c, s, 1.2).c_str());
  }
  return 0;
}
