#!/bin/bash
# Builds vortBexScanner and runs every test through the CMake presets
# (CMakePresets.json), one build folder per stage:
#
#   native    build/native    all tests, the install test, the checks
#   sanitize  build/sanitize  the same under ASan + UBSan
#   win64     build/win64     x86_64 Windows build, tests under Wine
#   win32     build/win32     i686 Windows build (the shipped DLL), tests under
#                             Wine's 32-bit loader emulated by qemu-i386
#   fuzz      build/fuzz      libFuzzer targets (clang), a short run each
#
#   scripts/test.sh [STAGE...]     (default: all stages)
#
# Each stage is `cmake --preset S`, `cmake --build --preset S` and
# `ctest --preset S`; what a stage needs besides (the Shift_JIS locale, the
# Wine session, fuzz seeds) are CTest fixtures.  This script adds only what
# presets cannot do: it installs missing tools with apt-get when it runs as
# root (otherwise it skips the stages that need them and says why; with
# CI=true a skipped stage, or a skipped test entry, counts as a failure,
# except the fuzz stage), and it counts the results: the last line is
# "N passed, N failed" (GoogleTest cases and other CTest entries; a stage
# that does not build counts as one failure).  Exit status 0 only when
# nothing failed.
#
# Environment: VBS_JOBS (parallel jobs, default 2), VBS_FUZZ_SECONDS
# (seconds each fuzz target runs, default 30).
set -u

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=${VBS_JOBS:-2}
ALL_STAGES="native sanitize win64 win32 fuzz"
PASSED=0 FAILED=0 REPORT=() APT_UPDATED=0 WHY=""

log() { echo "== $*"; }

# ---------------------------------------------------------------- tools --

apt_install() {
  [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1 || return 1
  export DEBIAN_FRONTEND=noninteractive
  if [ $APT_UPDATED = 0 ]; then
    log "apt-get update" >&2
    apt-get update -q </dev/null >&2 || return 1
    APT_UPDATED=1
  fi
  log "apt-get install $*" >&2
  apt-get install -y -q --no-install-recommends "$@" </dev/null >&2
}

# need TEST-COMMAND PACKAGES... -- REASON: true when TEST-COMMAND succeeds,
# at once or after installing PACKAGES; otherwise WHY=REASON.
need() {
  local check=$1 packages=()
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do packages+=("$1"); shift; done
  shift
  eval "$check" && return 0
  apt_install "${packages[@]}" && eval "$check" && return 0
  WHY="$* (packages: ${packages[*]}; not root or no apt-get to install them)"
  return 1
}

have_native() {
  command -v cmake >/dev/null && command -v c++ >/dev/null && [ -f /usr/include/gtest/gtest.h ] &&
    command -v python3 >/dev/null
}
have_locale_sources() {
  command -v localedef >/dev/null && [ -f /usr/share/i18n/locales/ja_JP ] &&
    ls /usr/share/i18n/charmaps/SHIFT_JIS* >/dev/null 2>&1
}
have_mingw() {
  command -v "$1-w64-mingw32-g++-posix" >/dev/null && command -v "$1-w64-mingw32-windres" >/dev/null &&
    [ -f /usr/src/googletest/CMakeLists.txt ]
}
have_wine() { [ -x /usr/lib/wine/wine64 ] || command -v wine64 >/dev/null; }
# The zip tests: unzip, and clang, lld-link and llvm-dlltool for the import
# library of Microsoft's linker and the host linked against it.
have_zip_tools() {
  command -v unzip >/dev/null && command -v clang >/dev/null && command -v lld-link >/dev/null &&
    command -v llvm-dlltool >/dev/null
}
have_libfuzzer() {
  local t ok=1
  command -v clang++ >/dev/null || return 1
  t=$(mktemp -d "${TMPDIR:-/tmp}/vbs-fuzzprobe.XXXXXX")
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }\n' >"$t/p.cpp"
  clang++ -fsanitize=fuzzer "$t/p.cpp" -o "$t/p" >/dev/null 2>&1 && ok=0
  rm -rf "$t"
  return $ok
}

