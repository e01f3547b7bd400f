// text_search_bench.cpp - FindFast beside memmem and
// std::boyer_moore_horspool_searcher on a 16 MiB text, for patterns of 4, 16
// and 64 bytes, and DoubleToShortestText beside std::to_chars, in one run.
// Prints the ratios at the end: FindFast against the best of its two peers
// (goal <= 1.2x), DoubleToShortestText against to_chars (reported only: it
// formats through the runtime's printf and reads back through strtod at
// every precision it tries).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "bench/keeping_reporter.h"
#include "text/double_text.h"
#include "text/text_search.h"

namespace {

constexpr size_t kTextBytes = 16u << 20;
constexpr size_t kPatternSizes[] = {4, 16, 64};

// Lower-case letters and spaces; the pattern stands once, at the end, so
// that every searcher reads the whole text.
const std::string &Text() {
  static const std::string text = [] {
    std::mt19937 random(11);
    std::string t(kTextBytes, ' ');
    for (char &c : t) {
      const uint32_t r = random() % 28;
      c = r < 26 ? static_cast<char>('a' + r) : ' ';
    }
    return t;
  }();
  return text;
}

// A pattern of n bytes planted once, at the end of a copy of the text: a
// digit (which the text never holds) and then letters, so that no earlier
// place matches while the letters keep every searcher busy with candidates.
struct Case {
  std::string text;
  std::string pattern;
};

const Case &CaseFor(size_t n) {
  static std::map<size_t, Case> cases;
  auto it = cases.find(n);
  if (it == cases.end()) {
    Case c;
    c.text = Text();
    std::mt19937 random(static_cast<uint32_t>(n));
    c.pattern = "7";
    for (size_t i = 1; i < n; ++i) c.pattern += static_cast<char>('a' + random() % 26);
    c.text.replace(c.text.size() - n - 1, n, c.pattern);
    it = cases.emplace(n, std::move(c)).first;
  }
  return it->second;
}

void BM_FindFast(benchmark::State &state) {
  const Case &c = CaseFor(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(FindFast(c.text.c_str(), c.pattern.c_str()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c.text.size()));
}

void BM_Memmem(benchmark::State &state) {
  const Case &c = CaseFor(static_cast<size_t>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(memmem(c.text.data(), c.text.size(), c.pattern.data(), c.pattern.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c.text.size()));
}

void BM_Horspool(benchmark::State &state) {
  const Case &c = CaseFor(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    // The searcher's table is built per search, as FindFast builds its own.
    const std::boyer_moore_horspool_searcher searcher(c.pattern.begin(), c.pattern.end());
    benchmark::DoNotOptimize(std::search(c.text.begin(), c.text.end(), searcher));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c.text.size()));
}

// 4096 doubles of every magnitude, the same on every run.
const std::vector<double> &Doubles() {
  static const std::vector<double> values = [] {
    std::mt19937_64 random(3);
    std::vector<double> v;
    while (v.size() < 4096) {
      const uint64_t bits = random();
      double d;
      std::memcpy(&d, &bits, sizeof d);
      if (d == d && d - d == 0) v.push_back(d);  // finite
    }
    return v;
  }();
  return values;
}

void BM_ShortestText(benchmark::State &state) {
  CCommonString text;
  for (auto _ : state)
    for (double d : Doubles()) benchmark::DoNotOptimize(DoubleToShortestText(d, text, 1, 0));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Doubles().size()));
}

void BM_ToChars(benchmark::State &state) {
  char buffer[64];
  for (auto _ : state)
    for (double d : Doubles()) benchmark::DoNotOptimize(std::to_chars(buffer, buffer + sizeof buffer, d));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Doubles().size()));
}


}  // namespace

BENCHMARK(BM_FindFast)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memmem)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Horspool)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShortestText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToChars)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  for (size_t n : kPatternSizes) (void)CaseFor(n);  // built before any timing
  (void)Doubles();
  KeepingReporter reporter(KeptTime::kCpu);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\nFindFast against memmem and boyer_moore_horspool_searcher, 16 MiB, CPU ms (goal <= 1.20x of the best)\n");
  std::printf("%-10s %10s %10s %10s %13s\n", "pattern", "FindFast", "memmem", "horspool", "FindFast/best");
  for (size_t n : kPatternSizes) {
    const std::string arg = "/" + std::to_string(n);
    const double fast = reporter.SecondsPerIteration("BM_FindFast" + arg);
    const double mem = reporter.SecondsPerIteration("BM_Memmem" + arg);
    const double hor = reporter.SecondsPerIteration("BM_Horspool" + arg);
    if (fast <= 0 || mem <= 0 || hor <= 0) continue;
    const double best = std::min(mem, hor);
    std::printf("%-10s %10.3f %10.3f %10.3f %13s\n", (std::to_string(n) + " bytes").c_str(), fast * 1e3,
                mem * 1e3, hor * 1e3, TimeRatio(fast, best, 1.2).c_str());
  }
  const double shortest = reporter.SecondsPerIteration("BM_ShortestText");
  const double chars = reporter.SecondsPerIteration("BM_ToChars");
  if (shortest > 0 && chars > 0)
    std::printf("\nDoubleToShortestText against std::to_chars, 4096 doubles: %.3f ms vs %.3f ms (%s)\n",
                shortest * 1e3, chars * 1e3, TimeRatio(shortest, chars).c_str());
  return 0;
}
