#!/bin/sh
# The install test, one step per CTest entry:
#
#   install_test.sh install|tree|find_package|pkg_config \
#       BUILD SCRATCH HOST_SOURCE SAMPLE CC CMAKE
#
# install       cmake --install BUILD into SCRATCH/prefix, then as tree
# tree          check the Linux tree in SCRATCH/prefix: its files, the
#               companion modules in the library's private folder, where
#               the installed library finds them and its language.ini
# find_package  configure and build the host with find_package, run it
# pkg_config    compile the host with the flags pkg-config gives, run it
#
# Exit 0 on success, 77 when pkg-config is not installed, 1 on failure.
set -eu

step=$1 build=$2 scratch=$3 host=$4 sample=$5 cc=$6 cmake=$7
prefix=$scratch/prefix
missing=$scratch/no-such-folder/missing.bex

die() { echo "install test ($step): $*" >&2; exit 1; }

# The library folder inside the prefix (lib, lib64 or a multiarch folder).
find_libdir() {
  for d in "$prefix"/lib "$prefix"/lib64 "$prefix"/lib/*-linux-gnu; do
    if [ -f "$d/pkgconfig/vortBexScanner.pc" ]; then echo "$d"; return 0; fi
  done
  die "no pkgconfig/vortBexScanner.pc under $prefix"
}

[ -f "$sample" ] || die "sample file $sample is missing"

# The companion modules (messages/modules), in the library's private folder.
COMPANIONS="vortMessages.so vortMessagesDEU.so libvortBexScannerDEU.so locStringsCommon.so
locStringsKernelCommon.so locStringsKernelFeatures.so vortVersion.so"

# bexscan of the tree on a missing file: the library's message on stderr.
missing_message() {
  "$prefix/bin/bexscan" "$missing" >/dev/null 2>"$scratch/bexscan.err" && die "bexscan read a missing file"
  cat "$scratch/bexscan.err"
}

case $step in
install|tree)
  if [ "$step" = install ]; then
    rm -rf "$scratch"
    mkdir -p "$scratch"
    "$cmake" --install "$build" --prefix "$prefix" || die "cmake --install failed"
  fi
  libdir=$(find_libdir)
  for f in "$prefix/include/vortBexScanner.h" \
           "$libdir/cmake/vortBexScanner/vortBexScannerConfig.cmake" \
           "$libdir/cmake/vortBexScanner/vortBexScannerConfigVersion.cmake" \
           "$libdir/cmake/vortBexScanner/vortBexScannerTargets.cmake" \
           "$libdir/libvortBexScanner.so.1" \
           "$prefix/bin/bexscan" "$prefix/bin/bexgen"; do
    [ -f "$f" ] || die "not installed: $f"
  done
  [ -L "$libdir/libvortBexScanner.so" ] || die "no link libvortBexScanner.so in $libdir"
  for m in $COMPANIONS; do
    [ -f "$libdir/vortBexScanner/$m" ] || die "companion module $m is not in $libdir/vortBexScanner"
    [ ! -e "$libdir/$m" ] || die "companion module $m lies loose in $libdir"
  done
  # The installed bexscan must find the installed library on its own.
  "$prefix/bin/bexscan" "$sample" >"$scratch/bexscan.out" || die "installed bexscan failed on $sample"
  # The message module in the private folder gives the text (without it:
  # "unknown error code").
  text=$(missing_message)
  echo "missing file: $text"
  case $text in
    *"Severe Error RESERR: 19 - The Bex file $missing cannot be opened."*) ;;
    *) die "the installed library did not find its message module: $text" ;;
  esac
  # language.ini in the private folder selects the library's German variant there.
  printf 'DEU\n' >"$libdir/vortBexScanner/language.ini"
  text=$(missing_message)
  rm -f "$libdir/vortBexScanner/language.ini"
  echo "with language.ini DEU: $text"
  case $text in
    *"Schwerer Fehler RESERR: 19 -"*) ;;
    *) die "language.ini in the private folder did not select the German variant: $text" ;;
  esac
  ;;
find_package)
  rm -rf "$scratch/find_package"
  "$cmake" -S "$host" -B "$scratch/find_package" \
      -DCMAKE_C_COMPILER="$cc" -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >"$scratch/find_package.log" 2>&1 ||
    { cat "$scratch/find_package.log" >&2; die "host configure failed"; }
  "$cmake" --build "$scratch/find_package" >>"$scratch/find_package.log" 2>&1 ||
    { cat "$scratch/find_package.log" >&2; die "host build failed"; }
  "$scratch/find_package/host" "$sample" "$missing" || die "host failed"
  ;;
pkg_config)
  if command -v pkg-config >/dev/null 2>&1; then pc=pkg-config
  elif command -v pkgconf >/dev/null 2>&1; then pc=pkgconf
  else echo "install test: pkg-config is not installed, step skipped" >&2; exit 77
  fi
  libdir=$(find_libdir)
  flags=$(PKG_CONFIG_PATH="$libdir/pkgconfig" PKG_CONFIG_LIBDIR="$libdir/pkgconfig" \
          "$pc" --cflags --libs vortBexScanner) || die "pkg-config does not know vortBexScanner"
  echo "pkg-config: $flags"
  mkdir -p "$scratch/pkg_config"
  # shellcheck disable=SC2086 # the flags are words
  "$cc" -std=c89 -pedantic -Wall -Wextra -Werror "$host/host.c" $flags \
      -o "$scratch/pkg_config/host" || die "host compile failed"
  LD_LIBRARY_PATH="$libdir" "$scratch/pkg_config/host" "$sample" "$missing" || die "host failed"
  ;;
*)
  die "unknown step"
  ;;
esac
echo "install test ($step): ok"
