#!/usr/bin/env bash
# Prepares, as root on Debian 12, what the 32-bit Windows programs need to run
# here: Debian's own 32-bit Wine inside the i386 user-mode emulator.
#   - the emulator (Debian's backports: qemu 7.2 of Debian 12 itself hangs and
#     crashes multi-threaded Wine programs now and then) and the i386 cross
#     compiler (host packages);
#   - a private i386 root ($VELMORA_WINE32_ROOT, default /var/cache/velmora/wine32)
#     unpacked from Debian's i386 packages of 32-bit Wine: nothing is installed
#     into the host, no package script runs;
#   - what Wine's package scripts would have done: the builtin zlib1.dll and a
#     wineserver launcher that runs the 32-bit server;
#   - the trap-number library (scripts/wine32/trap_number_shim.c), preloaded
#     into every emulated process;
#   - the kernel's hand-over of i386 programs to the emulator (binfmt_misc).
# Idempotent: the root is kept and rebuilt only when this script or its shim
# changes. Any step that fails ends the script with an error.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
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
    apt-get update -qq -o DPkg::Lock::Timeout=600 || die "apt-get update failed"
  fi
  echo "wine32-env: installing qemu-user-static from bookworm-backports" >&2
  apt_install -t bookworm-backports qemu-user-static || die "could not install qemu-user-static"
  [[ -x $emulator ]] || die "$emulator is missing after the install"
}

apt_install() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "$@" >/dev/null
}

i386_architecture() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  dpkg --add-architecture i386
  apt-get update -qq -o DPkg::Lock::Timeout=600 || die "apt-get update failed"
}

# The i386 packages that an install of 32-bit Wine would bring.
i386_package_list() {
  apt-get install -s --no-install-recommends wine32:i386 wine32-preloader:i386 2>/dev/null |
    sed -nE 's/^Inst ([^ ]+) .*\[i386\]\).*$/\1/p' | sed 's/:i386$//'
}

unpack_root() {
  local work=$root.new debs=$root.debs
  rm -rf "$work"
  mkdir -p "$work" "$debs"
  local packages
  packages=$(i386_package_list)
  [[ -n $packages ]] || { apt-get update -qq; packages=$(i386_package_list); }
  [[ -n $packages ]] || die "apt finds no i386 packages of wine32"
  echo "wine32-env: fetching $(wc -w <<<"$packages") i386 packages" >&2
  (cd "$debs" && for p in $packages; do
     ls "${p}"_*_i386.deb >/dev/null 2>&1 || echo "$p:i386"
   done | xargs -r apt-get download -q=2 -o APT::Sandbox::User=root) || die "could not download the i386 packages"
  local p deb
  for p in $packages; do
    deb=$(ls -t "$debs/${p}"_*_i386.deb 2>/dev/null | head -1)
    [[ -n $deb ]] || die "package $p was not downloaded"
    dpkg -x "$deb" "$work" || die "could not unpack $deb"
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
  cat "$0" "$here/wine32/trap_number_shim.c" | sha256sum | cut -d' ' -f1
}

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
