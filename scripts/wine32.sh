#!/bin/bash
# Runs the 32-bit (i686) Windows test programs on a machine that cannot
# execute 32-bit x86 code natively: Debian's 32-bit Wine loader (wine32:i386)
# runs under the user-mode emulator qemu-i386, inside a 64-bit Wine prefix.
#
#   scripts/wine32.sh setup             installs and registers what is missing
#   scripts/wine32.sh check             exit 0 when a 32-bit Wine program can
#                                       start here, else 1 with the reason
#   scripts/wine32.sh run BUILD [ARGS]  boots the Wine prefix BUILD/wine-prefix
#                                       and runs ctest --test-dir BUILD ARGS
#
# setup (root and apt-get needed; each step is skipped when already done):
#   1. the suite <codename>-backports in the apt sources, when missing
#      (qemu 7.2 of bookworm takes ~50 s to start a 32-bit Wine process,
#      the backported 10.x under 2 s);
#   2. the i386 architecture and wine32:i386 (this upgrades the amd64
#      libraries that must match their i386 twins);
#   3. the static qemu-i386 taken out of the qemu-user package (not
#      installed: only the one program is kept, in $VBS_QEMU_DIR);
#   4. a way for Wine to start its 32-bit loader through qemu-i386: a
#      binfmt_misc handler for i386 ELF files (flag F: the emulator is opened
#      at registration, so it works inside containers too), or, where
#      binfmt_misc cannot be mounted, the loader pair /usr/lib/wine/wineq
#      (a script that runs the 32-bit loader under qemu-i386) and
#      /usr/lib/wine/wineq64 -> wine64: wine64 started as wineq64 starts its
#      32-bit twin as wineq.
# The prefix itself is created by `run`, inside the build folder.  64-bit
# Wine keeps working: wine64 still runs 64-bit programs natively.
#
# Where setup cannot run (not root, no apt-get, no network), it says why and
# exits 3; `check` then explains what is missing.
set -u

QEMU_DIR=${VBS_QEMU_DIR:-/usr/local/lib/vbs-wine32}
QEMU=$QEMU_DIR/qemu-i386
BINFMT=/proc/sys/fs/binfmt_misc
BINFMT_NAME=vbs-qemu-i386
WINE_DIR=/usr/lib/wine
# The ELF header of an i386 executable or shared object, as qemu's own
# binfmt configuration matches it.
I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

log() { echo "== wine32: $*"; }
WHY=""

# ------------------------------------------------------------- probes --

wine32_installed() {
  [ "$(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null)" = "install ok installed" ] &&
    [ -x $WINE_DIR/wine ] && [ -x $WINE_DIR/wine64 ]
}
qemu_works() { [ -x "$QEMU" ] && "$QEMU" --version >/dev/null 2>&1; }

# An enabled binfmt_misc handler for i386 ELF files whose emulator exists
# (ours or one that qemu-user-binfmt registered).  Starting an i386 program
# proves nothing: a simple one runs natively, only Wine's 32-bit code
# segments are refused.
binfmt_works() {
  local f
  [ "$(cat $BINFMT/status 2>/dev/null)" = enabled ] || return 1
  for f in $BINFMT/*; do
    case ${f##*/} in register|status) continue ;; esac
    [ "$(head -n 1 "$f" 2>/dev/null)" = enabled ] || continue
    grep -qx 'magic 7f454c4601010100000000000000000002000300' "$f" || continue
    [ -x "$(sed -n 's/^interpreter //p' "$f")" ] && return 0
  done
  return 1
}
# The loader pair, with its emulator present and running the 32-bit loader
# (asked for its version without WINELOADERNOEXEC, which would make it
# start a program called --version).
pair_works() {
  [ -x $WINE_DIR/wineq ] && [ -e $WINE_DIR/wineq64 ] && qemu_works &&
    timeout 120 "$QEMU" $WINE_DIR/wine --version >/dev/null 2>&1
}

