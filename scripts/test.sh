#!/bin/bash
# Builds vortBexScanner and runs every test, one build folder per stage:
#
#   native    build/native    RelWithDebInfo, all tests, the install test,
#                             the export check of libvortBexScanner.so
#   sanitize  build/sanitize  the same tests under ASan + UBSan
#   win64     build/win64     x86_64 Windows build, all tests under Wine
#   win32     build/win32     i686 Windows build (the shipped DLL), export-
#                             and import-table check; 32-bit cannot run here
#   fuzz      build/fuzz      libFuzzer targets (clang), a short run each
#
#   scripts/test.sh [STAGE...]     (default: all stages)
#
# Suites named *Dbcs* run a second time as <program>_cp932 with the process
# in code page 932 (docs/code_pages.md): on Linux in the Shift_JIS locale
# ja_JP.SJIS, which this script compiles into the build folder when it is
# missing (localedef; the locales package is installed when its sources are
# missing); under Wine with a Japanese LC_ALL.
#
# Missing cross compilers, Wine or pkg-config are installed with apt-get when
# running as root; otherwise the stages that need them are skipped, and the
# script says which and why (with CI=true a skipped stage counts as broken,
# except the fuzz stage).  The last line is "N passed, N failed", counting
# GoogleTest cases, the other CTest entries and the script checks; a stage
# that does not build counts as one failure.  Exit status 0 only when
# nothing failed and no stage broke.
set -u

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${VBS_BUILD_ROOT:-$ROOT/build}
JOBS=${VBS_JOBS:-2}
FUZZ_SECONDS=${VBS_FUZZ_SECONDS:-60}
ALL_STAGES="native sanitize win64 win32 fuzz"

PASSED=0
FAILED=0
REPORT=()       # one line per stage: what happened and how long it took
BROKEN=0
APT_UPDATED=0

log() { echo "== $*"; }

# ---------------------------------------------------------------- tools --

