// keeping_reporter.h - the console output of Google Benchmark, plus the mean
// time per iteration of every benchmark, kept for a benchmark program's
// closing ratios.
#ifndef VBS_BENCH_KEEPING_REPORTER_H
#define VBS_BENCH_KEEPING_REPORTER_H

#include <benchmark/benchmark.h>

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
      // The function name is the registered one, without "/real_time".
      Sum &s = sums_[run.run_name.function_name];
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

#endif  // VBS_BENCH_KEEPING_REPORTER_H
