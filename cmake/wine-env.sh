# Sourced by the Wine wrappers: which Wine runs the programs of a build.
#   VELMORA_WINE_ARCH=64 (default)  the host's 64-bit Wine
#   VELMORA_WINE_ARCH=32            Debian's 32-bit Wine inside the i386 user-mode
#                                   emulator, from the root that
#                                   scripts/wine32-env.sh prepares
# Sets: wine, wineserver, and exports what every Wine process of the build needs.
case ${VELMORA_WINE_ARCH:-64} in
  64)
    wine=/usr/lib/wine/wine64
    wineserver=wineserver
    # No Mono/Gecko install dialogs; no debugger, so a crash is a failure.
    overrides="mscoree,mshtml=;winedbg.exe=d"
    ;;
  32)
    wine32_root=${VELMORA_WINE32_ROOT:-/var/cache/velmora/wine32}
    [[ -f $wine32_root/.ready ]] || {
      echo "no 32-bit Wine at $wine32_root: run scripts/wine32-env.sh" >&2; exit 1; }
    export QEMU_LD_PREFIX=$wine32_root
    wine=$wine32_root/usr/lib/wine/wine
    wineserver=$wine32_root/usr/lib/wine/wineserver
    # Besides: the device drivers and their host programs, which nothing here
    # needs and which the emulator does not always survive.
    overrides="mscoree,mshtml=;winedbg.exe=d;winebus.sys,wineusb.sys,winehid.sys,hidclass.sys,nsiproxy.sys,winedevice.exe,plugplay.exe=d"
    ;;
  *) echo "VELMORA_WINE_ARCH must be 32 or 64" >&2; exit 2 ;;
esac
export WINEDLLOVERRIDES=$overrides
