#!/bin/sh
# run.sh - builds a fuzz target with clang (the reader's unless TARGET names
# another: utf8_to_utf16_fuzz and the other Unicode directions), writes the
# seed corpus with bexgen and fuzzes for DURATION seconds (default 60).
#
#   fuzz/run.sh [DURATION]
#
# Environment: TARGET (default read_bex_fuzz), BUILD (build folder, default
# build-fuzz in the source tree),
# JOBS (parallel fuzzing processes, default 1), MAX_LEN (largest input,
# default 70000 so that the largest seed fits).
# Prints the executions and whether a crash was found; crash inputs go to
# $BUILD/fuzz-artifacts.  Exit status: 0 no crash, 1 crash, 2 setup failure.
set -eu

duration=${1:-60}
case $duration in
  ''|*[!0-9]*) echo "usage: fuzz/run.sh [DURATION_SECONDS]" >&2; exit 2 ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build-fuzz}
jobs=${JOBS:-1}
target=${TARGET:-read_bex_fuzz}
max_len=${MAX_LEN:-70000}
# The reader keeps the folder names it always had; other targets add their name.
suffix=""
[ "$target" = read_bex_fuzz ] || suffix="-$target"
corpus=$build/fuzz-corpus$suffix
seeds=$build/fuzz-seeds
artifacts=$build/fuzz-artifacts$suffix
log=$build/fuzz$suffix.log

if ! command -v clang++ >/dev/null 2>&1; then
  echo "run.sh: clang++ not found" >&2
  exit 2
fi

mkdir -p "$build"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVBS_BUILD_FUZZ=ON -DVBS_BUILD_TESTS=OFF -DVBS_BUILD_BENCH=OFF >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log" >&2; exit 2; }
cmake --build "$build" --target "$target" bexgen >"$build/build.log" 2>&1 ||
  { tail -40 "$build/build.log" >&2; exit 2; }

# Seeds are regenerated every run; what the fuzzer found before stays in the
# corpus folder and is fuzzed again.
rm -rf "$seeds"
"$build/tools/bexgen" corpus "$seeds" >/dev/null
mkdir -p "$corpus" "$artifacts"

echo "fuzzing $target for $duration s with $jobs job(s); log: $log"
set +e
cd "$build"
if [ "$jobs" -gt 1 ]; then
  "$build/fuzz/$target" -max_total_time="$duration" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    -jobs="$jobs" -workers="$jobs" "$corpus" "$seeds" >"$log" 2>&1
else
  "$build/fuzz/$target" -max_total_time="$duration" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$corpus" "$seeds" >"$log" 2>&1
fi
status=$?
set -e
if [ "$jobs" -gt 1 ]; then cat fuzz-*.log >>"$log" 2>/dev/null && rm -f fuzz-*.log; fi

execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | awk '{s+=$1} END {print s+0}')
echo "executions: $execs"
echo "corpus: $(ls "$corpus" | wc -l) inputs in $corpus"
crashes=$(ls "$artifacts" 2>/dev/null | grep -E '^(crash|leak|timeout|oom)-' || true)
if [ "$status" -ne 0 ] || [ -n "$crashes" ]; then
  echo "FOUND: libFuzzer exit status $status"
  for c in $crashes; do echo "  $artifacts/$c"; done
  grep -E 'ERROR: |SUMMARY: |_fuzz: |_fuzz [0-9]+->[0-9]+: ' "$log" | head -20
  exit 1
fi
echo "no crash found"