# loader: prints the 64-bit loader to start programs with (wine64 when the
# binfmt handler runs 32-bit code, else wineq64); 1 when neither works.
loader() {
  wine32_installed || { WHY="wine32:i386 is not installed (run: scripts/wine32.sh setup)"; return 1; }
  if binfmt_works; then echo $WINE_DIR/wine64; return 0; fi
  if pair_works; then echo $WINE_DIR/wineq64; return 0; fi
  WHY="the 32-bit Wine loader does not start: no binfmt_misc handler for i386 and no loader pair (run: scripts/wine32.sh setup)"
  return 1
}

# ------------------------------------------------------------- set-up --

APT_UPDATED=0
apt_update() {
  [ $APT_UPDATED = 1 ] && return 0
  log "apt-get update"
  apt-get update -q -o DPkg::Lock::Timeout=600 </dev/null || return 1
  APT_UPDATED=1
}

codename() { . /etc/os-release 2>/dev/null; echo "${VERSION_CODENAME:-}"; }

add_backports() {
  local suite
  suite="$(codename)-backports"
  [ "$suite" = -backports ] && return 0
  if grep -rqs -- "$suite" /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  log "adding the apt suite $suite"
  cat >/etc/apt/sources.list.d/vbs-backports.sources <<EOF
Types: deb
URIs: http://deb.debian.org/debian
Suites: $suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  APT_UPDATED=0
}

install_wine32() {
  wine32_installed && return 0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture"
    dpkg --add-architecture i386 || return 1
    APT_UPDATED=0
  fi
  apt_update || return 1
  log "apt-get install wine32:i386 (and the amd64 libraries it must match)"
  # The amd64 twins of the i386 libraries must have the same version, so
  # they come along (--no-install-recommends keeps the rest out).
  # Another apt run holding the lock is waited for, not taken as a failure.
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    -o DPkg::Lock::Timeout=600 wine32:i386 wine64 wine </dev/null || return 1
  wine32_installed
}

install_qemu() {
  qemu_works && return 0
  local tmp deb suite
  apt_update || return 1
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/vbs-qemu.XXXXXX")
  suite="$(codename)-backports"
  log "downloading qemu-user"
  if ! (cd "$tmp" && { apt-get download -q "qemu-user/$suite" </dev/null ||
                       apt-get download -q qemu-user </dev/null; }); then
    rm -rf "$tmp"; return 1
  fi
  deb=$(ls "$tmp"/qemu-user_*.deb 2>/dev/null | head -n 1)
  [ -n "$deb" ] && dpkg-deb -x "$deb" "$tmp/x" || { rm -rf "$tmp"; return 1; }
  mkdir -p "$QEMU_DIR"
  # The emulator is registered with the F flag and so must not need the
  # dynamic loader of another architecture; the package holds static
  # builds from qemu 9 on.  Older ones hold a dynamic x86_64 qemu-i386,
  # which works as well on this machine.
  install -m 0755 "$tmp/x/usr/bin/qemu-i386" "$QEMU" || { rm -rf "$tmp"; return 1; }
  rm -rf "$tmp"
  log "$("$QEMU" --version | head -n 1) in $QEMU_DIR"
  qemu_works
}

register_binfmt() {
  if [ ! -f $BINFMT/register ]; then
    mount -t binfmt_misc binfmt_misc $BINFMT 2>/dev/null || return 1
  fi
  [ -f $BINFMT/register ] || return 1
  [ "$(cat $BINFMT/status 2>/dev/null)" = enabled ] || echo 1 >$BINFMT/status 2>/dev/null
  if [ -f "$BINFMT/$BINFMT_NAME" ]; then
    # Registered before, possibly for an emulator that is gone: renew it.
    echo -1 >"$BINFMT/$BINFMT_NAME" || return 1
  fi
  log "registering $QEMU for i386 ELF programs (binfmt_misc)"
  printf ':%s:M::%s:%s:%s:F' "$BINFMT_NAME" "$I386_MAGIC" "$I386_MASK" "$QEMU" \
    >$BINFMT/register 2>/dev/null || return 1
  binfmt_works
}

