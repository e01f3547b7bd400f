#!/bin/sh
# The Windows .zip test, one step per CTest entry:
#
#   package_zip_test.sh zip|mingw_host|msvc_host \
#       ARCH BUILD SCRATCH HOST_SOURCE SAMPLE CC OBJDUMP CPACK [RUN...]
#
# zip         cpack -G ZIP from BUILD, unpack both archives into SCRATCH/tree
#             and check them: the files, stripped binaries that name their
#             .debug files, the fourteen names of both import libraries
# mingw_host  compile the C89 host with CC against lib/libvortBexScanner.dll.a
# msvc_host   compile msvc_host.c for the MSVC ABI (clang) and link it with
#             lld-link against lib/vortBexScanner.lib alone
#
# ARCH is i686 or x86_64.  With RUN (the command that starts a Windows program
# under Wine, several words), the hosts run in the tree's bin/ folder beside
# the DLL and its companion DLLs, on the sample.
# Exit 0 on success, 77 when a tool is missing (unzip, llvm-dlltool; clang,
# lld-link for msvc_host), 1 on failure.
set -eu

step=$1 arch=$2 build=$3 scratch=$4 host=$5 sample=$6 cc=$7 objdump=$8 cpack=$9
shift 9
# "$@" is now the Wine command, or nothing.
tree=$scratch/tree
bin=$tree/bin
die() { echo "package test ($step): $*" >&2; exit 1; }
skip() { echo "package test ($step): $1 is not installed, step skipped" >&2; exit 77; }
have() { command -v "$1" >/dev/null 2>&1; }

EXPORTS="ReadBex FreeBex TestVortRBex LastRBexErr GetBexInfo GetGlobalBexInfo
GetGlobalBexInfoEx GetBenchmarkName GetFirstUserGroup GetNextUserGroup
GetUserGroupName GetFirstTraCall GetNextTraCall GetNameFromNamelist"
COMPANIONS="vortMessages vortMessagesDEU vortBexScannerDEU locStringsCommon
locStringsKernelCommon locStringsKernelFeatures vortVersion"

# check_imports PROGRAM NAMES: the import table of PROGRAM takes NAMES from
# vortBexScanner.dll, undecorated.
check_imports() {
  "$objdump" -p "$1" >"$1.imports" || die "$objdump cannot read $1"
  sed -n '/DLL Name: vortBexScanner.dll/,/DLL Name:/p' "$1.imports" >"$1.ours"
  [ -s "$1.ours" ] || die "$1 imports nothing from vortBexScanner.dll"
  for name in $2; do
    grep -Eq "[[:space:]]$name\$" "$1.ours" || die "$1 does not import $name from vortBexScanner.dll"
  done
}


