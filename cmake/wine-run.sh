#!/bin/sh
# Runs a Windows program of a cross build under Wine.
#
# Usage: wine-run.sh [--i686] PROGRAM.exe [ARGS...]
#        wine-run.sh [--i686] --start BUILD_DIR    start the build's Wine session
#        wine-run.sh [--i686] --stop BUILD_DIR     end it
#
# Without --i686 the program is a 64-bit one and runs under 64-bit Wine.
# With --i686 it is a 32-bit one: wine64 starts it through Wine's 32-bit
# loader, which runs under qemu-i386 (scripts/wine32.sh setup installs both):
# through the binfmt_misc handler when the 32-bit loader starts as it is,
# else through the loader pair wineq64/wineq.
#
# WINEPREFIX defaults to wine-prefix/ in the build folder that holds PROGRAM
# (the nearest parent with a CMakeCache.txt), so a build never touches
# ~/.wine.  Wine's debug channels are off unless WINEDEBUG is set.  An
# absolute POSIX path in --gtest_output=xml:PATH becomes Z:PATH (Wine maps Z:
# to /): GoogleTest on Windows takes /path for a relative one and would write
# no report.  The exit status is the program's.
#
# --start keeps one wineserver running for the whole test run and starts
# Wine's services (creating the prefix first when there is none) with their
# output in BUILD_DIR/wineboot.log.  The first Wine program of a session
# starts those services and they inherit its standard output: were that
# program a test, CTest would wait for the output to close long after the
# test ended.  The test suite runs --start and --stop as CTest fixtures.
set -u

i686=0
if [ "${1:-}" = --i686 ]; then
  i686=1
  shift
fi
if [ $# -lt 1 ]; then
  echo "usage: wine-run.sh [--i686] PROGRAM.exe [ARGS...] | --start BUILD_DIR | --stop BUILD_DIR" >&2
  exit 2
fi

export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs when the prefix is created.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"

# Debian keeps the 64-bit loader out of PATH; elsewhere wine64 or wine is.
# A 32-bit program needs an enabled binfmt_misc handler for i386 ELF files
# (the 32-bit loader runs natively otherwise, and Wine's 32-bit code
# segments are refused on these machines), or the loader pair.
binfmt_i386() {
  [ "$(cat /proc/sys/fs/binfmt_misc/status 2>/dev/null)" = enabled ] || return 1
  for f in /proc/sys/fs/binfmt_misc/*; do
    [ "$(head -n 1 "$f" 2>/dev/null)" = enabled ] &&
      grep -qx 'magic 7f454c4601010100000000000000000002000300' "$f" && return 0
  done
  return 1
}
if [ $i686 = 1 ]; then
  if [ -x /usr/lib/wine/wine ] && binfmt_i386; then
    loader=/usr/lib/wine/wine64
  elif [ -x /usr/lib/wine/wineq ] && [ -e /usr/lib/wine/wineq64 ]; then
    loader=/usr/lib/wine/wineq64
  else
    echo "wine-run.sh: Wine cannot start 32-bit programs here (run: bash scripts/wine32.sh setup)" >&2
    exit 127
  fi
elif [ -x /usr/lib/wine/wine64 ]; then
  loader=/usr/lib/wine/wine64
elif command -v wine64 >/dev/null 2>&1; then
  loader=wine64
elif command -v wine >/dev/null 2>&1; then
  loader=wine
else
  echo "wine-run.sh: no 64-bit Wine loader found (install wine64 and wine)" >&2
  exit 127
fi
if [ -x /usr/lib/wine/wineserver ]; then
  server=/usr/lib/wine/wineserver
else
  server=wineserver
fi

case $1 in
  --start|--stop)
    [ $# -eq 2 ] || { echo "usage: wine-run.sh [--i686] $1 BUILD_DIR" >&2; exit 2; }
    export WINEPREFIX="${WINEPREFIX:-$2/wine-prefix}"
    if [ "$1" = --stop ]; then
      "$server" -k 2>/dev/null
      exit 0
    fi
    mkdir -p "$WINEPREFIX"
    "$server" -p </dev/null >/dev/null 2>&1
    boot=""
    [ -f "$WINEPREFIX/system.reg" ] || boot=-i
    if ! timeout 300 "$loader" wineboot $boot </dev/null >"$2/wineboot.log" 2>&1; then
      cat "$2/wineboot.log"
      echo "wine-run.sh: wineboot $boot failed in $WINEPREFIX" >&2
      exit 1
    fi
    exit 0
    ;;
esac

if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do
    dir=$(dirname "$dir")
  done
  if [ "$dir" = / ]; then
    dir=$(pwd)
  fi
  WINEPREFIX="$dir/wine-prefix"
fi
export WINEPREFIX

program=$1
shift
for arg in "$@"; do
  shift
  case $arg in
    --gtest_output=xml:/*) arg="--gtest_output=xml:Z:${arg#--gtest_output=xml:}" ;;
  esac
  set -- "$@" "$arg"
done

exec "$loader" "$program" "$@"