install_pair() {
  log "installing the loader pair $WINE_DIR/wineq, wineq64"
  # The 32-bit loader would re-execute itself through wine-preloader, a
  # native i386 program that only binfmt_misc could start: it runs without.
  cat >$WINE_DIR/wineq <<EOF
#!/bin/sh
# Starts Wine's 32-bit loader under qemu-i386 (scripts/wine32.sh).
WINELOADERNOEXEC=1 exec $QEMU $WINE_DIR/wine "\$@"
EOF
  chmod 0755 $WINE_DIR/wineq
  ln -sfn wine64 $WINE_DIR/wineq64
  pair_works
}

setup() {
  local start=$SECONDS
  if wine32_installed && qemu_works && { binfmt_works || pair_works; }; then
    log "already set up ($(loader))"
    return 0
  fi
  if [ "$(id -u)" != 0 ] || ! command -v apt-get >/dev/null 2>&1; then
    echo "wine32: SKIPPED set-up: it needs root and apt-get (installs wine32:i386 and qemu-i386)"
    return 3
  fi
  add_backports
  if ! install_wine32; then
    echo "wine32: SKIPPED set-up: wine32:i386 could not be installed (apt sources or network)"
    return 3
  fi
  if ! install_qemu; then
    echo "wine32: SKIPPED set-up: qemu-user could not be downloaded or unpacked"
    return 3
  fi
  if ! register_binfmt && ! pair_works && ! install_pair; then
    echo "wine32: SKIPPED set-up: neither a binfmt_misc handler nor the loader pair starts the 32-bit Wine loader"
    return 3
  fi
  log "set up in $((SECONDS - start)) s; 32-bit programs start through $(loader)"
  if ! timeout 60 $WINE_DIR/wine64 --version >/dev/null 2>&1; then
    echo "wine32: the 64-bit Wine loader no longer starts"
    return 1
  fi
}

# ---------------------------------------------------------------- run --

# run BUILD [CTEST-ARGS...]: one wineserver for the run, the prefix in
# BUILD/wine-prefix; the test programs start through cmake/wine32-run.sh.
run() {
  local dir wine server rc what boot=()
  [ $# -ge 1 ] || { echo "usage: wine32.sh run BUILD_DIR [CTEST-ARGS...]" >&2; return 2; }
  dir=$(cd "$1" && pwd) || return 2
  shift
  wine=$(loader) || { echo "wine32: cannot run: $WHY"; return 3; }
  server=$WINE_DIR/wineserver
  export WINEPREFIX=$dir/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
  mkdir -p "$WINEPREFIX"
  "$server" -p
  trap '"$server" -k 2>/dev/null' EXIT
  # Wine's services inherit the output of the first program of a server
  # session; were that a test, CTest would wait for the pipe until its
  # timeout.  wineboot starts them (creating the prefix when there is none)
  # with its output in a log.
  what="starting Wine's services"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    boot=(-i) what="creating the Wine prefix"
  fi
  log "$what ($wine)"
  local t=$SECONDS
  if ! timeout 300 "$wine" wineboot "${boot[@]}" >"$dir/wineboot.log" 2>&1 </dev/null; then
    cat "$dir/wineboot.log"
    echo "wine32: $what failed"
    return 1
  fi
  log "$what took $((SECONDS - t)) s"
  ctest --test-dir "$dir" "$@"
  rc=$?
  "$server" -k 2>/dev/null
  trap - EXIT
  return $rc
}

case ${1:-} in
  setup) setup ;;
  check) if loader >/dev/null; then echo "wine32: 32-bit programs start through $(loader)"; else echo "wine32: $WHY"; exit 1; fi ;;
  run) shift; run "$@" ;;
  *) echo "usage: wine32.sh setup | check | run BUILD_DIR [CTEST-ARGS...]" >&2; exit 2 ;;
esac