can_install() { [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; }

# apt_install PACKAGE...: installs what is missing, apt-get update once first.
apt_install() {
  can_install || return 1
  export DEBIAN_FRONTEND=noninteractive
  if [ $APT_UPDATED = 0 ]; then
    log "apt-get update" >&2
    apt-get update -q </dev/null >&2 || return 1
    APT_UPDATED=1
  fi
  log "apt-get install $*" >&2
  apt-get install -y -q --no-install-recommends "$@" </dev/null >&2
}

wine_loader() {
  if [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64
  elif command -v wine64 >/dev/null 2>&1; then command -v wine64
  else return 1
  fi
}
wine_server() {
  if [ -x /usr/lib/wine/wineserver ]; then echo /usr/lib/wine/wineserver
  elif command -v wineserver >/dev/null 2>&1; then command -v wineserver
  else return 1
  fi
}

have_native() {
  command -v cmake >/dev/null && command -v c++ >/dev/null && command -v cc >/dev/null &&
    [ -f /usr/include/gtest/gtest.h ]
}
have_mingw() {  # have_mingw x86_64|i686
  command -v "$1-w64-mingw32-g++-posix" >/dev/null &&
    command -v "$1-w64-mingw32-gcc-posix" >/dev/null &&
    command -v "$1-w64-mingw32-windres" >/dev/null &&
    [ -f /usr/src/googletest/CMakeLists.txt ]
}
mingw_package() { [ "$1" = x86_64 ] && echo g++-mingw-w64-x86-64-posix || echo g++-mingw-w64-i686-posix; }

# need_* return 1 with the reason in WHY when a tool is missing and cannot
# be installed.
WHY=""
need_native() {
  have_native && return 0
  apt_install cmake g++ libgtest-dev googletest && have_native && return 0
  WHY="cmake, g++ or GoogleTest (libgtest-dev) missing and not installable (not root or no apt-get)"
  return 1
}
need_pkg_config() {
  command -v pkg-config >/dev/null && return 0
  apt_install pkgconf || true
}
need_mingw() {
  have_mingw "$1" && return 0
  apt_install "$(mingw_package "$1")" binutils-mingw-w64 googletest && have_mingw "$1" && return 0
  WHY="mingw-w64 $1 -posix compilers ($(mingw_package "$1")) missing and not installable (not root or no apt-get)"
  return 1
}
need_wine() {
  wine_loader >/dev/null && wine_server >/dev/null && return 0
  # wine64 alone runs 64-bit programs; wine32 cannot run on these machines.
  apt_install wine64 wine && wine_loader >/dev/null && wine_server >/dev/null && return 0
  WHY="Wine 64-bit (packages wine64, wine) missing and not installable (not root or no apt-get)"
  return 1
}
need_fuzz() {
  [ -f "$ROOT/fuzz/CMakeLists.txt" ] || { WHY="no fuzz targets in fuzz/ yet"; return 1; }
  if ! command -v clang >/dev/null || ! command -v clang++ >/dev/null; then
    WHY="clang is not installed"; return 1
  fi
  local t ok=0
  t=$(mktemp -d "${TMPDIR:-/tmp}/vbs-fuzzprobe.XXXXXX")
  printf '#include <stddef.h>\n#include <stdint.h>\nint LLVMFuzzerTestOneInput(const uint8_t *d, size_t n) { (void)d; (void)n; return 0; }\n' >"$t/p.c"
  clang -fsanitize=fuzzer "$t/p.c" -o "$t/p" >/dev/null 2>&1 && ok=1
  rm -rf "$t"
  [ $ok = 1 ] && return 0
  WHY="clang has no libFuzzer runtime (libclang-rt-14-dev)"
  return 1
}

# The cp932 runs of the native and sanitizer stages need the Shift_JIS
# locale.  It is compiled into the build folder, where the CTest entries point
# LOCPATH (VBS_CP932_LOCPATH), so no system locale is changed and no root is
# needed, except to install the locale sources.
CP932_LOCALE=ja_JP.SJIS
have_locale_sources() {
  command -v localedef >/dev/null && [ -f /usr/share/i18n/locales/ja_JP ] &&
    { [ -f /usr/share/i18n/charmaps/SHIFT_JIS.gz ] || [ -f /usr/share/i18n/charmaps/SHIFT_JIS ]; }
}
cp932_locale_works() {  # cp932_locale_works LOCPATH
  [ "$(LOCPATH=$1 LC_ALL=$CP932_LOCALE locale charmap 2>/dev/null)" = SHIFT_JIS ]
}
need_cp932_locale() {  # need_cp932_locale BUILD_DIR
  local path=$1/locale
  cp932_locale_works "$path" && return 0
  if ! have_locale_sources; then
    apt_install locales || true
    if ! have_locale_sources; then
      WHY="localedef or the ja_JP / SHIFT_JIS locale sources (package locales) missing and not installable (not root or no apt-get)"
      return 1
    fi
  fi
  log "generating the Shift_JIS locale $CP932_LOCALE in ${path#$ROOT/}"
  rm -rf "${path:?}/$CP932_LOCALE"
  mkdir -p "$path"
  # Shift_JIS puts the yen sign at 0x5C, so localedef calls the charmap not
  # ASCII compatible and, with that warning, exits 1 without --no-warnings.
  if ! localedef --no-warnings=ascii -i ja_JP -f SHIFT_JIS "$path/$CP932_LOCALE" \
      >"$1/localedef.log" 2>&1; then
    cat "$1/localedef.log"
    WHY="localedef could not compile $CP932_LOCALE (log: ${1#$ROOT/}/localedef.log)"
    return 1
  fi
  cp932_locale_works "$path" && return 0
  WHY="the compiled $CP932_LOCALE does not report the code set SHIFT_JIS"
  return 1
}

# prepare_cp932 STAGE BUILD_DIR: makes the locale or says plainly that the
# cp932 entries will be skipped (a failure on CI).
prepare_cp932() {
  WHY=""
  need_cp932_locale "$2" && return 0
  if [ "${CI:-}" = true ]; then
    echo "FAILED $1: the code page 932 runs cannot run: $WHY"
    FAILED=$((FAILED + 1)); BROKEN=1
  else
    echo "SKIPPED $1: the code page 932 runs (*_cp932) will be skipped: $WHY"
  fi
}

# ------------------------------------------------------------- counting --

# Reads a JUnit-like XML file (GoogleTest or CTest) and prints one line per
# test case: "<name> pass|fail|skip".
xml_cases() {
  awk '
    function flush() { if (cur != "") print cur, (skip ? "skip" : (bad ? "fail" : "pass")); cur = "" }
    /<testcase[ >]/ {
      flush()
      n = $0; sub(/.*<testcase[^>]* name="/, "", n); sub(/".*/, "", n)
      c = $0; if (c ~ / classname="/) { sub(/.* classname="/, "", c); sub(/".*/, "", c) } else c = ""
      cur = (c != "" && c != n ? c "." n : n)
      bad = 0
      skip = ($0 ~ /status="notrun"/ || $0 ~ /result="skipped"/ || $0 ~ /result="suppressed"/)
      if ($0 ~ /\/>[[:space:]]*$/) flush()
      next
    }
    /<failure|<error/ { if (cur != "") bad = 1 }
    /<\/testcase>/ { flush() }
    END { flush() }' "$1"
}

# count_ctest BUILD_DIR STAGE: adds the results of the last ctest run in
# BUILD_DIR.  A test program with GoogleTest XML counts its cases; one whose
# CTest entry failed although its XML shows no failure (a crash, a leak found
# at exit) counts one failure more; one without XML counts as one case.
count_ctest() {
  local dir=$1 stage=$2 junit=$1/ctest-junit.xml name status xml p f s line
  local sp=0 sf=0 ss=0
  if [ ! -f "$junit" ]; then
    echo "$stage: ctest wrote no results"
    FAILED=$((FAILED + 1)); BROKEN=1
    return
  fi
  while read -r name status; do
    xml=$dir/test-results/$name.xml
    if [ -f "$xml" ]; then
      p=$(xml_cases "$xml" | awk '$2 == "pass"' | wc -l)
      f=$(xml_cases "$xml" | awk '$2 == "fail"' | wc -l)
      s=$(xml_cases "$xml" | awk '$2 == "skip"' | wc -l)
      xml_cases "$xml" | awk -v st="$stage" '$2 == "fail" { print "FAILED " st ": " $1 }'
      if [ "$status" = fail ] && [ "$f" -eq 0 ]; then
        echo "FAILED $stage: $name (exit status, after its test cases passed)"
        f=$((f + 1))
      fi
      [ "$p" -eq 0 ] && [ "$f" -eq 0 ] && [ "$s" -eq 0 ] && {
        echo "FAILED $stage: $name ran no test case"; f=1; }
    else
      p=0 f=0 s=0
      case $status in
        pass) p=1 ;;
        skip) s=1; echo "SKIPPED $stage: $name" ;;
        *) f=1; echo "FAILED $stage: $name" ;;
      esac
    fi
    sp=$((sp + p)); sf=$((sf + f)); ss=$((ss + s))
  done < <(xml_cases "$junit")
  PASSED=$((PASSED + sp)); FAILED=$((FAILED + sf))
  STAGE_NOTE="$sp passed, $sf failed$([ $ss -gt 0 ] && echo ", $ss skipped")"
}

