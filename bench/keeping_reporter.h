// keeping_reporter.h - the console output of Google Benchmark, plus the mean
// time per iteration of every benchmark, kept for a benchmark program's
// closing ratios, and the one way those ratios are written.
#ifndef VBS_BENCH_KEEPING_REPORTER_H
#define VBS_BENCH_KEEPING_REPORTER_H

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

/// Which clock the kept times come from: wall-clock time, or CPU time,
/// which other load on a shared machine disturbs least.
enum class KeptTime { kReal, kCpu };

class KeepingReporter : public benchmark::ConsoleReporter {
 public:
  explicit KeepingReporter(KeptTime kept) : kept_(kept) {}

  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
      // The registered name with its arguments ("BM_FindFast/16"), without
      // "/real_time" and the other run settings.
      const benchmark::BenchmarkName &name = run.run_name;
      Sum &s = sums_[name.args.empty() ? name.function_name : name.function_name + "/" + name.args];
      s.seconds += kept_ == KeptTime::kCpu ? run.cpu_accumulated_time : run.real_accumulated_time;
      s.iterations += static_cast<double>(run.iterations);
    }
    ConsoleReporter::ReportRuns(runs);
  }

  /// Seconds per iteration of the benchmark name, or 0 when it did not run.
  double SecondsPerIteration(const std::string &name) const {
    const auto it = sums_.find(name);
    return it == sums_.end() || it->second.iterations == 0 ? 0 : it->second.seconds / it->second.iterations;
  }

 private:
  struct Sum {
    double seconds = 0;
    double iterations = 0;
  };
  KeptTime kept_;
  std::map<std::string, Sum> sums_;
};

/// The ratio every benchmark program prints: the time per iteration of
/// ours divided by that of theirs, so below 1.00x ours is the faster.
/// "n/a" when either time is missing (0).  With a goal above 0 the verdict
/// follows: "ok" when the ratio is at most the goal, else "OVER".
inline std::string TimeRatio(double ours, double theirs, double goal = 0) {
  if (ours <= 0 || theirs <= 0) return "n/a";
  const double ratio = ours / theirs;
  char text[32];
  if (goal > 0) {
    std::snprintf(text, sizeof text, "%.2fx %s", ratio, ratio <= goal ? "ok" : "OVER");
  } else {
    std::snprintf(text, sizeof text, "%.2fx", ratio);
  }
  return text;
}

#endif  // VBS_BENCH_KEEPING_REPORTER_H
