#!/usr/bin/env bash
# Prepares, as root on Debian 12, what the 32-bit Windows programs need to run
# here: Debian's own 32-bit Wine inside the i386 user-mode emulator.
#   - the emulator (Debian's backports: qemu 7.2 of Debian 12 itself hangs and
#     crashes multi-threaded Wine programs now and then) and the i386 cross
#     compiler (host packages);
#   - a private i386 root ($VELMORA_WINE32_ROOT, default /var/cache/velmora/wine32)
#     unpacked from Debian's i386 packages of 32-bit Wine: nothing is installed
#     into the host, no package script runs; the packages are those an install
#     into an empty system would bring (the host's own versions never
#     constrain them);
#   - what Wine's package scripts would have done: the builtin zlib1.dll and a
#     wineserver launcher that runs the 32-bit server;
#   - the trap-number library (scripts/wine32/trap_number_shim.c), preloaded
#     into every emulated process;
#   - the kernel's hand-over of i386 programs to the emulator (binfmt_misc).
# Idempotent: the root is kept and rebuilt only when this script or its shim
# changes. A package index that fails to update is a warning; any step that
# fails ends the script with its reason. Sourced, it only defines its steps.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=${VELMORA_WINE32_ROOT:-/var/cache/velmora/wine32}
emulator=/usr/bin/qemu-i386
backports=/etc/apt/sources.list.d/velmora-backports.sources
die() { echo "wine32-env: $*" >&2; exit 1; }

source "$here/missing-packages.sh"

host_packages() {
  install_missing_packages gcc-i686-linux-gnu libc6-dev-i386-cross libz-mingw-w64 ||
    die "could not install the host packages"
  [[ -x $emulator ]] && "$emulator" --version | grep -q 'version \(9\|[1-9][0-9]\)\.' && return 0
  if [[ ! -f $backports ]]; then
    printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm-backports' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' >"$backports"
    apt_update
  fi
  echo "wine32-env: installing qemu-user-static from bookworm-backports" >&2
  apt_run "install qemu-user-static from bookworm-backports" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${apt_lock[@]}" -t bookworm-backports \
    qemu-user-static || die "no i386 emulator"
  [[ -x $emulator ]] || die "$emulator is missing after the install"
}

i386_architecture() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  dpkg --add-architecture i386
  apt_update
}

# The i386 packages, NAME=VERSION a line, that an install of 32-bit Wine into
# an empty system would bring: resolved against an empty package status, so
# that the host's packages (Multi-Arch: same ones must match their versions,
# which may sit in an index that failed to update) never enter it.
i386_packages() {
  local out
  out=$(apt-get install -s --no-install-recommends -o Dir::State::status=/dev/null \
          wine32:i386 wine32-preloader:i386 2>&1) ||
    { echo "wine32-env: apt resolves no i386 packages of wine32:"; apt_errors "$out"; } >&2
  sed -nE 's/^Inst ([^ :]+)(:i386)? \(([^ ]+) .*\[i386\]\).*$/\1=\3/p' <<<"$out"
}

