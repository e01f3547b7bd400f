// read_bench.cpp - ReadBex plus a full walk against the floor of reading the
// same bytes with one fread, at 1, 4, 16 and 64 MiB; and the memory a read
// adds, measured in a fresh child process.
//
// Sections: the synthetic files, the two measured operations, the memory
// probe (run as a child: read_bench --memory-probe FILE), the reporter that
// keeps the results for the closing summary, and main.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/keeping_reporter.h"
#include "tools/bex_synthetic.h"
#include "tools/bex_writer.h"
#include "vortBexScanner.h"

namespace {

constexpr uint64_t kMiB = 1u << 20;

// ---------------------------------------------------------------------------
// Synthetic files
// ---------------------------------------------------------------------------

struct BenchFile {
  uint64_t mib = 0;
  std::string path;
  uint64_t bytes = 0;
  uint32_t nodes = 0;
};

bexgen::SyntheticParams ParamsFor(uint64_t mib) {
  bexgen::SyntheticParams p;
  p.seed = 20240601 + mib;
  p.targetBytes = mib * kMiB;
  // From 16 MiB on the tables are as large as the format allows.
  p.nodes = mib >= 16 ? 32768 : mib >= 4 ? 4096 : 1024;
  p.calls = mib >= 16 ? 32768 : mib >= 4 ? 8192 : 4096;
  p.usersPerNode = 4;
  return p;
}

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes) {
  std::FILE *f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// ---------------------------------------------------------------------------
// The measured operations
// ---------------------------------------------------------------------------

struct WalkCounts {
  uint64_t groups = 0;
  uint64_t calls = 0;
  uint64_t checksum = 0;  // keeps the compiler from dropping the walk
};

// Everything a host asks of a loaded model: the benchmark name, every user
// group with its name and value, every transaction call of every node.
WalkCounts FullWalk(uint32_t nodes) {
  WalkCounts w;
  char name[512];
  GetBenchmarkName(name, sizeof name);
  w.checksum += static_cast<unsigned char>(name[0]);
  uint32_t value = 0, a1 = 0, a2 = 0, a3 = 0, a4 = 0;
  uint16_t node = 0, position = 0;
  for (int32_t more = GetFirstUserGroup(name, sizeof name, &value, &node, &position, &a1, &a2,
                                        &a3, &a4);
       more != 0;
       more = GetNextUserGroup(name, sizeof name, &value, &node, &position, &a1, &a2, &a3, &a4)) {
    ++w.groups;
    w.checksum += value + static_cast<unsigned char>(name[0]);
  }
  for (uint32_t n = 0; n < nodes; ++n) {
    const auto index = static_cast<int16_t>(n);
    for (int32_t more = GetFirstTraCall(index, name, sizeof name, &value); more != 0;
         more = GetNextTraCall(index, name, sizeof name, &value)) {
      ++w.calls;
      w.checksum += value + static_cast<unsigned char>(name[0]);
    }
  }
  return w;
}

void BM_Floor(benchmark::State &state, const BenchFile *file) {
  // The buffer is allocated and touched once: the floor is the cost of
  // getting the bytes, not of faulting in fresh pages.
  std::vector<char> buffer(file->bytes);
  std::memset(buffer.data(), 0, buffer.size());
  for (auto _ : state) {
    std::FILE *f = std::fopen(file->path.c_str(), "rb");
    if (f == nullptr) {
      state.SkipWithError("cannot open the file");
      break;
    }
    const size_t got = std::fread(buffer.data(), 1, buffer.size(), f);
    std::fclose(f);
    if (got != buffer.size()) {
      state.SkipWithError("short read");
      break;
    }
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file->bytes));
}

