#!/bin/bash
# Checks the export table of the shipped library.
#
#   check-exports.sh dll FILE.dll [i686|x86_64]
#       The PE export table holds exactly the fourteen names, undecorated,
#       each with its own ordinal and none beyond them; the DLL imports only
#       system DLLs (no MinGW runtime such as libstdc++-6.dll, libgcc_s_*.dll
#       or libwinpthread-1.dll); when an architecture is given, the DLL is
#       built for it.
#   check-exports.sh so FILE.so
#       The dynamic symbol table defines exactly the fourteen functions, and
#       the run path has no empty entry (one would mean the current folder).
#   check-exports.sh --self-test [so|dll]
#       Builds small libraries with right and wrong export tables and checks
#       that the checks above accept the right ones and reject every wrong one.
#
# Every check prints one line "check-exports: PASS <what>" or
# "check-exports: FAIL <what>: <why>"; the exit status is 1 when any failed.
# With --junit FILE first, the checks are also written to FILE as JUnit
# test cases, so that the test summary counts each of them.
set -u

EXPORTS="ReadBex FreeBex TestVortRBex LastRBexErr GetBexInfo GetGlobalBexInfo
GetGlobalBexInfoEx GetBenchmarkName GetFirstUserGroup GetNextUserGroup
GetUserGroupName GetFirstTraCall GetNextTraCall GetNameFromNamelist"

# DLLs of Windows itself that the library may import (lower case).
SYSTEM_DLLS="kernel32 user32 advapi32 version msvcrt ucrtbase ntdll gdi32
shell32 shlwapi ole32 oleaut32 ws2_32 comctl32 comdlg32 rpcrt4 secur32 bcrypt
crypt32 psapi dbghelp iphlpapi mpr netapi32 userenv winmm shfolder"

failed=0
junit=""
cases=()
pass() { echo "check-exports: PASS $1"; cases+=("pass|$1|"); }
fail() { echo "check-exports: FAIL $1: $2"; failed=1; cases+=("fail|$1|$2"); }

xml_text() { sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g; s/"/\&quot;/g' <<<"$1"; }
write_junit() {
  local c status what why
  mkdir -p "$(dirname "$junit")" || failed=1
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo '<testsuites><testsuite name="check-exports">'
    for c in "${cases[@]}"; do
      IFS='|' read -r status what why <<<"$c"
      if [ "$status" = pass ]; then
        echo "<testcase name=\"$(xml_text "$what")\" classname=\"check-exports\"/>"
      else
        echo "<testcase name=\"$(xml_text "$what")\" classname=\"check-exports\"><failure message=\"$(xml_text "$why")\"/></testcase>"
      fi
    done
    echo '</testsuite></testsuites>'
  } >"$junit" || failed=1
}

expected_sorted() { printf '%s\n' $EXPORTS | LC_ALL=C sort; }

# Compares a list of names (one a line, on stdin) with the fourteen and
# prints what differs; empty output means equal.
diff_names() {
  local got
  got=$(LC_ALL=C sort)
  {
    comm -13 <(expected_sorted) <(printf '%s\n' "$got" | sed '/^$/d') | sed 's/^/unexpected /'
    comm -23 <(expected_sorted) <(printf '%s\n' "$got" | sed '/^$/d') | sed 's/^/missing /'
    printf '%s\n' "$got" | sed '/^$/d' | uniq -d | sed 's/^/twice /'
  } | tr '\n' ' '
}

find_objdump() {
  local t
  for t in x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump objdump; do
    if command -v "$t" >/dev/null 2>&1 && "$t" --help 2>/dev/null | grep -q 'pe-i386\|pei-i386'; then
      echo "$t"; return 0
    fi
  done
  return 1
}

check_dll() {
  local file=$1 arch=${2:-} what="exports of $1" objdump dump names eat diff imports dll bad
  [ -f "$file" ] || { fail "$what" "no such file"; return; }
  objdump=$(find_objdump) || { fail "$what" "no objdump that reads PE files (install binutils-mingw-w64)"; return; }
  dump=$("$objdump" -p "$file" 2>&1) || { fail "$what" "objdump cannot read it"; return; }

  case $arch in
    '') ;;
    i686)   grep -q 'file format pei-i386' <<<"$dump" || { fail "$what" "not a 32-bit x86 DLL"; return; } ;;
    x86_64) grep -q 'file format pei-x86-64' <<<"$dump" || { fail "$what" "not an x86_64 DLL"; return; } ;;
    *) fail "$what" "unknown architecture $arch"; return ;;
  esac
  grep -q '^Characteristics.*' <<<"$dump" &&
    ! grep -q 'DLL' <<<"$(sed -n '/^Characteristics/,/^$/p' <<<"$dump")" &&
    { fail "$what" "not a DLL"; return; }

  # Names: "[   0] ReadBex" lines of the name pointer table.
  names=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
          sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p')
  # Address table entries: one per exported ordinal, named or not.
  eat=$(sed -n '/^Export Address Table -- Ordinal Base/,/^$/p' <<<"$dump" | grep -c '^[[:space:]]*\[')
  diff=$(diff_names <<<"$names")
  if [ -n "$diff" ]; then
    fail "$what" "$diff"
  elif [ "$eat" -ne 14 ]; then
    fail "$what" "$eat exported ordinals, not 14 (an export without a name?)"
  else
    pass "$what (14 undecorated names)"
  fi

  what="imports of $file"
  imports=$(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$dump" | tr 'A-Z' 'a-z' | sed 's/\.dll$//')
  bad=""
  for dll in $imports; do
    case $dll in
      api-ms-win-*) continue ;;
    esac
    if ! printf '%s\n' $SYSTEM_DLLS | grep -qx "$dll"; then
      bad="$bad $dll.dll"
    fi
  done
  if [ -n "$bad" ]; then
    fail "$what" "imports non-system DLLs:$bad"
  else
    pass "$what (system DLLs only:$(printf ' %s' $imports))"
  fi
}