# The file name apt-get download gives a package NAME=VERSION.
deb_file() {
  local version=${1#*=}
  echo "${1%%=*}_${version//:/%3a}_i386.deb"
}

# Downloads into FOLDER those of the packages (NAME=VERSION) not there yet.
download_missing() {
  local folder=$1 p
  shift
  for p; do
    [[ -f $folder/$(deb_file "$p") ]] || echo "${p%%=*}:i386=${p#*=}"
  done | (cd "$folder" && xargs -r apt-get download -q=2 -o APT::Sandbox::User=root)
}

unpack_root() {
  local work=$root.new debs=$root.debs packages p
  rm -rf "$work"
  mkdir -p "$work" "$debs"
  packages=$(i386_packages)
  [[ -n $packages ]] || { apt_update; packages=$(i386_packages); }
  [[ -n $packages ]] || die "no i386 packages to unpack"
  echo "wine32-env: fetching $(wc -l <<<"$packages") i386 packages" >&2
  # shellcheck disable=SC2086 # one package a word
  apt_run "download the i386 packages" download_missing "$debs" $packages || die "the root is not built"
  for p in $packages; do
    dpkg -x "$debs/$(deb_file "$p")" "$work" || die "could not unpack $(deb_file "$p")"
  done
  finish_root "$work"
  rm -rf "$root"
  mv "$work" "$root"
}

# Marks a PE file as one of Wine's builtin DLLs: the text "Wine builtin DLL"
# and its terminating zero at offset 64, inside the DOS stub (as Wine's own
# DLLs have it, the rest of the 32 bytes zero).
mark_builtin() {
  local headers
  headers=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  ((headers >= 96)) || die "$1: no room for the builtin mark before its PE headers"
  printf 'Wine builtin DLL\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' |
    dd of="$1" bs=1 seek=64 conv=notrunc status=none
}

finish_root() {
  local r=$1 lib=$1/usr/lib/i386-linux-gnu/wine
  [[ -x $r/usr/lib/wine/wine && -x $r/usr/lib/wine/wineserver32 ]] ||
    die "the unpacked root has no 32-bit wine or wineserver32"
  local arch triple
  for arch in i386 x86_64; do
    triple=$([[ $arch == i386 ]] && echo i686 || echo x86_64)-w64-mingw32
    [[ -f /usr/$triple/lib/zlib1.dll ]] || die "/usr/$triple/lib/zlib1.dll is missing (libz-mingw-w64)"
    mkdir -p "$lib/$arch-windows"
    cp "/usr/$triple/lib/zlib1.dll" "$lib/$arch-windows/zlib1.dll"
    mark_builtin "$lib/$arch-windows/zlib1.dll"
  done
  # Debian's launcher prefers the host's 64-bit server, which the 32-bit
  # client cannot use.
  printf '#!/bin/sh\nexec "$(dirname "$0")/wineserver32" "$@"\n' >"$r/usr/lib/wine/wineserver"
  chmod 755 "$r/usr/lib/wine/wineserver"
  mkdir -p "$r/usr/lib/velmora"
  i686-linux-gnu-gcc -O2 -Wall -Werror -shared -fPIC -o "$r/usr/lib/velmora/trap_number_shim.so" \
    "$here/wine32/trap_number_shim.c" -ldl || die "could not build the trap-number shim"
  echo /usr/lib/velmora/trap_number_shim.so >"$r/etc/ld.so.preload"
}

# The kernel opens the interpreter when it is registered (flag F), so a
# registration is made anew each time: it then always names the emulator
# installed now.
register_emulator() {
  local binfmt=/proc/sys/fs/binfmt_misc
  if [[ ! -e $binfmt/register ]]; then
    mount -t binfmt_misc binfmt_misc "$binfmt" || die "could not mount binfmt_misc"
  fi
  if [[ -e $binfmt/qemu-i386 ]]; then
    echo -1 >"$binfmt/qemu-i386" || die "could not remove the old i386 registration"
  fi
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":qemu-i386:M::$magic:$mask:$emulator:F" >"$binfmt/register" ||
    die "could not register the i386 emulator with binfmt_misc"
}

stamp() {
  cat "$here/wine32-env.sh" "$here/wine32/trap_number_shim.c" | sha256sum | cut -d' ' -f1
}

[[ ${BASH_SOURCE[0]} == "$0" ]] || return 0
host_packages
i386_architecture
if [[ ! -f $root/.ready ]] || [[ $(cat "$root/.ready") != "$(stamp)" ]]; then
  unpack_root
  stamp >"$root/.ready"
fi
register_emulator
# The hand-over works when the root's 32-bit server starts.
QEMU_LD_PREFIX=$root "$root/usr/lib/wine/wineserver32" --version >/dev/null 2>&1 ||
  die "the 32-bit wineserver of $root does not start under the emulator"
echo "$root"