void BM_ReadBexWalk(benchmark::State &state, const BenchFile *file) {
  WalkCounts last;
  for (auto _ : state) {
    if (ReadBex(file->path.c_str()) == 0) {
      state.SkipWithError(LastRBexErr());
      FreeBex();
      break;
    }
    last = FullWalk(file->nodes);
    benchmark::DoNotOptimize(last.checksum);
    FreeBex();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file->bytes));
  state.counters["groups"] = static_cast<double>(last.groups);
  state.counters["calls"] = static_cast<double>(last.calls);
}

// The read alone, to tell the read from the walk in the summary.
void BM_ReadBexOnly(benchmark::State &state, const BenchFile *file) {
  for (auto _ : state) {
    if (ReadBex(file->path.c_str()) == 0) {
      state.SkipWithError(LastRBexErr());
      FreeBex();
      break;
    }
    FreeBex();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file->bytes));
}

// ---------------------------------------------------------------------------
// Memory probe
// ---------------------------------------------------------------------------

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM"), or -1.
int64_t StatusBytes(const char *field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.compare(0, key.size(), key) == 0) {
      std::istringstream in(line.substr(key.size()));
      int64_t kib = -1;
      in >> kib;
      return kib < 0 ? -1 : kib * 1024;
    }
  }
  return -1;
}

// Child side.  Resets the peak resident size to the current one (writing 5
// to clear_refs), reads and walks the file, and prints the resident size
// before, the peak during, and the resident size after the read.
int MemoryProbe(const char *path, uint32_t nodes) {
  bool reset = false;
  if (std::FILE *f = std::fopen("/proc/self/clear_refs", "w")) {
    reset = std::fputs("5", f) >= 0;
    reset = std::fclose(f) == 0 && reset;
  }
  const int64_t before = StatusBytes("VmRSS");
  if (ReadBex(path) == 0) {
    std::fprintf(stderr, "memory probe: %s\n", LastRBexErr());
    return 1;
  }
  const WalkCounts w = FullWalk(nodes);
  const int64_t peak = StatusBytes("VmHWM");
  const int64_t loaded = StatusBytes("VmRSS");
  FreeBex();
  const int64_t freed = StatusBytes("VmRSS");
  std::printf("%" PRId64 " %" PRId64 " %" PRId64 " %" PRId64 " %d %" PRIu64 "\n", before, peak,
              loaded, freed, reset ? 1 : 0, w.groups);
  return 0;
}

struct MemoryResult {
  bool ok = false;
  int64_t before = 0, peak = 0, loaded = 0, freed = 0;
  bool reset = false;
};

// Parent side: runs this program again as a fresh process, so that nothing
// the benchmark itself allocated hides in the numbers.
MemoryResult ProbeMemory(const BenchFile &file) {
  MemoryResult r;
  int fds[2];
  if (pipe(fds) != 0) return r;
  const pid_t pid = fork();
  if (pid < 0) return r;
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    const std::string nodes = std::to_string(file.nodes);
    execl("/proc/self/exe", "read_bench", "--memory-probe", file.path.c_str(), nodes.c_str(),
          static_cast<char *>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string out;
  char buffer[256];
  ssize_t n = 0;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  int reset = 0;
  unsigned long long groups = 0;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
      std::sscanf(out.c_str(), "%" SCNd64 " %" SCNd64 " %" SCNd64 " %" SCNd64 " %d %llu", &r.before,
                  &r.peak, &r.loaded, &r.freed, &reset, &groups) == 6) {
    r.ok = r.before >= 0 && r.peak >= 0;
    r.reset = reset != 0;
  }
  return r;
}

// ---------------------------------------------------------------------------
// Reporter
// ---------------------------------------------------------------------------


std::string Name(const char *what, const BenchFile &file) {
  return std::string(what) + "/" + std::to_string(file.mib) + "MiB";
}

}  // namespace

