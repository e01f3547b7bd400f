// growth_bench.cpp - time per byte of output of the operations that build
// their output piece by piece, at 256 KiB, 1 MiB and 4 MiB of output.  When
// the storage grows geometrically the time per byte stays flat across the
// sizes (goal: the slowest size within 1.5x of the fastest); when every
// piece reallocates to the exact size it grows with the size wherever the
// heap copies on growth (the Windows heap, the sanitizers' allocator).
//
// A string with a growth record grows by that record's rule, so the row
// of AppendHex onto such a string has a floor row beside it: the runtime's
// realloc alone through the same capacities.  Under Wine that floor is not
// flat either, because the heap gives every block of about 1 MiB and more
// fresh pages at each resize.
//
// Two ways to time the same operations: Google Benchmark where the build
// has it (the native build), and a self-timed mode on the thread's CPU
// clock for builds without it (the Windows cross build, run under Wine);
// the native program runs the self-timed mode too when given --self-timed.
// Sections: the operations, the self-timed mode, Google Benchmark, main.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <time.h>

#include "base/common_string.h"
#include "text/bin_output_stream.h"
#include "text/common_wide_string.h"
#include "text/sql_layout.h"

#if VBS_GROWTH_BENCH_GBENCH
#include <benchmark/benchmark.h>

#include "bench/keeping_reporter.h"
#endif

