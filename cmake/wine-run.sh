#!/bin/sh
# Runs a Windows program of a cross build under Wine.
#
# Usage: wine-run.sh [--i686] PROGRAM.exe [ARGS...]
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
set -u

i686=0
if [ "${1:-}" = --i686 ]; then
  i686=1
  shift
fi
if [ $# -lt 1 ]; then
  echo "usage: wine-run.sh [--i686] PROGRAM.exe [ARGS...]" >&2
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