int main(int argc, char **argv) {
  if (argc == 4 && std::strcmp(argv[1], "--memory-probe") == 0)
    return MemoryProbe(argv[2], static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)));

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

  std::error_code ec;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path(ec) / ("vbs-read-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "read_bench: cannot create %s: %s\n", dir.string().c_str(), ec.message().c_str());
    return 1;
  }

  std::vector<BenchFile> files;
  for (uint64_t mib : {1, 4, 16, 64}) {
    const bexgen::SyntheticParams params = ParamsFor(mib);
    BenchFile f;
    f.mib = mib;
    f.nodes = params.nodes;
    f.path = (dir / ("synthetic-" + std::to_string(mib) + "MiB.bex")).string();
    const std::vector<uint8_t> image = bexgen::WriteBex(bexgen::SyntheticSpec(params));
    f.bytes = image.size();
    if (!WriteFile(f.path, image)) {
      std::fprintf(stderr, "read_bench: cannot write %s\n", f.path.c_str());
      std::filesystem::remove_all(dir, ec);
      return 1;
    }
    files.push_back(f);
  }

  // Memory first, in fresh children, before this process has grown.
  std::vector<MemoryResult> memory;
  for (const BenchFile &f : files) memory.push_back(ProbeMemory(f));

  for (const BenchFile &f : files) {
    benchmark::RegisterBenchmark(Name("Floor", f).c_str(), BM_Floor, &f)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(Name("ReadBexWalk", f).c_str(), BM_ReadBexWalk, &f)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(Name("ReadBexOnly", f).c_str(), BM_ReadBexOnly, &f)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  KeepingReporter reporter(KeptTime::kReal);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\nReadBex + full walk (and ReadBex alone) against one fread of the same file,\n"
              "page cache warm; ratios are time per iteration, reader / floor\n");
  std::printf("%8s %11s %12s %13s %11s %13s %12s %12s %6s\n", "size", "floor MB/s", "reader MB/s",
              "reader/floor", "read only", "mem growth", "goal", "after free", "");
  bool allWithinGoal = true;
  for (size_t i = 0; i < files.size(); ++i) {
    const BenchFile &f = files[i];
    const double floorTime = reporter.SecondsPerIteration(Name("Floor", f));
    const double readerTime = reporter.SecondsPerIteration(Name("ReadBexWalk", f));
    const double readOnlyTime = reporter.SecondsPerIteration(Name("ReadBexOnly", f));
    const double mb = static_cast<double>(f.bytes) / 1e6;
    const MemoryResult &m = memory[i];
    const double goal = 1.25 * static_cast<double>(f.bytes) + 4.0 * kMiB;
    const std::string ratio = TimeRatio(readerTime, floorTime);
    const std::string readOnly = TimeRatio(readOnlyTime, floorTime);
    char growth[32] = "n/a", after[32] = "n/a";
    char verdict[8] = "";
    if (m.ok) {
      const double grown = static_cast<double>(m.peak - m.before);
      std::snprintf(growth, sizeof growth, "%.2f MiB", grown / kMiB);
      std::snprintf(after, sizeof after, "%.2f MiB", static_cast<double>(m.freed - m.before) / kMiB);
      const bool within = grown <= goal;
      allWithinGoal = allWithinGoal && within;
      std::snprintf(verdict, sizeof verdict, "%s", within ? "ok" : "OVER");
    } else {
      allWithinGoal = false;
    }
    std::printf("%5" PRIu64 "MiB %11.0f %12.0f %13s %11s %13s %8.2f MiB %12s %6s\n", f.mib,
                floorTime > 0 ? mb / floorTime : 0.0, readerTime > 0 ? mb / readerTime : 0.0, ratio.c_str(),
                readOnly.c_str(), growth, goal / kMiB, after, verdict);
  }
  if (!memory.empty() && memory[0].ok && !memory[0].reset)
    std::printf("note: the peak could not be reset (clear_refs); growth is measured from process start\n");
  std::printf("memory goal (growth <= 1.25 x file + 4 MiB): %s\n", allWithinGoal ? "met" : "NOT met");

  std::filesystem::remove_all(dir, ec);
  return 0;
}
