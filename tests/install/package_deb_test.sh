#!/bin/sh
# The .deb test:
#
#   package_deb_test.sh BUILD SCRATCH INSTALL_TEST HOST_SOURCE SAMPLE CC CMAKE CPACK
#
# Makes the .debs of BUILD with cpack, checks their names, control fields and
# contents, unpacks them with dpkg-deb -x into SCRATCH/root and checks the
# unpacked tree as install_test.sh tree does (SCRATCH/prefix names
# SCRATCH/root/usr, so that install_test.sh find_package|pkg_config with the
# same SCRATCH build the host against it).
#
# Exit 0 on success, 77 when dpkg-deb or dpkg-shlibdeps is missing, 1 on failure.
set -eu

build=$1 scratch=$2 install_test=$3 host=$4 sample=$5 cc=$6 cmake=$7 cpack=$8
die() { echo "package test (deb): $*" >&2; exit 1; }

for tool in dpkg-deb dpkg-shlibdeps readelf; do
  command -v $tool >/dev/null 2>&1 ||
    { echo "package test (deb): $tool is not installed, test skipped" >&2; exit 77; }
done

rm -rf "$scratch"
mkdir -p "$scratch/root"
"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/packages" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; die "cpack -G DEB failed"; }

deb() {
  set -- "$scratch/packages/$1"_*."$2"
  [ -f "$1" ] || die "no package $1"
  echo "$1"
}
lib=$(deb libvortbexscanner1 deb)
dev=$(deb libvortbexscanner-dev deb)
tools=$(deb vortbexscanner-tools deb)
lib_dbg=$(deb libvortbexscanner1-dbgsym ddeb)
deb vortbexscanner-tools-dbgsym ddeb >/dev/null
field() { dpkg-deb -f "$1" "$2"; }

version=$(field "$lib" Version)
echo "packages $(cd "$scratch/packages" && ls *.deb *.ddeb | tr '\n' ' ')(version $version)"
# dpkg-shlibdeps computed the library's dependencies: the C and C++ runtimes.
depends=$(field "$lib" Depends)
case $depends in *"libc6 (>="*) ;; *) die "libvortbexscanner1 Depends lacks libc6: $depends" ;; esac
case $depends in *"libstdc++6 (>="*) ;; *) die "libvortbexscanner1 Depends lacks libstdc++6: $depends" ;; esac
case $(field "$dev" Depends) in *"libvortbexscanner1 (= $version)"*) ;;
  *) die "libvortbexscanner-dev does not depend on its library: $(field "$dev" Depends)" ;; esac
case $(field "$tools" Depends) in *"libvortbexscanner1 (= $version)"*) ;;
  *) die "vortbexscanner-tools does not depend on the library: $(field "$tools" Depends)" ;; esac
[ "$(field "$lib" Section)" = libs ] || die "libvortbexscanner1 is not in section libs"
dpkg-deb --ctrl-tarfile "$lib" | tar -tf - | grep -q 'shlibs$' || die "libvortbexscanner1 has no shlibs file"

for p in "$lib" "$dev" "$tools"; do dpkg-deb -x "$p" "$scratch/root"; done
dpkg-deb -x "$lib_dbg" "$scratch/dbgsym"
ln -s root/usr "$scratch/prefix"

# The library is stripped, and its debug information is in the -dbgsym
# package under its build id.
so=$(ls "$scratch"/root/usr/lib/*/libvortBexScanner.so.1.*)
if readelf -S "$so" | grep -q '\.debug_info'; then die "the packaged library is not stripped"; fi
id=$(readelf -n "$so" | sed -n 's/.*Build ID: *//p')
[ -n "$id" ] || die "the packaged library has no build id"
dbg=$scratch/dbgsym/usr/lib/debug/.build-id/$(echo "$id" | cut -c1-2)/$(echo "$id" | cut -c3-).debug
[ -f "$dbg" ] || die "the -dbgsym package lacks $dbg"
readelf -S "$dbg" | grep -q '\.debug_info' || die "$dbg holds no debug information"

sh "$install_test" tree "$build" "$scratch" "$host" "$sample" "$cc" "$cmake" || die "the unpacked tree failed its checks"
echo "package test (deb): ok"