check_so() {
  local file=$1 what="exports of $1" syms diff nonfunc
  [ -f "$file" ] || { fail "$what" "no such file"; return; }
  command -v nm >/dev/null 2>&1 || { fail "$what" "nm is not installed (binutils)"; return; }
  syms=$(nm -D --defined-only "$file" 2>&1) || { fail "$what" "nm cannot read it"; return; }
  # "0000000000001234 T ReadBex" (a version suffix, if any, is not part of the name).
  diff=$(awk 'NF >= 3 { print $3 }' <<<"$syms" | sed 's/@.*//' | diff_names)
  nonfunc=$(awk 'NF >= 3 && $2 != "T" { print $3 "(" $2 ")" }' <<<"$syms" | tr '\n' ' ')
  if [ -n "$diff" ]; then
    fail "$what" "$diff"
  elif [ -n "$nonfunc" ]; then
    fail "$what" "not functions: $nonfunc"
  else
    pass "$what (14 functions)"
  fi

  what="run path of $file"
  local runpath
  runpath=$(LC_ALL=C readelf -d "$file" 2>/dev/null | sed -n 's/.*(R[UN]*PATH).*\[\(.*\)\]$/\1/p')
  case ":$runpath:" in
    ::) pass "$what (none)" ;;
    *::*) fail "$what" "'$runpath' has an empty entry, which means the current folder" ;;
    *) pass "$what ($runpath)" ;;
  esac
}

# One self-test case: runs a check in a subshell and expects it to pass or
# to fail with a reason matching a pattern.
expect() {
  local want=$1 pattern=$2 label=$3 out
  shift 3
  out=$( ( failed=0; "$@"; exit $failed ) 2>&1 )
  local rc=$?
  if [ "$want" = pass ] && [ $rc -eq 0 ]; then
    pass "self-test: $label accepted"
  elif [ "$want" = fail ] && [ $rc -ne 0 ] && grep -q -- "$pattern" <<<"$out"; then
    pass "self-test: $label rejected"
  else
    fail "self-test: $label" "expected the check to $want, got: $(tr '\n' ' ' <<<"$out")"
  fi
}