namespace {

// ---------------------------------------------------------------------------
// The operations
// ---------------------------------------------------------------------------

constexpr size_t kSizes[] = {256u << 10, 1u << 20, 4u << 20};
constexpr const char *kSizeNames[] = {"256KiB", "1MiB", "4MiB"};
constexpr size_t kSizeCount = sizeof kSizes / sizeof kSizes[0];

// What an operation works from, made before any timing.
struct Input {
  std::string bytes;
  std::u16string units;
  size_t target = 0;  // bytes of output wanted
};

std::string RandomBytes(size_t n, uint32_t seed, bool zeros) {
  std::mt19937 random(seed);
  std::string bytes(n, '\0');
  for (char &c : bytes) {
    c = static_cast<char>(random());
    if (!zeros && c == '\0') c = 'z';
  }
  return bytes;
}

uint32_t Length(const std::string &s) { return static_cast<uint32_t>(s.size()); }

// Each run starts from a fresh copy of the input, so that the in-place
// forms can run again; the copy is one allocation of the input's size.
uint64_t EscapeC(const Input &in) {
  CCommonString s(in.bytes.data(), Length(in.bytes));
  return s.EscapeC() == 1 ? s.GetLength() : 0;
}

uint64_t AppendHexSteps(const Input &in) {
  CCommonString s;
  s.SetGrowth(25, 256, 1024, 0);
  for (size_t at = 0; at + 32 <= in.bytes.size(); at += 32)
    if (s.AppendHex(in.bytes.data() + at, 32, 1) != 1) return 0;
  return s.GetLength();
}

volatile char g_last;

// The floor of the row above: the runtime's realloc alone, through the
// capacities that growth record gives, with 64 bytes written a step.
uint64_t ReallocSteps(const Input &in) {
  char *block = nullptr;
  size_t capacity = 0;
  size_t length = 0;
  for (; length < in.target; length += 64) {
    const size_t needed = length + 64 + 1;
    if (needed > capacity) {
      capacity = needed >= 1024 ? needed + needed / 4 + 256 : needed;
      char *grown = static_cast<char *>(std::realloc(block, capacity));
      if (grown == nullptr) break;
      block = grown;
    }
    std::memset(block + length, 'h', 64);
  }
  if (length != 0) g_last = block[length - 1];  // the writes are not dead
  std::free(block);
  return length;
}

uint64_t Base64Encode(const Input &in) {
  CCommonString s(in.bytes.data(), Length(in.bytes));
  return s.Base64Encode() == 1 ? s.GetLength() : 0;
}

uint64_t PercentEncode(const Input &in) {
  CCommonString s(in.bytes.data(), Length(in.bytes));
  return s.PercentEncode() == 1 ? s.GetLength() : 0;
}

uint64_t WideFormat(const Input &in) {
  CCommonWideString s;
  if (s.Format(u"<%s|%s>", in.units.c_str(), in.units.c_str()) != 1) return 0;
  return static_cast<uint64_t>(s.GetLength()) * sizeof(char16_t);
}

uint64_t OutputStream(const Input &in) {
  CCommonString out;
  CBinOutputStream stream(out, 1);
  for (uint32_t i = 0; out.GetLength() < in.target; ++i)
    if (stream.WriteString("record") != 1 || stream.WriteUInt32(i) != 1) return 0;
  return out.GetLength();
}

uint64_t SqlLayout(const Input &in) {
  const CCommonString statement(in.bytes.data(), Length(in.bytes));
  CCommonString out;
  return FormatSqlStatement(out, statement, 1, 0, 12, 16) == 1 ? out.GetLength() : 0;
}

struct Operation {
  const char *name;
  uint64_t (*run)(const Input &);
  double inputPerOutput;  // input bytes (or units) per byte of output
  enum { kRandom, kRandomNoZero, kUnits, kNothing, kSql } input;
  bool floor = false;  // a reference row without library code: no verdict
};

const Operation kOperations[] = {
    {"EscapeC (random bytes)", EscapeC, 1.0 / 3, Operation::kRandom},
    {"AppendHex, 64 digits a step, growth 25/256/1024", AppendHexSteps, 0.5, Operation::kRandom},
    {"  floor: realloc alone through those capacities", ReallocSteps, 0, Operation::kNothing, true},
    {"Base64Encode", Base64Encode, 0.75, Operation::kRandom},
    {"PercentEncode (random bytes)", PercentEncode, 0.5, Operation::kRandomNoZero},
    {"16-bit Format \"<%s|%s>\"", WideFormat, 0.25, Operation::kUnits},
    {"CBinOutputStream, 14-byte records", OutputStream, 0, Operation::kNothing},
    {"FormatSqlStatement, width 16", SqlLayout, 0.25, Operation::kSql},
};
constexpr size_t kOperationCount = sizeof kOperations / sizeof kOperations[0];

Input Prepare(const Operation &op, size_t target) {
  Input in;
  in.target = target;
  const auto n = static_cast<size_t>(static_cast<double>(target) * op.inputPerOutput);
  switch (op.input) {
    case Operation::kRandom: in.bytes = RandomBytes(n, 1, true); break;
    case Operation::kRandomNoZero: in.bytes = RandomBytes(n, 2, false); break;
    case Operation::kUnits: in.units.assign(n, u'w'); break;
    case Operation::kNothing: break;
    case Operation::kSql:
      in.bytes = "select ";
      while (in.bytes.size() < n) in.bytes += "alpha, beta from gamma where delta and epsilon ";
      break;
  }
  return in;
}

// Nanoseconds per byte of output, per operation and size; 0 where an
// operation failed.
double g_nsPerByte[kOperationCount][kSizeCount];

void PrintTable(const char *how) {
  std::printf("\nTime per byte of output (%s); goal: slowest / fastest size <= 1.50\n", how);
  std::printf("%-50s %9s %9s %9s %7s\n", "operation", kSizeNames[0], kSizeNames[1], kSizeNames[2], "ratio");
  for (size_t o = 0; o < kOperationCount; ++o) {
    double lo = 0, hi = 0;
    std::printf("%-50s", kOperations[o].name);
    for (size_t k = 0; k < kSizeCount; ++k) {
      const double ns = g_nsPerByte[o][k];
      std::printf(" %7.3fns", ns);
      if (k == 0 || ns < lo) lo = ns;
      if (k == 0 || ns > hi) hi = ns;
    }
    if (lo > 0) {
      const bool flat = kOperations[o].floor || hi / lo <= 1.5;
      std::printf(" %7.2f%s\n", hi / lo, flat ? "" : "  <- not flat");
    } else {
      std::printf("  failed\n");
    }
  }
}

// ---------------------------------------------------------------------------
// Self-timed mode: thread CPU time, because on a shared machine the wall
// clock of a 30 ms run mostly measures the other programs.  The thread's
// CPU clock (POSIX clock_gettime, which mingw-w64's threads library
// provides on Windows) ticks in 10 to 16 ms steps there, so runs are timed
// in batches of at least 0.25 s; the best of four batches' mean counts.
// ---------------------------------------------------------------------------

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

int RunSelfTimed() {
  int failures = 0;
  for (size_t o = 0; o < kOperationCount; ++o) {
    for (size_t k = 0; k < kSizeCount; ++k) {
      const Input in = Prepare(kOperations[o], kSizes[k]);
      const uint64_t bytes = kOperations[o].run(in);  // also warms the heap
      if (bytes == 0) {
        ++failures;
        continue;
      }
      double best = 0;
      for (int batch = 0; batch < 4; ++batch) {
        const double start = CpuSeconds();
        double spent = 0;
        int runs = 0;
        for (; runs < 3 || spent < 0.25; ++runs, spent = CpuSeconds() - start)
          if (kOperations[o].run(in) != bytes) ++failures;
        const double mean = spent / runs;
        if (batch == 0 || mean < best) best = mean;
      }
      g_nsPerByte[o][k] = best * 1e9 / static_cast<double>(bytes);
    }
  }
  PrintTable("self-timed, thread CPU time, best of 4 batches");
  return failures == 0 ? 0 : 1;
}

// ---------------------------------------------------------------------------
// Google Benchmark
// ---------------------------------------------------------------------------

#if VBS_GROWTH_BENCH_GBENCH
uint64_t g_bytes[kOperationCount][kSizeCount];

std::string BenchmarkName(size_t o, size_t k) {
  return std::string(kOperations[o].name) + "/" + kSizeNames[k];
}

int RunGoogleBenchmark(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  for (size_t o = 0; o < kOperationCount; ++o) {
    for (size_t k = 0; k < kSizeCount; ++k) {
      benchmark::RegisterBenchmark(BenchmarkName(o, k).c_str(), [o, k](benchmark::State &state) {
        const Input in = Prepare(kOperations[o], kSizes[k]);
        uint64_t bytes = 0;
        for (auto _ : state) {
          bytes = kOperations[o].run(in);
          benchmark::DoNotOptimize(bytes);
        }
        if (bytes == 0) state.SkipWithError("the operation failed");
        g_bytes[o][k] = bytes;
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
      })->Unit(benchmark::kMicrosecond);
    }
  }
  KeepingReporter reporter(KeptTime::kCpu);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (size_t o = 0; o < kOperationCount; ++o)
    for (size_t k = 0; k < kSizeCount; ++k)
      if (g_bytes[o][k] != 0)
        g_nsPerByte[o][k] = reporter.SecondsPerIteration(BenchmarkName(o, k)) * 1e9 /
                            static_cast<double>(g_bytes[o][k]);
  PrintTable("Google Benchmark, CPU time");
  return 0;
}
#endif

}  // namespace

// ---------------------------------------------------------------------------
// main
// ---------------------------------------------------------------------------

int main(int argc, char **argv) {
#if VBS_GROWTH_BENCH_GBENCH
  if (argc < 2 || std::strcmp(argv[1], "--self-timed") != 0) return RunGoogleBenchmark(argc, argv);
#else
  (void)argc;
  (void)argv;
#endif
  return RunSelfTimed();
}