case $step in
zip)
  have unzip || skip unzip
  [ -f "$build/library/vortBexScanner.lib" ] || skip "llvm-dlltool (the build made no vortBexScanner.lib)"
  rm -rf "$scratch"
  mkdir -p "$tree"
  "$cpack" --config "$build/CPackConfig.cmake" -G ZIP -B "$scratch/packages" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; die "cpack -G ZIP failed"; }
  for z in "$scratch"/packages/*.zip; do
    echo "$(basename "$z"): $(wc -c <"$z") bytes"
    unzip -q -o "$z" -d "$scratch/unzip" || die "unzip $z failed"
  done
  # Each archive has one top folder; both unpack into the same tree.
  for top in "$scratch"/unzip/*/; do cp -R "$top". "$tree"; done
  for f in bin/vortBexScanner.dll bin/bexscan.exe bin/bexgen.exe include/vortBexScanner.h \
           lib/vortBexScanner.def lib/libvortBexScanner.dll.a lib/vortBexScanner.lib \
           lib/pkgconfig/vortBexScanner.pc lib/cmake/vortBexScanner/vortBexScannerConfig.cmake \
           README.txt bin/vortBexScanner.dll.debug bin/bexscan.exe.debug; do
    [ -f "$tree/$f" ] || die "the archives lack $f"
  done
  for m in $COMPANIONS; do
    [ -f "$bin/$m.dll" ] || die "the archive lacks the companion bin/$m.dll"
    [ -f "$bin/$m.dll.debug" ] || die "the debug archive lacks bin/$m.dll.debug"
  done
  # Stripped, with a link to the debug file; the debug file holds DWARF.
  "$objdump" -h "$bin/vortBexScanner.dll" >"$scratch/sections" || die "$objdump cannot read the DLL"
  if grep -q '\.debug_info' "$scratch/sections"; then die "the packaged DLL is not stripped"; fi
  grep -q '\.gnu_debuglink' "$scratch/sections" || die "the packaged DLL has no debug link"
  "$objdump" -h "$bin/vortBexScanner.dll.debug" | grep -q '\.debug_info' ||
    die "vortBexScanner.dll.debug holds no debug information"
  # Both import libraries define the fourteen imports; on i686 with the
  # cdecl underscore (__imp__ReadBex), which both linkers expect.
  if [ "$arch" = i686 ]; then imp=__imp__; else imp=__imp_; fi
  nm=$(echo "$objdump" | sed 's/objdump$/nm/')
  for lib in libvortBexScanner.dll.a vortBexScanner.lib; do
    "$nm" "$tree/lib/$lib" >"$scratch/$lib.nm" 2>/dev/null || die "$nm cannot read $lib"
    for name in $EXPORTS; do
      grep -Eq " $imp$name\$" "$scratch/$lib.nm" || die "$lib does not define $imp$name"
    done
  done
  cp "$sample" "$bin/demo.bex"
  ;;
mingw_host)
  "$cc" -std=c89 -pedantic -Wall -Wextra -Werror "$host/host.c" -I"$tree/include" \
      -L"$tree/lib" -lvortBexScanner -o "$bin/mingw_host.exe" || die "the host does not build"
  check_imports "$bin/mingw_host.exe" "ReadBex LastRBexErr GetFirstUserGroup FreeBex"
  if [ $# -gt 0 ]; then
    # Run in bin/, where the sample lies beside the program.
    (cd "$bin" && "$@" ./mingw_host.exe demo.bex 'no-such-folder\missing.bex') >"$scratch/mingw_host.out" ||
      { cat "$scratch/mingw_host.out"; die "the host failed under Wine"; }
    cat "$scratch/mingw_host.out"
    # The message module beside the host program gave the text.
    grep -q "RESERR: 19 - The Bex file no-such-folder.missing.bex cannot be opened" "$scratch/mingw_host.out" ||
      die "the companion DLLs beside the host were not used"
  fi
  ;;
msvc_host)
  have clang || skip clang
  have lld-link || skip lld-link
  if [ "$arch" = i686 ]; then target=i686-pc-windows-msvc machine=x86; else target=x86_64-pc-windows-msvc machine=x64; fi
  clang --target=$target -ffreestanding -fno-builtin -fno-stack-protector -O1 -Wall -Werror \
      -I"$tree/include" -c "$host/msvc_host.c" -o "$scratch/msvc_host.obj" || die "clang cannot compile the host"
  lld-link -nologo -machine:$machine -subsystem:console -entry:vbs_entry -nodefaultlib \
      -out:"$bin/msvc_host.exe" "$scratch/msvc_host.obj" "$tree/lib/vortBexScanner.lib" ||
    die "lld-link cannot link the host against vortBexScanner.lib"
  check_imports "$bin/msvc_host.exe" "$EXPORTS"
  if [ $# -gt 0 ]; then
    (cd "$bin" && "$@" ./msvc_host.exe) || die "the host failed under Wine (status $?)"
  fi
  ;;
*)
  die "unknown step"
  ;;
esac
echo "package test ($step): ok"