need_native() {
  need have_native cmake g++ libgtest-dev googletest python3 pkgconf -- \
    "cmake, g++, GoogleTest or python3 missing" || return 1
  # The code-page runs compile the Shift_JIS locale from these sources; on
  # CI their skip counts as a failure.
  need have_locale_sources locales -- "the Shift_JIS locale sources are missing" || true
  # The .deb test needs dpkg-shlibdeps; without it the test is skipped.
  need "command -v dpkg-shlibdeps >/dev/null" dpkg-dev -- "dpkg-shlibdeps is missing" || true
  return 0
}
# Without these the zips lack the import library for Microsoft's linker and
# their tests are skipped (on CI a skipped test counts as a failure).
need_zip_tools() {
  need have_zip_tools unzip clang lld llvm -- "unzip, clang, lld-link or llvm-dlltool is missing" || true
  return 0
}
# 32-bit programs run under Wine's 32-bit loader, emulated by qemu-i386;
# scripts/wine32.sh sets that up (as root) and checks it.
need_wine32() {
  local out
  bash "$ROOT/scripts/wine32.sh" setup >&2
  out=$(bash "$ROOT/scripts/wine32.sh" check 2>&1) && return 0
  WHY="32-bit Windows programs cannot start here: $out"
  return 1
}
need_for() {
  WHY=""
  case $1 in
    native|sanitize) need_native ;;
    win64) need_native && need "have_mingw x86_64" g++-mingw-w64-x86-64-posix binutils-mingw-w64 googletest -- \
             "the mingw-w64 x86_64 -posix compilers are missing" &&
           need have_wine wine64 wine -- "Wine 64-bit is missing" &&
           need_zip_tools ;;
    win32) need_native && need "have_mingw i686" g++-mingw-w64-i686-posix binutils-mingw-w64 googletest -- \
             "the mingw-w64 i686 -posix compilers are missing" && need_zip_tools &&
           need have_wine wine64 wine -- "Wine 64-bit is missing" && need_wine32 ;;
    fuzz) need_native && need have_libfuzzer clang libclang-rt-14-dev -- "clang with libFuzzer is missing" ;;
  esac
}

# ---------------------------------------------------------------- stage --

run_stage() {
  local stage=$1 dir=$ROOT/build/$1 counts extra=()
  [ "$stage" = fuzz ] && [ -n "${VBS_FUZZ_SECONDS:-}" ] && extra=(-DVBS_FUZZ_SECONDS="$VBS_FUZZ_SECONDS")
  mkdir -p "$dir"
  log "$stage: configure and build in build/$stage"
  if ! (cd "$ROOT" && cmake --preset "$stage" "${extra[@]}" && cmake --build --preset "$stage" -j "$JOBS") \
      >"$dir/build.log" 2>&1; then
    tail -n 60 "$dir/build.log"
    echo "FAILED $stage: build broke (log: build/$stage/build.log)"
    FAILED=$((FAILED + 1))
    STAGE_NOTE="BROKEN (did not build)"
    return
  fi
  rm -rf "$dir/test-results" "$dir/ctest-junit.xml"
  (cd "$ROOT" && ctest --preset "$stage" -j "$JOBS")
  counts=$(python3 "$ROOT/scripts/summarize.py" "$stage" "$dir")
  sed '$d' <<<"$counts"
  read -r p f k <<<"$(tail -n 1 <<<"$counts")"
  PASSED=$((PASSED + p)) FAILED=$((FAILED + f))
  STAGE_NOTE="$p passed, $f failed, $k skipped"
}

stages=${*:-$ALL_STAGES}
for s in $stages; do
  case " $ALL_STAGES " in *" $s "*) ;; *) echo "unknown stage $s (stages: $ALL_STAGES)" >&2; exit 2 ;; esac
done

total_start=$SECONDS
for s in $stages; do
  start=$SECONDS
  if need_for "$s"; then
    log "stage $s"
    run_stage "$s"
    REPORT+=("stage $s: $((SECONDS - start)) s: $STAGE_NOTE")
  elif [ "${CI:-}" = true ] && [ "$s" != fuzz ]; then
    echo "FAILED stage $s: cannot run on CI: $WHY"
    FAILED=$((FAILED + 1))
    REPORT+=("stage $s: BROKEN, cannot run: $WHY")
  else
    echo "SKIPPED stage $s: $WHY"
    REPORT+=("stage $s: SKIPPED: $WHY")
  fi
done

echo
log "summary ($((SECONDS - total_start)) s)"
printf '%s\n' "${REPORT[@]}"
echo "$PASSED passed, $FAILED failed"
[ $FAILED -eq 0 ]