self_test() {
  local which=${1:-all} dir cc i686cc n
  dir=$(mktemp -d "${TMPDIR:-/tmp}/check-exports.XXXXXX")
  trap 'rm -rf "$dir"' RETURN

  # Fourteen functions, optionally with a calling convention and extras.
  gen() {  # gen FILE CALLCONV SKIP EXTRA
    local f=$1 cc=$2 skip=$3 extra=$4 n
    : >"$f"
    for n in $EXPORTS; do
      [ "$n" = "$skip" ] && continue
      echo "__attribute__((visibility(\"default\"))) int $cc $n(int a) { return a + 1; }" >>"$f"
    done
    [ -n "$extra" ] && echo "__attribute__((visibility(\"default\"))) int $cc $extra(int a) { return a; }" >>"$f"
    echo 'int HiddenHelper(int a) { return a * 2; }' >>"$f"
  }
  gendef() {  # gendef FILE SKIP EXTRA
    local f=$1 skip=$2 extra=$3 n
    echo EXPORTS >"$f"
    for n in $EXPORTS; do [ "$n" = "$skip" ] || echo "$n" >>"$f"; done
    [ -n "$extra" ] && echo "$extra" >>"$f"
    return 0
  }

  cc=$(command -v gcc || command -v cc || true)
  if [ "$which" = dll ]; then
    :
  elif [ -n "$cc" ]; then
    gen "$dir/good.c" "" "" ""
    gen "$dir/extra.c" "" "" "SalInternalHelper"
    gen "$dir/short.c" "" "GetNextTraCall" ""
    "$cc" -shared -fPIC -fvisibility=hidden "$dir/good.c" -o "$dir/good.so" &&
    "$cc" -shared -fPIC -fvisibility=hidden "$dir/extra.c" -o "$dir/extra.so" &&
    "$cc" -shared -fPIC -fvisibility=hidden "$dir/short.c" -o "$dir/short.so" &&
    "$cc" -shared -fPIC -fvisibility=default "$dir/good.c" -o "$dir/open.so" ||
      { fail "self-test" "cannot build the ELF samples"; return; }
    expect pass "" "ELF library with the fourteen" check_so "$dir/good.so"
    expect fail "unexpected SalInternalHelper" "ELF library with an extra export" check_so "$dir/extra.so"
    expect fail "missing GetNextTraCall" "ELF library without GetNextTraCall" check_so "$dir/short.so"
    expect fail "unexpected HiddenHelper" "ELF library with default visibility" check_so "$dir/open.so"
    "$cc" -shared -fPIC -fvisibility=hidden "$dir/good.c" -Wl,-rpath,'$ORIGIN:' -o "$dir/cwd.so" ||
      { fail "self-test" "cannot build the ELF sample with a run path"; return; }
    expect fail "empty entry" "ELF library whose run path names the current folder" check_so "$dir/cwd.so"
  else
    fail "self-test" "no host C compiler"
  fi

  i686cc=$(command -v i686-w64-mingw32-gcc-posix || command -v i686-w64-mingw32-gcc || true)
  if [ "$which" = so ]; then
    :
  elif [ -n "$i686cc" ]; then
    gen "$dir/w.c" "" "" ""
    gen "$dir/wstd.c" "__stdcall" "" ""
    gen "$dir/wx.c" "" "" "SalInternalHelper"
    gendef "$dir/w.def" "" ""
    gendef "$dir/wx.def" "" "SalInternalHelper"
    gendef "$dir/ws.def" "LastRBexErr" ""
    printf 'EXPORTS\n' >"$dir/wo.def"
    for n in $EXPORTS; do echo "$n" >>"$dir/wo.def"; done
    echo "HiddenHelper @99 NONAME" >>"$dir/wo.def"
    echo '#include <string>
extern "C" __attribute__((visibility("default"))) int Size(const char *s) { return (int)std::string(s).size(); }' >"$dir/rt.cpp"
    "$i686cc" -shared "$dir/w.c" "$dir/w.def" -o "$dir/good.dll" &&
    printf 'int main(void) { return 0; }\n' >"$dir/main.c" &&
    "$i686cc" "$dir/main.c" -o "$dir/program.exe" &&
    "$i686cc" -shared "$dir/wstd.c" -o "$dir/stdcall.dll" 2>/dev/null &&
    "$i686cc" -shared "$dir/wx.c" "$dir/wx.def" -o "$dir/extra.dll" &&
    "$i686cc" -shared "$dir/w.c" "$dir/ws.def" -o "$dir/short.dll" &&
    "$i686cc" -shared "$dir/w.c" "$dir/wo.def" -o "$dir/noname.dll" &&
    "${i686cc%gcc*}g++${i686cc##*gcc}" -shared "$dir/rt.cpp" -o "$dir/runtime.dll" ||
      { fail "self-test" "cannot build the PE samples"; return; }
    expect pass "" "i686 DLL with the fourteen" check_dll "$dir/good.dll" i686
    expect fail "not an x86_64 DLL" "i686 DLL checked as x86_64" check_dll "$dir/good.dll" x86_64
    expect fail "unexpected ReadBex@4" "i686 DLL with stdcall-decorated names" check_dll "$dir/stdcall.dll" i686
    expect fail "unexpected SalInternalHelper" "i686 DLL with an extra export" check_dll "$dir/extra.dll" i686
    expect fail "missing LastRBexErr" "i686 DLL without LastRBexErr" check_dll "$dir/short.dll" i686
    expect fail "exported ordinals, not 14" "i686 DLL with a nameless ordinal" check_dll "$dir/noname.dll" i686
    expect fail "libstdc++-6.dll" "DLL that imports the C++ runtime" check_dll "$dir/runtime.dll" i686
    expect fail "not a DLL" "i686 program instead of a DLL" check_dll "$dir/program.exe" i686
  else
    fail "self-test" "no i686 mingw-w64 compiler"
  fi
}

if [ "${1:-}" = --junit ]; then
  junit=${2:?--junit needs a file}
  shift 2
fi

case ${1:-} in
  dll) [ $# -ge 2 ] || { echo "usage: $0 dll FILE.dll [i686|x86_64]" >&2; exit 2; }; check_dll "$2" "${3:-}" ;;
  so) [ $# -eq 2 ] || { echo "usage: $0 so FILE.so" >&2; exit 2; }; check_so "$2" ;;
  --self-test) self_test "${2:-all}" ;;
  *) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
esac
[ -n "$junit" ] && write_junit
exit $failed