# count_checks: runs a check script and counts its PASS/FAIL lines.
count_checks() {
  local out p f
  out=$("$@" 2>&1)
  local rc=$?
  printf '%s\n' "$out"
  p=$(grep -c '^check-exports: PASS' <<<"$out")
  f=$(grep -c '^check-exports: FAIL' <<<"$out")
  if [ $rc -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi
  if [ "$p" -eq 0 ] && [ "$f" -eq 0 ]; then f=1; fi
  PASSED=$((PASSED + p)); FAILED=$((FAILED + f))
  CHECK_NOTE="${CHECK_NOTE:+$CHECK_NOTE, }$p checks passed, $f failed"
}

# ------------------------------------------------------------ building --

# configure_build STAGE DIR CMAKE-ARGS...: configure and build with the log
# in DIR/build.log; on failure prints its end and counts a broken stage.
configure_build() {
  local stage=$1 dir=$2
  shift 2
  mkdir -p "$dir"
  log "$stage: configure and build in ${dir#$ROOT/}"
  if ! cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$dir/build.log" 2>&1 ||
     ! cmake --build "$dir" -j"$JOBS" >>"$dir/build.log" 2>&1; then
    tail -n 60 "$dir/build.log"
    echo "FAILED $stage: build broke (log: ${dir#$ROOT/}/build.log)"
    FAILED=$((FAILED + 1)); BROKEN=1
    return 1
  fi
}

run_ctest() {  # run_ctest DIR [CTEST-ARGS...]
  local dir=$1
  shift
  rm -rf "$dir/test-results" "$dir/ctest-junit.xml"
  ctest --test-dir "$dir" --output-on-failure --timeout 900 --output-junit ctest-junit.xml "$@"
}

find_artifact() {  # find_artifact DIR NAME
  find "$1" -name "$2" \( -type f -o -type l \) -not -path '*/install-test/*' -not -path '*/wine-prefix/*' | head -n 1
}

# --------------------------------------------------------------- stages --

stage_native() {
  need_pkg_config
  configure_build native "$BUILD/native" || return
  prepare_cp932 native "$BUILD/native"
  run_ctest "$BUILD/native" -j"$JOBS"
  count_ctest "$BUILD/native" native
  local so
  so=$(find_artifact "$BUILD/native" libvortBexScanner.so)
  CHECK_NOTE=""
  count_checks "$ROOT/scripts/check-exports.sh" so "${so:-$BUILD/native/libvortBexScanner.so}"
  count_checks "$ROOT/scripts/check-exports.sh" --self-test so
  STAGE_NOTE="$STAGE_NOTE; $CHECK_NOTE"
}

stage_sanitize() {
  configure_build sanitize "$BUILD/sanitize" -DVBS_SANITIZE=ON || return
  prepare_cp932 sanitize "$BUILD/sanitize"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest "$BUILD/sanitize" -j"$JOBS"
  count_ctest "$BUILD/sanitize" sanitize
}

stage_win64() {
  local dir=$BUILD/win64 loader server
  configure_build win64 "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" || return
  loader=$(wine_loader) server=$(wine_server)
  # One persistent wineserver for the stage, the prefix inside the build folder.
  export WINEPREFIX=$dir/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
  mkdir -p "$WINEPREFIX"
  "$server" -p
  trap '"$server" -k 2>/dev/null' EXIT
  # The first Wine program of a server session starts Wine's services
  # (services.exe, winedevice.exe, ...), and they inherit its standard output.
  # Were that program a test, CTest would wait for its output pipe to close
  # until the timeout, long after the test ended.  So wineboot starts them,
  # creating the prefix first when there is none, with its output in a log.
  local boot=() what="starting Wine's services"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    boot=(-i) what="creating the Wine prefix"
  fi
  log "win64: $what"
  if ! timeout 300 "$loader" wineboot "${boot[@]}" >"$dir/wineboot.log" 2>&1 </dev/null; then
    cat "$dir/wineboot.log"
    echo "FAILED win64: $what failed"
    FAILED=$((FAILED + 1)); BROKEN=1
    "$server" -k; trap - EXIT
    return
  fi
  run_ctest "$dir" -j"$JOBS"
  count_ctest "$dir" win64
  "$server" -k 2>/dev/null
  trap - EXIT
  unset WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
  local dll
  dll=$(find_artifact "$dir" vortBexScanner.dll)
  CHECK_NOTE=""
  count_checks "$ROOT/scripts/check-exports.sh" dll "${dll:-$dir/vortBexScanner.dll}" x86_64
  STAGE_NOTE="$STAGE_NOTE; $CHECK_NOTE"
}

stage_win32() {
  local dir=$BUILD/win32 dll
  configure_build win32 "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-i686.cmake" \
    -DVBS_BUILD_TESTS=OFF || return
  dll=$(find_artifact "$dir" vortBexScanner.dll)
  CHECK_NOTE=""
  count_checks "$ROOT/scripts/check-exports.sh" dll "${dll:-$dir/vortBexScanner.dll}" i686
  count_checks "$ROOT/scripts/check-exports.sh" --self-test dll
  STAGE_NOTE=$CHECK_NOTE
}

stage_fuzz() {
  local dir=$BUILD/fuzz targets t n each name corpus rc p=0 f=0
  # The fuzz folder instruments its own copy of the reader; the rest of the
  # tree is built with clang as it is (which also checks clang's warnings).
  CC=clang CXX=clang++ configure_build fuzz "$dir" -DVBS_BUILD_FUZZ=ON -DVBS_BUILD_TESTS=OFF || return
  # Every executable that the fuzz folder builds is a libFuzzer target.
  targets=$(find "$dir/fuzz" -maxdepth 1 -type f -perm -u+x 2>/dev/null | sort)
  n=$(printf '%s\n' "$targets" | sed '/^$/d' | wc -l)
  if [ "$n" -eq 0 ]; then
    echo "FAILED fuzz: no fuzz target was built"
    FAILED=$((FAILED + 1)); BROKEN=1
    return
  fi
  # Seeds: the corpus that bexgen writes (every header variant and fault).
  rm -rf "$dir/fuzz-seeds"
  if [ -x "$dir/tools/bexgen" ]; then
    "$dir/tools/bexgen" corpus "$dir/fuzz-seeds" >/dev/null ||
      echo "fuzz: bexgen could not write the seed corpus; fuzzing without seeds"
  fi
  mkdir -p "$dir/fuzz-seeds" "$dir/fuzz-artifacts"
  each=$((FUZZ_SECONDS / n)); [ $each -lt 5 ] && each=5
  for t in $targets; do
    name=$(basename "$t")
    corpus=$dir/fuzz-corpus/$name
    mkdir -p "$corpus"
    log "fuzz: $name for $each s"
    ( cd "$dir" && "$t" -max_total_time="$each" -max_len=70000 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$dir/fuzz-artifacts/" \
        "$corpus" "$dir/fuzz-seeds" >"$dir/$name.log" 2>&1 )
    rc=$?
    if [ $rc -eq 0 ]; then
      p=$((p + 1))
      echo "fuzz: $name: $(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/$name.log") runs, no crash"
    else
      f=$((f + 1)); tail -n 40 "$dir/$name.log"
      echo "FAILED fuzz: $name (exit $rc; inputs in ${dir#$ROOT/}/fuzz-artifacts/)"
    fi
  done
  PASSED=$((PASSED + p)); FAILED=$((FAILED + f))
  STAGE_NOTE="$p fuzz targets clean, $f failed"
}

# need_for STAGE: returns 1 with the reason in WHY when STAGE cannot run.
need_for() {
  case $1 in
    native|sanitize) need_native ;;
    win64) need_native && need_mingw x86_64 && need_wine ;;
    win32) need_native && need_mingw i686 ;;
    fuzz) need_native && need_fuzz ;;
  esac
}

# ----------------------------------------------------------------- main --

stages=${*:-$ALL_STAGES}
for s in $stages; do
  case " $ALL_STAGES " in *" $s "*) ;; *) echo "unknown stage $s (stages: $ALL_STAGES)" >&2; exit 2 ;; esac
done

total_start=$SECONDS
for s in $stages; do
  start=$SECONDS
  STAGE_NOTE="" CHECK_NOTE="" WHY=""
  if need_for "$s"; then
    log "stage $s"
    "stage_$s"
    REPORT+=("stage $s: $((SECONDS - start)) s: ${STAGE_NOTE:-BROKEN (did not build)}")
  elif [ "${CI:-}" = true ] && [ "$s" != fuzz ]; then
    echo "FAILED stage $s: cannot run on CI: $WHY"
    FAILED=$((FAILED + 1)); BROKEN=1
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
[ $FAILED -eq 0 ] && [ $BROKEN -eq 0 ]
