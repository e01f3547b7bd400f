#!/bin/sh
# Runs a Windows program of the x86_64 cross build under 64-bit Wine.
#
# Usage: wine-run.sh PROGRAM.exe [ARGS...]
#        wine-run.sh --start BUILD_DIR    start the build's Wine session
#        wine-run.sh --stop BUILD_DIR     end it
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

if [ $# -lt 1 ]; then
  echo "usage: wine-run.sh PROGRAM.exe [ARGS...] | --start BUILD_DIR | --stop BUILD_DIR" >&2
  exit 2
fi

# Debian keeps the 64-bit loader out of PATH; elsewhere wine64 or wine is.
if [ -x /usr/lib/wine/wine64 ]; then
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

export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs when the prefix is created.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"

case $1 in
  --start|--stop)
    [ $# -eq 2 ] || { echo "usage: wine-run.sh $1 BUILD_DIR" >&2; exit 2; }
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
