#!/usr/bin/env bash
# The Wine prefix of a Windows build folder and its persistent wineserver.
#   wine-prefix.sh path PROGRAM             prints the prefix for a built program
#   wine-prefix.sh ensure                   (WINEPREFIX set) creates the prefix
#                                           if missing, starts the server if none
#   wine-prefix.sh start PREFIX [PROGID CLSID]  ensure, then register PROGID
#   wine-prefix.sh stop PREFIX              waits until the server has ended
# Every wineserver is started with stdin, stdout and stderr on /dev/null: one
# that inherited CTest's pipe would make CTest wait for it. The server stays
# up for a few seconds after its last program (new programs start in 0.1 s
# instead of 1 s) and then ends by itself; "stop" waits for that rather than
# killing it, since programs of the same build that are not part of the
# CTest fixture may still be running beside the fixture's cleanup.
set -euo pipefail

wine=/usr/lib/wine/wine64
linger=10  # seconds the server outlives its last program

build_folder_of() {
  local dir
  dir=$(cd "$(dirname "$1")" && pwd)
  while [[ $dir != / && ! -f $dir/CMakeCache.txt ]]; do dir=$(dirname "$dir"); done
  [[ -f $dir/CMakeCache.txt ]] || { echo "no build folder above $1" >&2; exit 2; }
  echo "$dir"
}

use_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
}

ensure() {
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
      "$wine" wineboot --init </dev/null >/dev/null 2>&1 9>&-
      wineserver -w </dev/null >/dev/null 2>&1 9>&-
    fi
    # Fails at once when a server of this prefix is already running. The
    # server must not inherit the lock.
    wineserver -p"$linger" </dev/null >/dev/null 2>&1 9>&- || true
  ) 9>"$WINEPREFIX.lock"
}

case ${1:-} in
  path) echo "$(build_folder_of "$2")/wine-prefix" ;;
  ensure) ensure ;;
  start)
    use_prefix "$2"
    ensure
    if [[ $# -ge 4 ]]; then
      "$wine" reg add "HKCR\\$3\\CLSID" /ve /d "$4" /f </dev/null >/dev/null 2>&1
    fi
    ;;
  stop)
    use_prefix "$2"
    if ! timeout 100 wineserver -w </dev/null >/dev/null 2>&1; then
      wineserver -k </dev/null >/dev/null 2>&1 || true
    fi
    ;;
  *) echo "usage: $0 path PROGRAM | ensure | start PREFIX [PROGID CLSID] | stop PREFIX" >&2
     exit 2 ;;
esac
