#!/bin/sh
# Runs a Windows program of the x86_64 cross build under 64-bit Wine.
#
# Usage: wine-run.sh PROGRAM.exe [ARGS...]
#
# WINEPREFIX defaults to wine-prefix/ in the build folder that holds PROGRAM
# (the nearest parent with a CMakeCache.txt), so a build never touches
# ~/.wine.  Wine's debug channels are off unless WINEDEBUG is set.  An
# absolute POSIX path in --gtest_output=xml:PATH becomes Z:PATH (Wine maps Z:
# to /): GoogleTest on Windows takes /path for a relative one and would write
# no report.  The exit status is the program's.
set -u

if [ $# -lt 1 ]; then
  echo "usage: wine-run.sh PROGRAM.exe [ARGS...]" >&2
  exit 2
fi

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
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs when the prefix is created.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"

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
